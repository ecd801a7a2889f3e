#include "host/analog/unit_runtime.h"

#include <cmath>

#include "host/trace.h"

namespace host::analog {

namespace {

bool finite(complex v) {
  return std::isfinite(v.real()) && std::isfinite(v.imag());
}

std::string text(double v) {
  return format_double(v);
}

std::string text(complex v) {
  return "(" + format_double(v.real()) + ", " + format_double(v.imag()) + ")";
}

}  // namespace

UnitRuntime::UnitRuntime(std::string name, instance_record* record, const CatalogEntry& entry,
                         const UnitDeclarations& declarations,
                         std::vector<std::int32_t> pin_unknowns,
                         std::vector<std::int32_t> state_unknowns)
    : name_(std::move(name)),
      record_(record),
      declarations_(declarations),
      pin_unknowns_(std::move(pin_unknowns)),
      state_unknowns_(std::move(state_unknowns)),
      above_count_(static_cast<std::int32_t>(entry.watched.size())),
      derivative_pin_(pin_unknowns_.size(), false),
      pin_currents_(pin_unknowns_.size()),
      residuals_(state_unknowns_.size()),
      entries_(declarations.locations().size()),
      ac_pin_currents_(pin_unknowns_.size()),
      ac_residuals_(state_unknowns_.size()),
      ac_entries_(declarations.locations().size()) {
  for (std::int32_t pin : declarations.derivative_pins()) derivative_pin_[pin - 1] = true;
  for (std::size_t q = 0; q < entry.quantities.size(); ++q) {
    const QuantityBinding& binding = entry.quantities[q];
    if (binding.kind != QuantityKind::derivative) continue;
    const auto unknown = [&](std::int32_t pin) { return pin > 0 ? pin_unknown(pin) : reference; };
    derivative_quantities_.push_back(
        {record->quantities[q], unknown(binding.plus), unknown(binding.minus)});
  }
}

void UnitRuntime::publish_states() const {
  for (std::int32_t k = 1; k <= state_count(); ++k) {
    *declarations_.state_quantity(k)->value = value(state_unknown(k));
  }
}

void UnitRuntime::publish_ac_states() const {
  for (std::int32_t k = 1; k <= state_count(); ++k) {
    const complex v = ac_value_of(state_unknown(k));
    *declarations_.state_quantity(k)->ac = {v.real(), v.imag()};
  }
}

void UnitRuntime::clear_outputs() {
  std::fill(pin_currents_.begin(), pin_currents_.end(), 0.0);
  std::fill(residuals_.begin(), residuals_.end(), 0.0);
  std::fill(entries_.begin(), entries_.end(), 0.0);
  std::fill(ac_pin_currents_.begin(), ac_pin_currents_.end(), complex{});
  std::fill(ac_residuals_.begin(), ac_residuals_.end(), complex{});
  std::fill(ac_entries_.begin(), ac_entries_.end(), complex{});
  fault_.clear();
}

void UnitRuntime::fail(std::string message) {
  if (fault_.empty()) fault_ = "instance '" + name_ + "' " + std::move(message);
}

bool UnitRuntime::pin_in_range(std::int32_t pin, const char* service) {
  if (pin >= 1 && pin <= pin_count()) return true;
  fail(std::string("calls ") + service + " for pin " + std::to_string(pin) + " but has " +
       std::to_string(pin_count()) + " pins");
  return false;
}

bool UnitRuntime::state_in_range(std::int32_t state, const char* service) {
  if (state >= 1 && state <= state_count()) return true;
  fail(std::string("calls ") + service + " for state " + std::to_string(state) + " but has " +
       std::to_string(state_count()) + " states");
  return false;
}

bool UnitRuntime::has_above(std::int32_t k, const char* service) {
  if (k >= 0 && k < above_count_) return true;
  fail(std::string("calls ") + service + " for above signal " + std::to_string(k) + " but has " +
       std::to_string(above_count_));
  return false;
}

bool UnitRuntime::location_reserved(std::int32_t location, const char* service) {
  if (location >= 1 && location <= static_cast<std::int32_t>(entries_.size())) return true;
  fail(std::string("calls ") + service + " for matrix location " + std::to_string(location) +
       ", which it did not reserve");
  return false;
}

double UnitRuntime::pin_voltage(std::int32_t pin) {
  return pin_in_range(pin, "VPin") ? value(pin_unknown(pin)) : 0.0;
}

complex UnitRuntime::ac_pin_voltage(std::int32_t pin) {
  return pin_in_range(pin, "VPin_Complex") ? ac_value_of(pin_unknown(pin)) : complex{};
}

double UnitRuntime::pin_derivative(std::int32_t pin) {
  if (!pin_in_range(pin, "dvpin_by_dt")) return 0.0;
  if (!derivative_pin_[pin - 1]) {
    fail("reads the voltage derivative of pin " + std::to_string(pin) +
         ", which it did not declare with Init_DDT_Pin");
    return 0.0;
  }
  const std::int32_t u = pin_unknown(pin);
  return u == reference ? 0.0 : point_->alpha * point_->x[u] + point_->history[u];
}

void UnitRuntime::ac_derivative(quantity_record* quantity) {
  for (const DerivativeQuantity& d : derivative_quantities_) {
    if (d.quantity != quantity) continue;
    const complex v = point_->jomega * (ac_value_of(d.plus) - ac_value_of(d.minus));
    *quantity->ac = {v.real(), v.imag()};
    return;
  }
  fail("calls ac_update_scalar_dot_qty for a quantity that is not one of its derivatives");
}

void UnitRuntime::set_pin_current(std::int32_t pin, double current) {
  if (!pin_in_range(pin, "Set_Ipin_Real")) return;
  if (!std::isfinite(current))
    fail("gives current " + text(current) + " on pin " + std::to_string(pin));
  pin_currents_[pin - 1] = current;
}

void UnitRuntime::set_ac_pin_current(std::int32_t pin, complex current) {
  if (!pin_in_range(pin, "Set_Ipin_Complex")) return;
  if (!finite(current)) fail("gives current " + text(current) + " on pin " + std::to_string(pin));
  ac_pin_currents_[pin - 1] = current;
}

void UnitRuntime::set_residual(std::int32_t state, double residual) {
  if (!state_in_range(state, "Solve_State")) return;
  if (!std::isfinite(residual)) {
    fail("gives residual " + text(residual) + " for state " + std::to_string(state));
  }
  residuals_[state - 1] = residual;
}

void UnitRuntime::set_ac_residual(std::int32_t state, complex residual) {
  if (!state_in_range(state, "Solve_State_Complex")) return;
  if (!finite(residual)) {
    fail("gives residual " + text(residual) + " for state " + std::to_string(state));
  }
  ac_residuals_[state - 1] = residual;
}

void UnitRuntime::add_entry(std::int32_t location, double value) {
  if (!location_reserved(location, "fas_add_mat_term_index")) return;
  if (!std::isfinite(value)) {
    fail("loads " + text(value) + " at matrix location " + std::to_string(location));
  }
  entries_[location - 1] += value;
}

void UnitRuntime::add_ac_entry(std::int32_t location, complex value) {
  if (!location_reserved(location, "fas_add_mat_term_index_cmplx")) return;
  if (!finite(value)) {
    fail("loads " + text(value) + " at matrix location " + std::to_string(location));
  }
  ac_entries_[location - 1] += value;
}

void UnitRuntime::divided_by_zero(double numerator) {
  fail("divides " + text(numerator) + " by zero (real_div_f)");
}

}  // namespace host::analog
