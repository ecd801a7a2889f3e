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

  // Generic defaults: 1 the corner index (generic 11); LEVEL_2 also 2 gfs_c (generic 16) and
  // 3 vgs_th_c (generic 15) from the tables at generics 0 and 2, with a spread of 0.05.
  static constexpr char literal_cst__0[] = "PROCESS_CORNER";
  static constexpr char literal_cst__1[] = "gfs_c";
  static constexpr char literal_cst__2[] = "A/V";
  static constexpr char literal_cst__3[] = "vgs_th_c";
  static constexpr char literal_cst__4[] = "V";
  static constexpr double spread = 0.05;

  static void usr_eval(std::int32_t request, void* result, range_record** range_out) {
    const instance_record* u = begin_request();
    if (request == 1) {
      corner_request(u, corner_declaration, tab_func__corner, literal_cst__0, result, range_out);
    } else if (corner_parameters && request == 2) {
      corner_parameter_request(u, parameter_declaration, tab_func__parameter,
                               corner_element(ga(u, 0), gi(u, 11)), spread, literal_cst__1,
                               literal_cst__2, result, range_out);
    } else if (corner_parameters && request == 3) {
      corner_parameter_request(u, parameter_declaration, tab_func__parameter,
                               corner_element(ga(u, 2), gi(u, 11)), spread, literal_cst__3,
                               literal_cst__4, result, range_out);
    }
  }
  static constexpr usr_eval_fn evaluator = &usr_eval;
  static inline const subprogram_fn code_suprgs[1] = {subprogram_entry(&exec_subprg__0)};
  static inline const subprogram_fn ac_code_suprgs[1] = {subprogram_entry(&ac_exec_subprg__0)};
  static constexpr const subprogram_fn* subprograms = code_suprgs;
  static constexpr const subprogram_fn* ac_subprograms = ac_code_suprgs;
};

}  // namespace zeb::units
