// Drives a plug-in through elaboration: the set-up phase, the check phase and, for logic
// cells, one process phase per process.
#pragma once

#include <cstdint>

#include "host/design.h"

namespace host {

// Calls elab_desent on the instance record with the instance made current.
void run_phase(Instance& instance, std::int32_t phase);
// Calls elab_desent on process n's record (phase n).
void run_process_phase(Instance& instance, std::int32_t number);

// Set-up phase, the computed generic defaults, the check phase, then the process phases of a
// logic cell.
void elaborate(Instance& instance);

}  // namespace host
