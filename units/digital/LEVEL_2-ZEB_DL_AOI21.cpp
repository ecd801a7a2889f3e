// LEVEL_2-ZEB_DL_AOI21: AND-OR-invert with corner-dependent delay.
#include "frame/logic_cell.h"

namespace {

using namespace zeb::logic;

struct cell : zeb::cell_defaults {
  static constexpr zeb::process_port_map processes[] = {{3, 3, {0, 1, 2}}};
  static constexpr std::int32_t dblines[] = {184};
  static constexpr bool delayed = true;
  static std::int32_t value([[maybe_unused]] std::int32_t process, const process_record* p) {
    return not_(or_(and_(port(p, 0), port(p, 1)), port(p, 2)));
  }
};

}  // namespace

ZEB_ELAB_FUNCS(zeb::logic_cell<cell>::exports);
