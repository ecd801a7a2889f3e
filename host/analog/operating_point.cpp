#include "host/analog/operating_point.h"

#include <algorithm>
#include <cmath>

#include "host/analog/analysis_error.h"

namespace host::analog {

namespace {

constexpr double gmin_start = 1e-3;
constexpr double gmin_end = 1e-12;
constexpr double gmin_factor = 10.0;
constexpr double gmin_smallest_factor = 1.01;
constexpr double source_first_step = 0.1;
constexpr double source_smallest_step = 1e-4;

// Walks gmin from gmin_start down to zero, each solution starting the next; where a stage
// fails, it retries from the last good one with a gentler factor.
bool gmin_stepping(System& system, std::span<double> x, LoadPoint point, const DcOptions& options,
                   std::int32_t& iterations) {
  std::vector<double> good(x.begin(), x.end());
  double good_gmin = -1.0;  // none solved yet
  double factor = gmin_factor;
  point.gmin = gmin_start;
  while (true) {
    const NewtonOutcome outcome = solve_newton(system, x, point, options.newton);
    iterations += outcome.iterations;
    if (outcome.converged) {
      if (point.gmin == 0.0) return true;
      std::copy(x.begin(), x.end(), good.begin());
      good_gmin = point.gmin;
      factor = std::min(factor * factor, gmin_factor);
    } else {
      factor = std::sqrt(factor);
      if (good_gmin < 0.0 || point.gmin == 0.0 || factor < gmin_smallest_factor) return false;
      std::copy(good.begin(), good.end(), x.begin());
    }
    const double next = good_gmin / factor;
    point.gmin = next < gmin_end ? 0.0 : next;
  }
}

// Raises the sources from zero to full value, shortening the step where Newton fails.
bool source_stepping(System& system, std::span<double> x, LoadPoint point, const DcOptions& options,
                     std::int32_t& iterations) {
  std::vector<double> good(x.size(), 0.0);
  std::fill(x.begin(), x.end(), 0.0);
  const double full = point.source_scale;
  double scale = 0.0;
  double step = source_first_step;
  bool first = true;
  while (true) {
    const double next = first ? 0.0 : std::min(1.0, scale + step);
    point.source_scale = next * full;
    const NewtonOutcome outcome = solve_newton(system, x, point, options.newton);
    iterations += outcome.iterations;
    if (outcome.converged) {
      std::copy(x.begin(), x.end(), good.begin());
      if (!first && next == 1.0) return true;
      scale = next;
      if (!first) step *= 1.5;
      first = false;
    } else {
      if (first) return false;
      std::copy(good.begin(), good.end(), x.begin());
      step /= 4.0;
      if (step < source_smallest_step) return false;
    }
  }
}

}  // namespace

std::int32_t solve_dc(System& system, std::span<double> x, const LoadPoint& point,
                      const DcOptions& options) {
  system.clear_integration();
  std::vector<double> start(x.begin(), x.end());
  NewtonOutcome outcome = solve_newton(system, x, point, options.newton);
  std::int32_t iterations = outcome.iterations;
  if (outcome.converged) return iterations;

  if (options.gmin_stepping) {
    std::copy(start.begin(), start.end(), x.begin());
    if (gmin_stepping(system, x, point, options, iterations)) return iterations;
  }
  if (options.source_stepping) {
    if (source_stepping(system, x, point, options, iterations)) return iterations;
  }
  std::string aids;
  if (options.gmin_stepping || options.source_stepping) {
    aids = options.gmin_stepping && options.source_stepping ? "gmin and source stepping"
           : options.gmin_stepping                          ? "gmin stepping"
                                                            : "source stepping";
    aids = " (" + aids + " failed too)";
  }
  throw AnalysisError(system.context() + ": " + outcome.explain(system) + aids);
}

Solution operating_point(Circuit& circuit, const DcOptions& options) {
  System& system = circuit.system();
  const System::Scope scope(system);
  system.set_context("DC operating point");
  std::vector<double> x = system.initial_guess();
  const std::int32_t iterations = solve_dc(system, x, {}, options);
  system.complete(x);
  return Solution(system, std::move(x), iterations);
}

std::vector<Solution> dc_sweep(Circuit& circuit, std::string_view source_name,
                               std::span<const double> values, const DcOptions& options) {
  System& system = circuit.system();
  const System::Scope scope(system);
  Source& source = circuit.source(source_name);
  const Waveform original = source.waveform;
  std::vector<Solution> solutions;
  std::vector<double> x = system.initial_guess();
  try {
    for (double value : values) {
      source.waveform.with_dc(value);
      system.set_context("DC sweep", source.name.c_str(), value);
      const std::int32_t iterations = solve_dc(system, x, {}, options);
      system.complete(x);
      solutions.emplace_back(system, x, iterations);
    }
  } catch (...) {
    source.waveform = original;
    throw;
  }
  source.waveform = original;
  return solutions;
}

}  // namespace host::analog
