// Writes recorded waveforms as a value change dump (VCD), the format digital waveform
// viewers read. Values are the IEEE 1164 characters, as VHDL simulators dump std_ulogic;
// each time stamp carries the values at the end of its time step, delta cycles folded.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "host/event/waveform_recorder.h"

namespace host::event {

struct VcdTimescale {
  std::string unit;         // "1 fs", "10 ps", ...
  std::int64_t multiplier;  // VCD time units per tick
};

// The coarsest VCD timescale in which a tick of tick_fs femtoseconds is a whole number.
VcdTimescale vcd_timescale(std::int64_t tick_fs);

// The identifier of the n-th variable: printable characters, shortest first.
std::string vcd_identifier(std::size_t n);

// signal_names[i] names signal i of the recorder; end_time is the last time simulated.
// Throws std::overflow_error when a time does not fit the timescale.
void write_vcd(std::ostream& out, const WaveformRecorder& waveforms,
               const std::vector<std::string>& signal_names, std::int64_t tick_fs,
               std::int64_t end_time);

}  // namespace host::event
