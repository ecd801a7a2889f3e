// The 20HS MOS transistor family: three pins, channel current as implicit state 1,
// capacitive currents 2-3 and 2-1 as explicit quantities.
#pragma once

#include "frame/analog_unit.h"
#include "frame/generic_evaluation.h"

namespace zeb::units {

enum class channel { p, n };

// Corner lookup through declaration 10, corner parameters through 8 (P) or 9 (N).
template <channel type, bool corner_selected>
struct mos20hs : analog_defaults {
  static constexpr positions<1> implicit_states{1};
  static constexpr positions<2> explicit_quantities{5, 3};

  static constexpr std::int32_t corner_declaration = 10;
  static constexpr std::int32_t parameter_declaration = type == channel::p ? 8 : 9;
  static inline declared_tables tab_func__corner;     // tab_func__10, ac_tab_func__10
  static inline declared_tables tab_func__parameter;  // tab_func__8 or __9 and their ac_ twins

  static void set_up(instance_record* instance) {
    announce_scratch(2, true);
    cache_declared_tables(instance, corner_declaration, tab_func__corner);
    cache_declared_tables(instance, parameter_declaration, tab_func__parameter);
  }

  // Channel current from (q2, q4, q7, q1, q0, q8, q6).
  static double exec_subprg__0(double, double, double, double, double, double, double,
                               instance_record*) {
    return 0.0;
  }
  static ac_value ac_exec_subprg__0(ac_value, ac_value, ac_value, ac_value, ac_value, ac_value,
                                    ac_value, instance_record*) {
    return {0.0, 0.0};
  }

  static constexpr usr_eval_fn evaluator = &no_requests;
  static inline const subprogram_fn code_suprgs[1] = {subprogram_entry(&exec_subprg__0)};
  static inline const subprogram_fn ac_code_suprgs[1] = {subprogram_entry(&ac_exec_subprg__0)};
  static constexpr const subprogram_fn* subprograms = code_suprgs;
  static constexpr const subprogram_fn* ac_subprograms = ac_code_suprgs;
};

}  // namespace zeb::units
