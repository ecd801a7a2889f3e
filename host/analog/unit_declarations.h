// What an analog unit declares to the host while ams__elab_tavo_1 to _3 run: its implicit
// states and the quantities bound to them, the pins whose voltage derivatives it reads,
// whether it loads its own Jacobian, and the matrix locations it reserves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/records.h"

namespace host::analog {

// Kinds of a matrix location's row or column.
inline constexpr std::int32_t pin_kind = 80;    // 'P': a pin's current (row) or voltage (column)
inline constexpr std::int32_t state_kind = 83;  // 'S': a state's residual (row) or value (column)
// Set_Deriv argument of a unit that loads every Jacobian entry it reserves.
inline constexpr std::int32_t loads_own_jacobian = 2;

struct MatrixLocation {
  bool reserved = false;
  std::int32_t row_kind = 0;
  std::int32_t row_number = 0;
  std::int32_t column_kind = 0;
  std::int32_t column_number = 0;
};

class UnitDeclarations {
 public:
  // The service calls, recorded as made; a call that cannot be honoured adds a problem.
  void ask_for_states(std::int32_t count);
  void bind_state(std::int32_t state, quantity_record* quantity, double value);
  void set_jacobian_mode(std::int32_t mode);
  void reserve(std::int32_t location, MatrixLocation where);
  void begin_derivative_pins();
  void derivative_pin(std::int32_t pin);
  void end_derivative_pins();

  // Checks the declarations against the unit's pin count once elaboration is over; adds a
  // problem for each state left unbound, location out of range or open bracket.
  void check(std::int32_t pin_count);

  std::int32_t state_count() const { return static_cast<std::int32_t>(state_quantities_.size()); }
  quantity_record* state_quantity(std::int32_t state) const { return state_quantities_[state - 1]; }
  double initial_state(std::int32_t state) const { return initial_states_[state - 1]; }
  bool loads_jacobian() const { return loads_jacobian_; }
  const std::vector<MatrixLocation>& locations() const { return locations_; }
  const std::vector<std::int32_t>& derivative_pins() const { return derivative_pins_; }
  const std::vector<std::string>& problems() const { return problems_; }

 private:
  bool states_asked_ = false;
  std::vector<quantity_record*> state_quantities_;  // state k at k-1
  std::vector<double> initial_states_;
  bool loads_jacobian_ = false;
  std::vector<MatrixLocation> locations_;  // location n at n-1
  bool in_derivative_bracket_ = false;
  std::vector<std::int32_t> derivative_pins_;
  std::vector<std::string> problems_;
};

}  // namespace host::analog
