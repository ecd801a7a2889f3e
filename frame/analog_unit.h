// Elaboration of an analog unit and its export tables.
//
// Unit provides:
//   implicit_states      quantity positions of states 1, 2, ...
//   flagged_pins         pins on which it never places a current
//   explicit_quantities  quantities registered with sim_update_qexplt, in order
//   set_up(instance)     unit steps of the set-up phase before the callback is registered
//                        (scratch-table sizes, cached declaration tables)
//   check(instance)      unit steps after the explicit quantities (above signals)
//   digital_interaction  whether the unit reads threshold-crossing signals
//   evaluator, subprograms, ac_subprograms: usr_eval, code_suprgs and ac_code_suprgs,
//                        null where the unit has none
// and the equations that analog_protocol<Unit> walks (analog_protocol.h).
#pragma once

#include "frame/analog_protocol.h"
#include "frame/elaboration.h"
#include "frame/structural_unit.h"

namespace zeb {

// Defaults for the optional parts of an analog unit description.
struct analog_defaults {
  static constexpr std::int32_t pin_count = 0;
  static constexpr positions<0> across{};
  static constexpr positions<0> through{};
  static constexpr std::array<derivative_quantity, 0> derivatives{};
  static constexpr positions<0> ddt_pins{};
  static constexpr std::array<jacobian_location, 0> jacobian{};
  static void explicit_values(instance_record*) {}
  static void ac_explicit_values(instance_record*) {}
  static double residual(const instance_record*, std::int32_t) { return 0.0; }
  static ac_value ac_residual(const instance_record*, std::int32_t) { return {0.0, 0.0}; }
  static double jacobian_value(const instance_record*, std::int32_t) { return 0.0; }
  static ac_value ac_jacobian_value(const instance_record*, std::int32_t) { return {0.0, 0.0}; }
  static constexpr bool custom_iteration = false;
  static void each_iter(instance_record*, std::int32_t) {}
  static void each_iter_ac(instance_record*, std::int32_t) {}

  static constexpr positions<0> flagged_pins{};
  static constexpr bool digital_interaction = false;
  static void set_up(instance_record*) {}
  static void check(instance_record*) {}
  static constexpr usr_eval_fn evaluator = nullptr;
  static constexpr const subprogram_fn* subprograms = nullptr;
  static constexpr const subprogram_fn* ac_subprograms = nullptr;
};

inline constexpr std::int32_t end_computed_mode = 3;

template <class Unit>
struct analog_unit {
  using protocol = analog_protocol<Unit>;
  static inline void* rg;

  static void elab_desent(void* record, std::int32_t phase) {
    auto* instance = static_cast<instance_record*>(record);
    if (phase == setup_phase) {
      allocate_rg(rg);
      Unit::set_up(instance);
      add_endComputed(instance, &protocol::ams__end_computed, end_computed_mode);
      if constexpr (Unit::digital_interaction) sim_digital_analog_interaction = 1;
    } else if (phase == check_phase) {
      number_states(instance, Unit::implicit_states);
      flag_pins(instance, Unit::flagged_pins);
      store_state_count(instance, static_cast<std::int32_t>(Unit::implicit_states.size()));
      register_explicit(instance, Unit::explicit_quantities);
      Unit::check(instance);
    }
  }

  static constexpr ams_elab_tavo_table ams__elab_tavo{
      {&protocol::ams__elab_tavo_1, &protocol::ams__elab_tavo_2, &protocol::ams__elab_tavo_3,
       nullptr, nullptr}};
  static constexpr ams_each_iter_table ams__each_iter_fct_t{&protocol::ams__each_iter,
                                                            &protocol::ams__each_iter_AC, nullptr};

  static constexpr elab_funcs_table exports{&elab_desent,      Unit::evaluator,
                                            Unit::subprograms, Unit::ac_subprograms,
                                            &ams__elab_tavo,   &ams__each_iter_fct_t};
};

}  // namespace zeb
