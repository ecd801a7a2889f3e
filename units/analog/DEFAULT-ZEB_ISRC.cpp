// DEFAULT-ZEB_ISRC: voltage-controlled current source with an arctangent limit.
#include "frame/analog_unit.h"

namespace {

// Pins 1, 2; quantity 0 across V, 1 through I, 2 Vk, 3 Ieven, 4 Iodd, 5 Vabs (all explicit).
struct soft_limited_source : zeb::analog_defaults {
  static constexpr zeb::positions<0> implicit_states{};
  // Registration order is the evaluation order.
  static constexpr zeb::positions<5> explicit_quantities{2, 5, 3, 4, 1};
};

}  // namespace

ZEB_ELAB_FUNCS(zeb::analog_unit<soft_limited_source>::exports);
