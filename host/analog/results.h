// Results of the analyses, read by node, source or instance name.
#pragma once

#include <complex>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace host::analog {

class System;

// Where a named value lies among the unknowns; throws CircuitError for an unknown name.
// voltage_index gives -1 for the reference node, whose voltage is 0.
std::int32_t voltage_index(const System& system, std::string_view node);
std::int32_t current_index(const System& system, std::string_view voltage_source);
std::int32_t state_index(const System& system, std::string_view instance, std::int32_t state);

// One solution of the equations: a DC operating point.
class Solution {
 public:
  Solution(const System& system, std::vector<double> x, std::int32_t iterations)
      : system_(&system), x_(std::move(x)), iterations_(iterations) {}

  double voltage(std::string_view node) const;
  // The branch current of a voltage source, flowing from its plus node through it (SPICE's sign).
  double current(std::string_view voltage_source) const;
  double state(std::string_view instance, std::int32_t state) const;
  std::span<const double> unknowns() const { return x_; }
  std::int32_t newton_iterations() const { return iterations_; }

 private:
  const System* system_;
  std::vector<double> x_;
  std::int32_t iterations_;
};

struct TransientStatistics {
  std::int32_t accepted = 0;
  std::int32_t rejected_for_error = 0;       // local truncation error too large
  std::int32_t rejected_for_newton = 0;      // no convergence at that step
  std::int32_t shortened_for_switching = 0;  // cut back to end where a signal switches
  std::int32_t newton_iterations = 0;
};

// The solution at every accepted time point, the first being the operating point at t = 0.
class TransientResult {
 public:
  explicit TransientResult(const System& system) : system_(&system) {}

  void add(double time, std::span<const double> x);
  const std::vector<double>& times() const { return times_; }
  std::vector<double> voltage(std::string_view node) const;
  std::vector<double> current(std::string_view voltage_source) const;
  std::vector<double> state(std::string_view instance, std::int32_t state) const;
  TransientStatistics statistics;

 private:
  std::vector<double> series(std::int32_t index) const;
  const System* system_;
  std::vector<double> times_;
  std::vector<double> values_;  // point k's unknowns at k * size
};

// The small-signal solution at every frequency of the sweep.
class AcResult {
 public:
  explicit AcResult(const System& system) : system_(&system) {}

  void add(double frequency, std::span<const std::complex<double>> x);
  const std::vector<double>& frequencies() const { return frequencies_; }
  std::vector<std::complex<double>> voltage(std::string_view node) const;
  std::vector<std::complex<double>> current(std::string_view voltage_source) const;

 private:
  std::vector<std::complex<double>> series(std::int32_t index) const;
  const System* system_;
  std::vector<double> frequencies_;
  std::vector<std::complex<double>> values_;
};

}  // namespace host::analog
