// The implicit linear resistor V = R*I, shared by the plain and the pad resistor.
#pragma once

#include "frame/analog_unit.h"
#include "runtime/ac_functions.h"

namespace zeb::units {

// Pins 1, 2; quantity 0 across V, quantity 1 through I (implicit state 1); R at r_generic.
template <std::int32_t r_generic>
struct linear_resistor : analog_defaults {
  static constexpr std::int32_t pin_count = 2;
  static constexpr positions<1> across{0};
  static constexpr positions<1> through{1};
  static constexpr positions<1> implicit_states{1};
  static constexpr positions<0> explicit_quantities{};

  static double V(const instance_record* u) { return q(u, 0); }
  static double I(const instance_record* u) { return q(u, 1); }
  static double R(const instance_record* u) { return g(u, r_generic); }

  static double residual(const instance_record* u, std::int32_t) { return V(u) - R(u) * I(u); }
  static ac_value ac_residual(const instance_record* u, std::int32_t) {
    return ac_sub(qc(u, 0), real_ac_mul(R(u), qc(u, 1)));
  }

  static constexpr std::array<jacobian_location, 5> jacobian{{
      {kind_pin, 1, kind_state, 1},
      {kind_pin, 2, kind_state, 1},
      {kind_state, 1, kind_pin, 1},
      {kind_state, 1, kind_pin, 2},
      {kind_state, 1, kind_state, 1},
  }};
  static double jacobian_value(const instance_record* u, std::int32_t location) {
    switch (location) {
      case 1:
        return 1.0;
      case 2:
        return -1.0;
      case 3:
        return 1.0;
      case 4:
        return -1.0;
      default:
        return -R(u);
    }
  }
  static ac_value ac_jacobian_value(const instance_record* u, std::int32_t location) {
    return real2complex(jacobian_value(u, location));
  }
};

}  // namespace zeb::units
