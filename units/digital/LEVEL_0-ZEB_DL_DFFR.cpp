// LEVEL_0-ZEB_DL_DFFR: D flip-flop, rising clock, asynchronous reset active on '0'.
#include "frame/logic_cell.h"

namespace {

using namespace zeb::logic;

// Ports: 0 data, 1 clock, 2 reset, 3 output. Clock and reset wake the process.
struct cell : zeb::cell_defaults {
  static constexpr zeb::process_port_map processes[] = {{3, 2, {1, 2}}};
  static constexpr std::int32_t dblines[] = {68, 69, 71};
  static constexpr bool custom_run = true;

  // The clock edge is any event that leaves the clock at '1'; reset wins over it.
  static void run(process_record* p) {
    sqs_desactivate_process(p);
    if (port(p, 2) == zero) {
      zeb::schedule(p, zero, 0, false);
    } else if (port(p, 1) == one && (p->ports[1]->signal->flags & signal_event) != 0) {
      zeb::schedule(p, port(p, 0), 0, false);
    }
  }
};

}  // namespace

ZEB_ELAB_FUNCS(zeb::logic_cell<cell>::exports);
