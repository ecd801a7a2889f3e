// The 50 V MOS transistor family: four pins, resistive branch current as implicit state 1,
// channel current as implicit state 2, three capacitive currents as explicit quantities.
#pragma once

#include "frame/analog_unit.h"
#include "frame/generic_evaluation.h"
#include "units/analog/mos20hs.h"

namespace zeb::units {

// Corner lookup through declaration 7; LEVEL_2 units take corner parameters through 9.
template <channel type, bool corner_parameters>
struct mos50v : analog_defaults {
  static constexpr positions<2> implicit_states{1, 5};
  static constexpr positions<3> explicit_quantities{9, 7, 3};

  static constexpr std::int32_t corner_declaration = 7;
  static constexpr std::int32_t parameter_declaration = 9;
  static inline declared_tables tab_func__corner;     // tab_func__7, ac_tab_func__7
  static inline declared_tables tab_func__parameter;  // tab_func__9, ac_tab_func__9 (LEVEL_2)

  static void set_up(instance_record* instance) {
    announce_scratch(corner_parameters ? 2 : 1, corner_parameters);
    cache_declared_tables(instance, corner_declaration, tab_func__corner);
    if constexpr (corner_parameters) {
      cache_declared_tables(instance, parameter_declaration, tab_func__parameter);
    }
  }

  // Channel current from (q6, q5, q4, context).
  static double exec_subprg__0(double, double, double, instance_record*) { return 0.0; }
  static ac_value ac_exec_subprg__0(ac_value, ac_value, ac_value, instance_record*) {
    return {0.0, 0.0};
  }

  static constexpr usr_eval_fn evaluator = &no_requests;
  static inline const subprogram_fn code_suprgs[1] = {subprogram_entry(&exec_subprg__0)};
  static inline const subprogram_fn ac_code_suprgs[1] = {subprogram_entry(&ac_exec_subprg__0)};
  static constexpr const subprogram_fn* subprograms = code_suprgs;
  static constexpr const subprogram_fn* ac_subprograms = ac_code_suprgs;
};

}  // namespace zeb::units
