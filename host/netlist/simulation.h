// Runs the analyses of a netlist: for each process corner (and Monte Carlo run) and each
// analysis a fresh design is built through the Circuit and LogicSimulation APIs and run; the
// results go to a sink as each analysis ends.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <set>
#include <stdexcept>
#include <string>

#include "host/netlist/netlist.h"
#include "host/netlist/results.h"

namespace host::netlist {

// An analysis that stopped before its end; its results so far went to the sink, marked
// incomplete.
class AnalysisFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The run was interrupted (SIGINT, SIGTERM) through RunSettings::stop.
class Interrupted : public std::runtime_error {
 public:
  Interrupted() : std::runtime_error("interrupted") {}
};

struct RunSettings {
  std::filesystem::path plugin_dir;  // where the netlist names none
  // Instances whose service calls are printed to trace_out, in order.
  std::set<std::string> trace;
  std::ostream* trace_out = nullptr;
  // Called during an analysis with its name and the fraction done.
  std::function<void(const std::string& analysis, double fraction)> progress;
  // Set from outside (a signal handler) to stop the run.
  const std::atomic<bool>* stop = nullptr;
};

using ResultSink = std::function<void(const ResultTable&)>;

// Throws NetlistError for a netlist that cannot be built (naming file, line and instance),
// AnalysisFailed after handing the partial results to the sink, or Interrupted.
void run_netlist(const Netlist& netlist, const RunSettings& settings, const ResultSink& sink);

}  // namespace host::netlist
