#include "host/analog/results.h"

#include <string>

#include "host/analog/analysis_error.h"
#include "host/analog/system.h"

namespace host::analog {

std::int32_t voltage_index(const System& system, std::string_view node) {
  if (node == "0" || node == "gnd") return -1;
  const std::int32_t u = system.node_unknown(node);
  if (u < 0) throw CircuitError("no node '" + std::string(node) + "'");
  return u;
}

std::int32_t current_index(const System& system, std::string_view voltage_source) {
  const std::int32_t u = system.branch_unknown(voltage_source);
  if (u < 0) throw CircuitError("no voltage source '" + std::string(voltage_source) + "'");
  return u;
}

std::int32_t state_index(const System& system, std::string_view instance, std::int32_t state) {
  const std::int32_t u = system.state_unknown(instance, state);
  if (u < 0) {
    throw CircuitError("no state " + std::to_string(state) + " of instance '" +
                       std::string(instance) + "'");
  }
  return u;
}

double Solution::voltage(std::string_view node) const {
  const std::int32_t u = voltage_index(*system_, node);
  return u < 0 ? 0.0 : x_[static_cast<std::size_t>(u)];
}

double Solution::current(std::string_view voltage_source) const {
  return x_[static_cast<std::size_t>(current_index(*system_, voltage_source))];
}

double Solution::state(std::string_view instance, std::int32_t state) const {
  return x_[static_cast<std::size_t>(state_index(*system_, instance, state))];
}

void TransientResult::add(double time, std::span<const double> x) {
  times_.push_back(time);
  values_.insert(values_.end(), x.begin(), x.end());
}

std::vector<double> TransientResult::series(std::int32_t index) const {
  std::vector<double> out(times_.size(), 0.0);
  if (index < 0) return out;
  const auto size = static_cast<std::size_t>(system_->size());
  for (std::size_t k = 0; k < out.size(); ++k) {
    out[k] = values_[k * size + static_cast<std::size_t>(index)];
  }
  return out;
}

std::vector<double> TransientResult::voltage(std::string_view node) const {
  return series(voltage_index(*system_, node));
}

std::vector<double> TransientResult::current(std::string_view voltage_source) const {
  return series(current_index(*system_, voltage_source));
}

std::vector<double> TransientResult::state(std::string_view instance, std::int32_t state) const {
  return series(state_index(*system_, instance, state));
}

void AcResult::add(double frequency, std::span<const std::complex<double>> x) {
  frequencies_.push_back(frequency);
  values_.insert(values_.end(), x.begin(), x.end());
}

std::vector<std::complex<double>> AcResult::series(std::int32_t index) const {
  std::vector<std::complex<double>> out(frequencies_.size());
  if (index < 0) return out;
  const auto size = static_cast<std::size_t>(system_->size());
  for (std::size_t k = 0; k < out.size(); ++k) {
    out[k] = values_[k * size + static_cast<std::size_t>(index)];
  }
  return out;
}

std::vector<std::complex<double>> AcResult::voltage(std::string_view node) const {
  return series(voltage_index(*system_, node));
}

std::vector<std::complex<double>> AcResult::current(std::string_view voltage_source) const {
  return series(current_index(*system_, voltage_source));
}

}  // namespace host::analog
