#include "host/analog/newton.h"

#include <cmath>

#include "host/analog/analysis_error.h"

namespace host::analog {

std::string NewtonOutcome::explain(const System& system) const {
  if (singular) {
    return "the matrix is singular" +
           (worst >= 0 ? " at " + system.describe(worst) + ", which has no DC path or is shorted"
                       : std::string());
  }
  std::string text = "Newton did not converge in " + std::to_string(iterations) + " iterations";
  if (worst >= 0) text += "; the largest change was at " + system.describe(worst);
  return text;
}

NewtonOutcome solve_newton(System& system, std::span<double> x, const LoadPoint& point,
                           const NewtonSettings& settings) {
  const Tolerances& tol = settings.tolerances;
  std::span<double> dx = system.scratch();
  NewtonOutcome outcome;
  for (outcome.iterations = 1; outcome.iterations <= settings.max_iterations;
       ++outcome.iterations) {
    system.load(x, point);
    RealMatrix& jacobian = system.jacobian();
    if (!jacobian.factor()) {
      outcome.singular = true;
      outcome.worst = system.singular_unknown(jacobian);
      return outcome;
    }
    const auto residual = system.residual();
    for (std::size_t u = 0; u < dx.size(); ++u) dx[u] = -residual[u];
    jacobian.solve(dx);

    double worst_ratio = 0.0;
    outcome.worst = -1;
    for (std::int32_t u = 0; u < system.size(); ++u) {
      const double next = x[u] + dx[u];
      if (!std::isfinite(next)) {
        throw AnalysisError(system.context() + ": the solution is not finite at " +
                            system.describe(u));
      }
      const double absolute = system.kind(u) == UnknownKind::node ? tol.vntol : tol.abstol;
      const double allowed = tol.reltol * std::max(std::abs(x[u]), std::abs(next)) + absolute;
      const double ratio = std::abs(dx[u]) / allowed;
      if (ratio > worst_ratio) {
        worst_ratio = ratio;
        outcome.worst = u;
      }
      x[u] = next;
    }
    if (worst_ratio <= 1.0) {
      outcome.converged = true;
      outcome.worst = -1;
      return outcome;
    }
  }
  outcome.iterations = settings.max_iterations;
  return outcome;
}

}  // namespace host::analog
