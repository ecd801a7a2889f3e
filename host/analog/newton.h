// Newton's method on the system's equations: J(x) dx = -F(x), x += dx, until every change is
// within reltol * |x| + the unknown's absolute tolerance.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "host/analog/options.h"
#include "host/analog/system.h"

namespace host::analog {

struct NewtonSettings {
  Tolerances tolerances;
  std::int32_t max_iterations = 100;
};

struct NewtonOutcome {
  bool converged = false;
  bool singular = false;
  std::int32_t iterations = 0;
  // The unknown whose change was furthest outside its tolerance in the last iteration, or the
  // singular one; -1 if none is known.
  std::int32_t worst = -1;

  // "did not converge in 100 iterations; the largest change was at node 'n' (X1, R1)".
  std::string explain(const System& system) const;
};

// Solves from x (overwritten with the last iterate). Allocates nothing. Throws AnalysisError
// when a unit faults or the solution is not finite.
NewtonOutcome solve_newton(System& system, std::span<double> x, const LoadPoint& point,
                           const NewtonSettings& settings);

}  // namespace host::analog
