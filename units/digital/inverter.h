// The inverter cells: not p0 on port 1, zero delay; they differ only in their line numbers.
#pragma once

#include "frame/logic_cell.h"

namespace zeb::cells {

template <std::int32_t line>
struct inverter : cell_defaults {
  static constexpr process_port_map processes[] = {{1, 1, {0}}};
  static constexpr std::int32_t dblines[] = {line};

  static std::int32_t value(std::int32_t, const process_record* p) {
    return logic::not_(logic::port(p, 0));
  }
};

}  // namespace zeb::cells
