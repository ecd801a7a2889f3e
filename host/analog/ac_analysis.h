// Small-signal AC analysis: the DC operating point, then at each frequency the units'
// AC paths linearised there and the sources' AC excitations solved in complex arithmetic.
#pragma once

#include <cstdint>
#include <vector>

#include "host/analog/circuit.h"
#include "host/analog/operating_point.h"
#include "host/analog/results.h"

namespace host::analog {

enum class AcSweep { linear, decade };

struct AcOptions {
  AcSweep sweep = AcSweep::decade;
  // Linear: points in all, start and stop included. Decade: points per decade from start.
  std::int32_t points = 10;
  double start = 1.0;  // Hz
  double stop = 1e6;   // Hz
  DcOptions dc;
};

// The frequencies of a sweep; throws AnalysisError for a sweep that makes no sense.
std::vector<double> ac_frequencies(const AcOptions& options);

// Throws AnalysisError naming the frequency and the node or instance where it stopped.
AcResult ac_analysis(Circuit& circuit, const AcOptions& options);

}  // namespace host::analog
