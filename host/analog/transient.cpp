#include "host/analog/transient.h"

#include <algorithm>
#include <cmath>

#include "host/analog/analysis_error.h"
#include "host/analog/integrator.h"
#include "host/analog/newton.h"
#include "host/analog/system.h"
#include "host/trace.h"

namespace host::analog {

namespace {

// The first step after the start or a breakpoint, as a fraction of the room before the next.
constexpr double first_step_fraction = 0.01;
constexpr double newton_cut = 0.125;

struct Limits {
  double max_step;
  double min_step;
};

Limits limits(const TransientOptions& options) {
  if (!(options.stop > 0.0) || !std::isfinite(options.stop)) {
    throw AnalysisError("transient analysis: the stop time must be positive and finite");
  }
  if (options.step < 0.0 || options.max_step < 0.0 || options.min_step < 0.0) {
    throw AnalysisError("transient analysis: step times must not be negative");
  }
  const double max_step = options.max_step > 0.0 ? options.max_step : options.stop / 50.0;
  const double min_step = options.min_step > 0.0 ? options.min_step : 1e-12 * options.stop;
  if (min_step >= max_step) {
    throw AnalysisError("transient analysis: the smallest step is not below the largest");
  }
  return {max_step, min_step};
}

std::vector<double> breakpoints(System& system, const TransientOptions& options, double merge) {
  const double hint = options.step > 0.0 ? options.step : options.stop / 50.0;
  std::vector<double> times;
  system.prepare_transient(hint, options.stop, times);
  times.push_back(options.stop);
  std::sort(times.begin(), times.end());
  std::vector<double> merged;
  for (double t : times) {
    if (t <= merge) continue;
    if (!merged.empty() && t - merged.back() <= merge) {
      merged.back() = std::max(merged.back(), t);
      continue;
    }
    merged.push_back(t);
  }
  return merged;
}

[[noreturn]] void too_small(const System& system, double h, const std::string& why) {
  throw AnalysisError(system.context() + ": time step too small (" + format_double(h) + " s); " +
                      why);
}

}  // namespace

TransientResult transient(Circuit& circuit, const TransientOptions& options) {
  return transient(circuit, options, nullptr);
}

TransientResult transient(Circuit& circuit, const TransientOptions& options,
                          StepObserver* observer) {
  const Limits limit = limits(options);
  System& system = circuit.system();
  const System::Scope scope(system);
  const std::vector<double> corners = breakpoints(system, options, limit.min_step);
  const auto n = static_cast<std::size_t>(system.size());
  TransientResult result(system);

  std::vector<double> x = system.initial_guess();
  system.set_context("transient analysis", "t", 0.0, "s");
  LoadPoint point{true, 0.0, 1.0, 0.0};
  result.statistics.newton_iterations += solve_dc(system, x, point, options.dc);
  system.complete(x);
  result.add(0.0, x);
  if (observer != nullptr) observer->start(x);

  NewtonSettings newton{options.tolerances, options.max_newton_iterations};
  History history(n);
  history.restart(0.0, x);
  std::vector<double> next(n), derivative(n);
  std::size_t corner = 0;
  double t = 0.0;
  double h = first_step_fraction * std::min(limit.max_step, corners[0]);

  while (corner < corners.size()) {
    const double target = corners[corner];
    h = std::min(h, limit.max_step);
    bool lands = false;
    if (t + h >= target - limit.min_step) {
      h = target - t;
      lands = true;
    } else if (target - (t + h) < 0.25 * h) {
      h = 0.5 * (target - t);  // two even steps rather than a sliver
    }

    const std::int32_t order = step_order(history);
    const StepCoefficients c = coefficients(history, order, h);
    derivative_history(history, c, derivative);
    system.set_integration(c.alpha, derivative);
    predict(history, t + h, next);
    point.time = t + h;
    system.set_context("transient analysis", "t", point.time, "s");

    const NewtonOutcome outcome = solve_newton(system, next, point, newton);
    result.statistics.newton_iterations += outcome.iterations;
    if (!outcome.converged) {
      ++result.statistics.rejected_for_newton;
      h *= newton_cut;
      if (h < limit.min_step) too_small(system, h, outcome.explain(system));
      continue;
    }
    const ErrorEstimate error =
        truncation_error(history, order, point.time, next, system.dynamic_unknowns(),
                         options.tolerances, options.trtol);
    const double factor = step_factor(error, order);
    if (error.checked && error.ratio > 1.0) {
      ++result.statistics.rejected_for_error;
      h *= std::min(factor, 0.9);
      if (h < limit.min_step) {
        too_small(system, h,
                  "the local truncation error stays too large at " + system.describe(error.worst));
      }
      continue;
    }
    if (observer != nullptr) {
      const double end = observer->end_before(t, point.time, next);
      if (end < point.time) {
        ++result.statistics.shortened_for_switching;
        h = end - t;
        continue;
      }
    }

    t = lands ? target : point.time;
    std::copy(next.begin(), next.end(), x.begin());
    system.complete(x);
    result.add(t, x);
    ++result.statistics.accepted;
    const bool switched = observer != nullptr && observer->accept(t, x);
    history.push(t, x);
    h *= factor;
    if (switched && !lands) history.restart(t, x);
    if (lands) {
      ++corner;
      history.restart(t, x);
      if (corner < corners.size()) {
        h = std::min(h, first_step_fraction * std::min(limit.max_step, corners[corner] - t));
      }
    }
  }
  return result;
}

}  // namespace host::analog
