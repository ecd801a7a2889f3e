// A small circuit of logic cells with its stimuli, built once in the stand-in kernel and once
// as a VHDL testbench in which each cell is its VHDL source on std_ulogic, for GHDL.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/event/logic_simulation.h"

namespace test {

struct BenchCell {
  std::string instance;
  std::string deliverable;
  std::vector<std::string> signals;  // by port position
  std::int64_t delay = 0;  // ticks, corner-delay cells only; the bench's tick must be 1000 fs
};

struct Bench {
  std::int64_t tick_fs = 1;
  std::vector<std::string> signals;
  std::vector<BenchCell> cells;
  std::vector<std::pair<std::string, char>> constants;
  std::vector<std::pair<std::string, host::event::Clock>> clocks;
  std::vector<std::pair<std::string, std::vector<std::pair<std::int64_t, char>>>> timed;
  std::int64_t stop = 0;  // ticks; waveforms are compared before it
};

// Builds the bench, runs it until its stop time and returns the VCD the kernel writes.
std::string run_in_kernel(host::event::LogicSimulation& sim, const Bench& bench);

// The bench as the VHDL entity `bench`.
std::string to_vhdl(const Bench& bench);

}  // namespace test
