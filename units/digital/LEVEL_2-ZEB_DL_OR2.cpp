// LEVEL_2-ZEB_DL_OR2: OR with corner-dependent delay.
#include "frame/logic_cell.h"

namespace {

using namespace zeb::logic;

struct cell : zeb::cell_defaults {
  static constexpr zeb::process_port_map processes[] = {{2, 2, {0, 1}}};
  static constexpr std::int32_t dblines[] = {665};
  static constexpr bool delayed = true;
  static std::int32_t value([[maybe_unused]] std::int32_t process, const process_record* p) {
    return or_(port(p, 0), port(p, 1));
  }
};

}  // namespace

ZEB_ELAB_FUNCS(zeb::logic_cell<cell>::exports);
