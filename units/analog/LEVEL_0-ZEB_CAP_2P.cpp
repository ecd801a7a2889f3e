// LEVEL_0-ZEB_CAP_2P: linear capacitor in explicit form, I = C12 * d(V1 - V2)/dt.
#include "frame/analog_unit.h"

namespace {

// Pins 1, 2; quantity 0 across V, 1 through I (explicit), 2 derivative of V; C12 at generic 18.
struct capacitor : zeb::analog_defaults {
  static constexpr zeb::positions<0> implicit_states{};
  static constexpr zeb::positions<1> explicit_quantities{1};
};

}  // namespace

ZEB_ELAB_FUNCS(zeb::analog_unit<capacitor>::exports);
