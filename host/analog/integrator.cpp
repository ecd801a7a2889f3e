#include "host/analog/integrator.h"

#include <algorithm>
#include <cmath>

namespace host::analog {

History::History(std::size_t size) {
  for (auto& point : points_) point.assign(size, 0.0);
}

void History::restart(double time, std::span<const double> x) {
  count_ = 0;
  push(time, x);
}

void History::push(double time, std::span<const double> x) {
  newest_ = (newest_ + 1) % depth;
  times_[newest_] = time;
  std::copy(x.begin(), x.end(), points_[newest_].begin());
  count_ = std::min(count_ + 1, depth);
}

std::int32_t step_order(const History& history) {
  return history.count() >= 3 ? 2 : 1;
}

StepCoefficients coefficients(const History& history, std::int32_t order, double h) {
  if (order == 1) return {1.0 / h, -1.0 / h, 0.0};
  const double rho = h / (history.time(0) - history.time(1));
  return {(1.0 + 2.0 * rho) / ((1.0 + rho) * h), -(1.0 + rho) / h, rho * rho / ((1.0 + rho) * h)};
}

void derivative_history(const History& history, const StepCoefficients& c, std::span<double> out) {
  const auto xn = history.x(0);
  if (c.c1 == 0.0) {
    for (std::size_t u = 0; u < out.size(); ++u) out[u] = c.c0 * xn[u];
    return;
  }
  const auto xm = history.x(1);
  for (std::size_t u = 0; u < out.size(); ++u) out[u] = c.c0 * xn[u] + c.c1 * xm[u];
}

void predict(const History& history, double t, std::span<double> x) {
  const auto xn = history.x(0);
  if (history.count() < 2) {
    std::copy(xn.begin(), xn.end(), x.begin());
    return;
  }
  const auto xm = history.x(1);
  const double s = (t - history.time(0)) / (history.time(0) - history.time(1));
  for (std::size_t u = 0; u < x.size(); ++u) x[u] = xn[u] + s * (xn[u] - xm[u]);
}

ErrorEstimate truncation_error(const History& history, std::int32_t order, double t,
                               std::span<const double> x, std::span<const std::int32_t> dynamic,
                               const Tolerances& tolerances, double trtol) {
  ErrorEstimate estimate;
  const std::int32_t points = order + 2;  // a divided difference of order + 1
  if (history.count() < points - 1) return estimate;
  estimate.checked = true;

  std::array<double, 4> times{t};
  for (std::int32_t k = 1; k < points; ++k) times[k] = history.time(k - 1);
  const double h = t - history.time(0);
  // h^(p+1) |x^(p+1)| times the error constant: 1/2 for backward Euler; for BDF2 with step
  // ratio rho, (1 + rho)^2 / (6 rho (1 + 2 rho)), which is 2/9 for equal steps.
  double constant = 0.5 * 2.0;  // error constant times (p+1)!
  if (order == 2) {
    const double rho = h / (history.time(0) - history.time(1));
    constant = 6.0 * (1.0 + rho) * (1.0 + rho) / (6.0 * rho * (1.0 + 2.0 * rho));
  }
  const double scale = constant * std::pow(h, order + 1);

  for (std::int32_t u : dynamic) {
    std::array<double, 4> d{x[u]};
    for (std::int32_t k = 1; k < points; ++k) d[k] = history.x(k - 1)[u];
    for (std::int32_t level = 1; level < points; ++level) {
      for (std::int32_t i = 0; i + level < points; ++i) {
        d[i] = (d[i + 1] - d[i]) / (times[i + level] - times[i]);
      }
    }
    const double error = scale * std::abs(d[0]);
    const double allowed =
        trtol * (tolerances.reltol * std::max(std::abs(x[u]), std::abs(history.x(0)[u])) +
                 tolerances.vntol);
    const double ratio = error / allowed;
    if (ratio > estimate.ratio) {
      estimate.ratio = ratio;
      estimate.worst = u;
    }
  }
  return estimate;
}

double step_factor(const ErrorEstimate& estimate, std::int32_t order) {
  if (!estimate.checked || estimate.ratio <= 0.0) return 2.0;
  const double factor = 0.9 * std::pow(estimate.ratio, -1.0 / (order + 1));
  return std::clamp(factor, 0.1, 2.0);
}

}  // namespace host::analog
