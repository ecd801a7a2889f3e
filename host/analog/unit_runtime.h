// Where the solver services of one analog instance land while the engine evaluates it: the
// point they read (pin voltages, their derivatives, complex values) and the outputs they write
// (pin currents, state residuals, Jacobian entries at the reserved locations).
//
// Sign convention: the current a unit places on pin n with Set_Ipin_Real(n, i) flows from the
// pin's node into the unit. It enters the node's current balance (sum of currents leaving the
// node) with a plus sign, as a resistor from the node to ground would: i = V/R.
//
// Set_Ipin_Real and Solve_State set a pin's current or a state's residual for the evaluation
// (a second call replaces the first); fas_add_mat_term_index adds to its location.
#pragma once

#include <complex>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "frame/records.h"
#include "host/analog/unit_declarations.h"
#include "host/catalog.h"

namespace host::analog {

using complex = std::complex<double>;

// The solution a unit is evaluated at. Unknowns are numbered from 0, nodes first.
struct EvaluationPoint {
  double* x = nullptr;
  // Time derivative of unknown u: alpha * x[u] + history[u].
  const double* history = nullptr;
  double alpha = 0.0;
  complex* ac_x = nullptr;
  complex jomega{0.0, 0.0};
};

inline constexpr std::int32_t reference = -1;  // the unknown of the reference node: none

class UnitRuntime {
 public:
  // pin_unknowns[n-1] is pin n's node unknown or `reference`; state_unknowns[k-1] state k's.
  UnitRuntime(std::string name, instance_record* record, const CatalogEntry& entry,
              const UnitDeclarations& declarations, std::vector<std::int32_t> pin_unknowns,
              std::vector<std::int32_t> state_unknowns);

  const std::string& name() const { return name_; }
  instance_record* record() const { return record_; }
  const UnitDeclarations& declarations() const { return declarations_; }
  std::int32_t pin_count() const { return static_cast<std::int32_t>(pin_unknowns_.size()); }
  std::int32_t state_count() const { return static_cast<std::int32_t>(state_unknowns_.size()); }
  std::int32_t pin_unknown(std::int32_t pin) const { return pin_unknowns_[pin - 1]; }
  std::int32_t state_unknown(std::int32_t state) const { return state_unknowns_[state - 1]; }

  void bind(const EvaluationPoint* point) { point_ = point; }
  // Writes the point's state values into the quantities bound to the states (real, complex).
  void publish_states() const;
  void publish_ac_states() const;
  void clear_outputs();

  // The services.
  double pin_voltage(std::int32_t pin);
  complex ac_pin_voltage(std::int32_t pin);
  double pin_derivative(std::int32_t pin);
  void ac_derivative(quantity_record* quantity);
  void set_pin_current(std::int32_t pin, double current);
  void set_ac_pin_current(std::int32_t pin, complex current);
  void set_residual(std::int32_t state, double residual);
  void set_ac_residual(std::int32_t state, complex residual);
  void add_entry(std::int32_t location, double value);
  void add_ac_entry(std::int32_t location, complex value);
  void divided_by_zero(double numerator);
  // Whether above signal k (from 0) exists; a fault of the unit otherwise.
  bool has_above(std::int32_t k, const char* service);

  // Outputs of the last evaluation: pin n's current at n-1, state k's residual at k-1,
  // location n's entry at n-1.
  std::span<const double> pin_currents() const { return pin_currents_; }
  std::span<const double> residuals() const { return residuals_; }
  std::span<const double> entries() const { return entries_; }
  std::span<const complex> ac_pin_currents() const { return ac_pin_currents_; }
  std::span<const complex> ac_residuals() const { return ac_residuals_; }
  std::span<const complex> ac_entries() const { return ac_entries_; }

  // The first fault of the unit's service calls since clear_outputs, or empty.
  const std::string& fault() const { return fault_; }

 private:
  bool pin_in_range(std::int32_t pin, const char* service);
  bool state_in_range(std::int32_t state, const char* service);
  bool location_reserved(std::int32_t location, const char* service);
  double value(std::int32_t unknown) const {
    return unknown == reference ? 0.0 : point_->x[unknown];
  }
  complex ac_value_of(std::int32_t unknown) const {
    return unknown == reference ? complex{} : point_->ac_x[unknown];
  }
  void fail(std::string message);

  struct DerivativeQuantity {
    quantity_record* quantity;
    std::int32_t plus;  // unknowns
    std::int32_t minus;
  };

  std::string name_;
  instance_record* record_;
  UnitDeclarations declarations_;
  std::vector<std::int32_t> pin_unknowns_;
  std::vector<std::int32_t> state_unknowns_;
  std::int32_t above_count_;
  std::vector<bool> derivative_pin_;
  std::vector<DerivativeQuantity> derivative_quantities_;
  const EvaluationPoint* point_ = nullptr;

  std::vector<double> pin_currents_, residuals_, entries_;
  std::vector<complex> ac_pin_currents_, ac_residuals_, ac_entries_;
  std::string fault_;
};

}  // namespace host::analog
