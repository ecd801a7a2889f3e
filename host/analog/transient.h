// Transient analysis: the operating point at t = 0 with the sources at their time-zero
// values, then steps of backward Euler and BDF2 under local-truncation-error control.
//
// Steps land on every corner of a source waveform, and the integrator restarts there with
// backward Euler. A step whose Newton iteration fails is retried an eighth as long; one whose
// error is too large, shorter as the error estimate says. The units' end_computed callbacks run
// after the operating point and after every accepted step.
#pragma once

#include <cstdint>
#include <span>

#include "host/analog/circuit.h"
#include "host/analog/operating_point.h"
#include "host/analog/options.h"
#include "host/analog/results.h"

namespace host::analog {

struct TransientOptions {
  double stop = 0.0;
  // Step hint: the rise and fall time of a PULSE that gives none. Zero: stop / 50.
  double step = 0.0;
  // Largest step. Zero: stop / 50.
  double max_step = 0.0;
  // Smallest step before the analysis gives up. Zero: 1e-12 * stop.
  double min_step = 0.0;
  Tolerances tolerances;
  // Allowance of the truncation error over reltol |V| + vntol. The estimate is of the voltage
  // error itself, so 1 keeps each step within the Newton tolerances.
  double trtol = 1.0;
  std::int32_t max_newton_iterations = 20;
  DcOptions dc;  // the operating point at t = 0
};

// Follows the steps of a transient analysis for quantities that switch where the solution
// crosses a threshold (the mixed-signal layer's above signals).
class StepObserver {
 public:
  virtual ~StepObserver() = default;
  // The operating point at t = 0, its end_computed callbacks run.
  virtual void start(std::span<const double> x) = 0;
  // A step from `from` to `to` that converged within the error tolerance: the time before `to`
  // at which to end the step instead, or `to` to accept it.
  virtual double end_before(double from, double to, std::span<const double> x) = 0;
  // The step to `time` is accepted; true when the circuit switched there, so that the
  // integrator restarts as at a source corner.
  virtual bool accept(double time, std::span<const double> x) = 0;
};

// Throws AnalysisError naming the time and the node or instance where the analysis stopped.
TransientResult transient(Circuit& circuit, const TransientOptions& options);
TransientResult transient(Circuit& circuit, const TransientOptions& options,
                          StepObserver* observer);

}  // namespace host::analog
