#include "host/analog/unit_element.h"

#include <algorithm>
#include <cmath>

#include "host/analog/analysis_error.h"
#include "host/kernel.h"

namespace host::analog {

namespace {

// Forward differences in the real path; central differences, which are more accurate, for
// the small-signal matrix, where the entries are the result.
constexpr double forward_step = 1e-7;
constexpr double central_step = 1e-5;
constexpr double step_floor = 1e-3;

// Marks the evaluations at perturbed points.
struct Probing {
  Probing() { kernel().analog.probing = true; }
  ~Probing() { kernel().analog.probing = false; }
  Probing(const Probing&) = delete;
  Probing& operator=(const Probing&) = delete;
};

double perturbation(double x, double relative) {
  return relative * std::max(std::abs(x), step_floor);
}

}  // namespace

UnitElement::UnitElement(Instance& instance, const UnitDeclarations& declarations,
                         std::vector<std::int32_t> pin_unknowns,
                         std::vector<std::int32_t> state_unknowns)
    : instance_(instance),
      runtime_(instance.name, instance.record, *instance.entry, declarations,
               std::move(pin_unknowns), std::move(state_unknowns)) {
  for (std::int32_t n = 1; n <= runtime_.pin_count(); ++n) {
    rows_.push_back(runtime_.pin_unknown(n));
  }
  for (std::int32_t k = 1; k <= runtime_.state_count(); ++k) {
    rows_.push_back(runtime_.state_unknown(k));
  }
  for (std::int32_t row : rows_) {
    if (row != reference && std::find(columns_.begin(), columns_.end(), row) == columns_.end()) {
      columns_.push_back(row);
    }
  }
  base_.resize(rows_.size());
  ac_plus_.resize(rows_.size());
}

void UnitElement::add_pattern(std::vector<std::pair<std::int32_t, std::int32_t>>& pattern) const {
  if (loads_jacobian()) {
    const auto unknown = [&](std::int32_t kind, std::int32_t number) {
      return kind == pin_kind ? runtime_.pin_unknown(number) : runtime_.state_unknown(number);
    };
    for (const MatrixLocation& at : runtime_.declarations().locations()) {
      const std::int32_t row = unknown(at.row_kind, at.row_number);
      const std::int32_t column = unknown(at.column_kind, at.column_number);
      if (row != reference && column != reference) pattern.emplace_back(row, column);
    }
    return;
  }
  for (std::int32_t row : rows_) {
    if (row == reference) continue;
    for (std::int32_t column : columns_) pattern.emplace_back(row, column);
  }
}

void UnitElement::map_slots(const RealMatrix& matrix) {
  location_slots_.clear();
  difference_slots_.clear();
  if (loads_jacobian()) {
    const auto unknown = [&](std::int32_t kind, std::int32_t number) {
      return kind == pin_kind ? runtime_.pin_unknown(number) : runtime_.state_unknown(number);
    };
    for (const MatrixLocation& at : runtime_.declarations().locations()) {
      location_slots_.push_back(matrix.slot(unknown(at.row_kind, at.row_number),
                                            unknown(at.column_kind, at.column_number)));
    }
    return;
  }
  for (std::int32_t row : rows_) {
    for (std::int32_t column : columns_) difference_slots_.push_back(matrix.slot(row, column));
  }
}

double UnitElement::output(std::int32_t o) const {
  const std::int32_t pins = runtime_.pin_count();
  return o < pins ? runtime_.pin_currents()[o] : runtime_.residuals()[o - pins];
}

std::complex<double> UnitElement::ac_output(std::int32_t o) const {
  const std::int32_t pins = runtime_.pin_count();
  return o < pins ? runtime_.ac_pin_currents()[o] : runtime_.ac_residuals()[o - pins];
}

void UnitElement::evaluate(std::int32_t flag) {
  runtime_.clear_outputs();
  runtime_.publish_states();
  kernel().current_object = instance_.object_index;
  instance_.plugin->table->ams_each_iter->each_iter(instance_.record, flag);
  if (!runtime_.fault().empty()) throw AnalysisError(runtime_.fault());
}

void UnitElement::evaluate_ac(std::int32_t flag) {
  runtime_.clear_outputs();
  runtime_.publish_ac_states();
  kernel().current_object = instance_.object_index;
  instance_.plugin->table->ams_each_iter->each_iter_ac(instance_.record, flag);
  if (!runtime_.fault().empty()) throw AnalysisError(runtime_.fault());
}

void UnitElement::load(double* x, std::span<double> residual, std::span<double> jacobian) {
  if (loads_jacobian()) {
    evaluate(1);
    for (std::int32_t o = 0; o < output_count(); ++o) {
      if (rows_[o] != reference) residual[rows_[o]] += output(o);
    }
    const auto entries = runtime_.entries();
    for (std::size_t n = 0; n < location_slots_.size(); ++n) {
      if (location_slots_[n] >= 0) jacobian[location_slots_[n]] += entries[n];
    }
    return;
  }

  evaluate(0);
  for (std::int32_t o = 0; o < output_count(); ++o) {
    base_[o] = output(o);
    if (rows_[o] != reference) residual[rows_[o]] += base_[o];
  }
  const auto columns = static_cast<std::int32_t>(columns_.size());
  const Probing probing;
  for (std::int32_t j = 0; j < columns; ++j) {
    double& v = x[columns_[j]];
    const double saved = v;
    v = saved + perturbation(saved, forward_step);
    const double step = v - saved;
    evaluate(0);
    v = saved;
    for (std::int32_t o = 0; o < output_count(); ++o) {
      const std::int32_t slot = difference_slots_[o * columns + j];
      if (slot >= 0) jacobian[slot] += (output(o) - base_[o]) / step;
    }
  }
  runtime_.publish_states();
}

void UnitElement::load_ac(std::complex<double>* ac_x, std::span<std::complex<double>> matrix) {
  if (loads_jacobian()) {
    evaluate_ac(1);
    const auto entries = runtime_.ac_entries();
    for (std::size_t n = 0; n < location_slots_.size(); ++n) {
      if (location_slots_[n] >= 0) matrix[location_slots_[n]] += entries[n];
    }
    return;
  }
  const auto columns = static_cast<std::int32_t>(columns_.size());
  for (std::int32_t j = 0; j < columns; ++j) {
    std::complex<double>& v = ac_x[columns_[j]];
    const std::complex<double> saved = v;
    const double up = saved.real() + perturbation(saved.real(), central_step);
    const double step = up - saved.real();
    v = {up, saved.imag()};
    evaluate_ac(0);
    for (std::int32_t o = 0; o < output_count(); ++o) ac_plus_[o] = ac_output(o);
    v = {saved.real() - step, saved.imag()};
    evaluate_ac(0);
    v = saved;
    for (std::int32_t o = 0; o < output_count(); ++o) {
      const std::int32_t slot = difference_slots_[o * columns + j];
      if (slot >= 0) matrix[slot] += (ac_plus_[o] - ac_output(o)) / (2.0 * step);
    }
  }
  runtime_.publish_ac_states();
}

}  // namespace host::analog
