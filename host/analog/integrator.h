// Backward Euler (order 1) and variable-step BDF2 (order 2). At the new point the time
// derivative of an unknown is alpha x + history, the history coming from the past accepted
// points; the local truncation error is estimated from divided differences over them.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "host/analog/options.h"

namespace host::analog {

// The accepted points since the last restart (the start or a breakpoint), newest first;
// at most three are kept.
class History {
 public:
  static constexpr std::int32_t depth = 3;

  explicit History(std::size_t size);
  void restart(double time, std::span<const double> x);
  void push(double time, std::span<const double> x);
  std::int32_t count() const { return count_; }
  double time(std::int32_t k) const { return times_[slot(k)]; }
  std::span<const double> x(std::int32_t k) const { return points_[slot(k)]; }

 private:
  std::size_t slot(std::int32_t k) const {
    return (newest_ + depth - static_cast<std::size_t>(k)) % depth;
  }
  std::array<std::vector<double>, depth> points_;
  std::array<double, depth> times_{};
  std::size_t newest_ = 0;
  std::int32_t count_ = 0;
};

// The order for the next step: backward Euler until three points are known, then BDF2.
std::int32_t step_order(const History& history);

// alpha, and history[u] = c0 x_n[u] + c1 x_{n-1}[u], for a step h from the newest point.
struct StepCoefficients {
  double alpha;
  double c0;
  double c1;
};
StepCoefficients coefficients(const History& history, std::int32_t order, double h);

// The derivative history of every unknown for those coefficients.
void derivative_history(const History& history, const StepCoefficients& c, std::span<double> out);

// A starting guess at time t: linear extrapolation from the last two points, or the last.
void predict(const History& history, double t, std::span<double> x);

struct ErrorEstimate {
  bool checked = false;  // false when too few points are known to estimate
  double ratio = 0.0;    // worst local truncation error over its tolerance
  std::int32_t worst = -1;
};

// The local truncation error of the step to (t, x) over the `dynamic` unknowns (node
// voltages), against trtol * (reltol |x| + vntol).
ErrorEstimate truncation_error(const History& history, std::int32_t order, double t,
                               std::span<const double> x, std::span<const std::int32_t> dynamic,
                               const Tolerances& tolerances, double trtol);

// The factor for the next step from an error ratio: 0.9 ratio^(-1/(order+1)), in [0.1, 2].
double step_factor(const ErrorEstimate& estimate, std::int32_t order);

}  // namespace host::analog
