// The five elaboration bodies of the structural units; each plug-in picks its group.
#pragma once

#include "frame/structural_unit.h"

namespace zeb::structural {

// Pads, tristate pads and pad FETs: no pin is marked.
struct pad {
  static constexpr bool is_package = false;
  static constexpr positions<0> flagged_pins{};
};

// Analog pads: all six terminals carry no current of the unit.
struct analog_pad {
  static constexpr bool is_package = false;
  static constexpr positions<6> flagged_pins{1, 2, 3, 4, 5, 6};
};

// Ideal MOS wrappers and basic FETs.
struct fet {
  static constexpr bool is_package = false;
  static constexpr positions<3> flagged_pins{1, 2, 3};
};

// Supply monitors.
struct monitor {
  static constexpr bool is_package = false;
  static constexpr positions<2> flagged_pins{1, 2};
};

// The package: a set-up phase only.
struct package {
  static constexpr bool is_package = true;
  static constexpr positions<0> flagged_pins{};
};

}  // namespace zeb::structural
