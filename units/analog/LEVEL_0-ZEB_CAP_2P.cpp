// LEVEL_0-ZEB_CAP_2P: linear capacitor in explicit form, I = C12 * d(V1 - V2)/dt.
#include "frame/analog_unit.h"
#include "runtime/ac_functions.h"

namespace {

using namespace zeb;

// Pins 1, 2; quantity 0 across V, 1 through I (explicit), 2 derivative of V; C12 at generic 18.
struct capacitor : analog_defaults {
  static constexpr std::int32_t pin_count = 2;
  static constexpr positions<1> across{0};
  static constexpr positions<1> through{1};
  static constexpr std::array<derivative_quantity, 1> derivatives{{{2, 1, 2}}};
  static constexpr positions<2> ddt_pins{1, 2};
  static constexpr positions<0> implicit_states{};
  static constexpr positions<1> explicit_quantities{1};

  static double C12(const instance_record* u) { return g(u, 18); }

  static void explicit_values(instance_record* u) { q(u, 1) = C12(u) * q(u, 2); }
  static void ac_explicit_values(instance_record* u) { qc(u, 1) = real_ac_mul(C12(u), qc(u, 2)); }

  static constexpr std::array<jacobian_location, 4> jacobian{{
      {kind_pin, 1, kind_pin, 1},
      {kind_pin, 1, kind_pin, 2},
      {kind_pin, 2, kind_pin, 1},
      {kind_pin, 2, kind_pin, 2},
  }};
  static double jacobian_value(const instance_record* u, std::int32_t location) {
    const double alpha = sim_alpha;
    switch (location) {
      case 1:
        return C12(u) * alpha;
      case 2:
        return (-alpha) * C12(u);
      case 3:
        return -(C12(u) * alpha);
      default:
        return C12(u) * alpha;
    }
  }
  static ac_value ac_jacobian_value(const instance_record* u, std::int32_t location) {
    const ac_value jw = sim_jomega;
    switch (location) {
      case 1:
        return real_ac_mul(C12(u), jw);
      case 2:
        return real_ac_mul(C12(u), ac_real_mul(jw, -1.0));
      case 3:
        return ac_minus(real_ac_mul(C12(u), jw));
      default:
        return ac_minus(real_ac_mul(C12(u), ac_real_mul(jw, -1.0)));
    }
  }
};

}  // namespace

ZEB_ELAB_FUNCS(analog_unit<capacitor>::exports);
