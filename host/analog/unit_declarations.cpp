#include "host/analog/unit_declarations.h"

#include <algorithm>

namespace host::analog {

namespace {

std::string kind_text(std::int32_t kind, std::int32_t number) {
  if (kind == pin_kind) return "pin " + std::to_string(number);
  if (kind == state_kind) return "state " + std::to_string(number);
  return "kind " + std::to_string(kind) + " number " + std::to_string(number);
}

}  // namespace

void UnitDeclarations::ask_for_states(std::int32_t count) {
  if (states_asked_) {
    problems_.push_back("asks for implicit states twice");
    return;
  }
  states_asked_ = true;
  if (count < 0) {
    problems_.push_back("asks for " + std::to_string(count) + " implicit states");
    return;
  }
  state_quantities_.assign(static_cast<std::size_t>(count), nullptr);
  initial_states_.assign(static_cast<std::size_t>(count), 0.0);
}

void UnitDeclarations::bind_state(std::int32_t state, quantity_record* quantity, double value) {
  if (state < 1 || state > state_count()) {
    problems_.push_back("binds state " + std::to_string(state) + " but asked for " +
                        std::to_string(state_count()) + " states");
    return;
  }
  if (quantity == nullptr || quantity->value == nullptr) {
    problems_.push_back("binds state " + std::to_string(state) + " to no quantity");
    return;
  }
  if (state_quantities_[state - 1] != nullptr) {
    problems_.push_back("binds state " + std::to_string(state) + " twice");
    return;
  }
  state_quantities_[state - 1] = quantity;
  initial_states_[state - 1] = value;
}

void UnitDeclarations::set_jacobian_mode(std::int32_t mode) {
  if (mode != loads_own_jacobian) {
    problems_.push_back("asks for Jacobian mode " + std::to_string(mode) + "; the host knows " +
                        std::to_string(loads_own_jacobian) + " (the unit loads its own)");
    return;
  }
  loads_jacobian_ = true;
}

void UnitDeclarations::reserve(std::int32_t location, MatrixLocation where) {
  if (location < 1) {
    problems_.push_back("reserves matrix location " + std::to_string(location));
    return;
  }
  const auto index = static_cast<std::size_t>(location - 1);
  if (locations_.size() <= index) locations_.resize(index + 1);
  if (locations_[index].reserved) {
    problems_.push_back("reserves matrix location " + std::to_string(location) + " twice");
    return;
  }
  where.reserved = true;
  locations_[index] = where;
}

void UnitDeclarations::begin_derivative_pins() {
  if (in_derivative_bracket_) problems_.push_back("opens the derivative-pin declarations twice");
  in_derivative_bracket_ = true;
}

void UnitDeclarations::derivative_pin(std::int32_t pin) {
  if (!in_derivative_bracket_) {
    problems_.push_back("declares derivative pin " + std::to_string(pin) +
                        " outside bb_RF_setup/bb_RF_der");
  }
  if (std::find(derivative_pins_.begin(), derivative_pins_.end(), pin) == derivative_pins_.end()) {
    derivative_pins_.push_back(pin);
  }
}

void UnitDeclarations::end_derivative_pins() {
  if (!in_derivative_bracket_)
    problems_.push_back("closes derivative-pin declarations never opened");
  in_derivative_bracket_ = false;
}

void UnitDeclarations::check(std::int32_t pin_count) {
  if (in_derivative_bracket_) problems_.push_back("never closes its derivative-pin declarations");
  for (std::int32_t k = 1; k <= state_count(); ++k) {
    if (state_quantity(k) == nullptr) {
      problems_.push_back("never binds state " + std::to_string(k) + " to a quantity");
    }
  }
  for (std::int32_t pin : derivative_pins_) {
    if (pin < 1 || pin > pin_count) {
      problems_.push_back("declares derivative pin " + std::to_string(pin) + " but has " +
                          std::to_string(pin_count) + " pins");
    }
  }
  const auto valid = [&](std::int32_t kind, std::int32_t number) {
    if (kind == pin_kind) return number >= 1 && number <= pin_count;
    if (kind == state_kind) return number >= 1 && number <= state_count();
    return false;
  };
  for (std::size_t n = 0; n < locations_.size(); ++n) {
    const MatrixLocation& where = locations_[n];
    const std::string location = "matrix location " + std::to_string(n + 1);
    if (!where.reserved) {
      problems_.push_back("leaves " + location + " unreserved");
    } else if (!valid(where.row_kind, where.row_number) ||
               !valid(where.column_kind, where.column_number)) {
      problems_.push_back(
          "reserves " + location + " at row " + kind_text(where.row_kind, where.row_number) +
          ", column " + kind_text(where.column_kind, where.column_number) + " but has " +
          std::to_string(pin_count) + " pins and " + std::to_string(state_count()) + " states");
    }
  }
  if (!loads_jacobian_ && !locations_.empty()) {
    problems_.push_back("reserves matrix locations without loading its own Jacobian (Set_Deriv)");
  }
}

}  // namespace host::analog
