// The implicit linear resistor V = R*I, shared by the plain and the pad resistor.
#pragma once

#include "frame/analog_unit.h"

namespace zeb::units {

// Pins 1, 2; quantity 0 across V, quantity 1 through I (implicit state 1); R at r_generic.
template <std::int32_t r_generic>
struct linear_resistor : analog_defaults {
  static constexpr std::int32_t resistance = r_generic;
  static constexpr positions<1> implicit_states{1};
  static constexpr positions<0> explicit_quantities{};
};

}  // namespace zeb::units
