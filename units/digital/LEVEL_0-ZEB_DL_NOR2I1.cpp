// LEVEL_0-ZEB_DL_NOR2I1: NOR with one inverted input, zero delay.
#include "frame/logic_cell.h"

namespace {

using namespace zeb::logic;

struct cell : zeb::cell_defaults {
  static constexpr zeb::process_port_map processes[] = {{2, 2, {0, 1}}};
  static constexpr std::int32_t dblines[] = {602};

  static std::int32_t value([[maybe_unused]] std::int32_t process, const process_record* p) {
    return not_(or_(not_(port(p, 0)), port(p, 1)));
  }
};

}  // namespace

ZEB_ELAB_FUNCS(zeb::logic_cell<cell>::exports);
