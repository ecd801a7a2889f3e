// The DC operating point: Newton from the starting point, then, where that fails, gmin
// stepping and source stepping; and a DC sweep of one source's value.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "host/analog/circuit.h"
#include "host/analog/newton.h"
#include "host/analog/results.h"
#include "host/analog/system.h"

namespace host::analog {

struct DcOptions {
  NewtonSettings newton;
  bool gmin_stepping = true;
  bool source_stepping = true;
};

// Solves F(x) = 0 at `point` (with dV/dt = 0) from x, overwriting x with the solution, and
// returns the Newton iterations spent. Throws AnalysisError, with the system's context, when
// no attempt converges. Calls no end_computed callback.
std::int32_t solve_dc(System& system, std::span<double> x, const LoadPoint& point,
                      const DcOptions& options);

// The operating point with the sources at their DC values; the units' end_computed
// callbacks run on it.
Solution operating_point(Circuit& circuit, const DcOptions& options = {});

// Operating points with the DC value of `source` set to each of `values` in turn, each
// solution starting from the previous one. The source's waveform is restored afterwards.
std::vector<Solution> dc_sweep(Circuit& circuit, std::string_view source,
                               std::span<const double> values, const DcOptions& options = {});

}  // namespace host::analog
