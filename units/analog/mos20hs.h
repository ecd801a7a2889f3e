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

  // Generic defaults: 1 the corner index (generic 11), 2 gfs_c (generic 16) from the
  // transconductance table (generic 0), 3 vgs_th_c (generic 15) from the threshold table
  // (generic 2). The LEVEL_0 N unit always takes the first element.
  static constexpr char literal_cst__0[] = "PROCESS_CORNER";
  static constexpr char literal_cst__1[] = "gfs_c";
  static constexpr char literal_cst__2[] = "real";
  static constexpr char literal_cst__3[] = "vgs_th_c";
  static constexpr char literal_cst__4[] = "V";

  static double table_value(const instance_record* u, std::int32_t table) {
    if constexpr (corner_selected) {
      return corner_element(ga(u, table), gi(u, 11));
    } else {
      return ga(u, table)[0];
    }
  }

  static void usr_eval(std::int32_t request, void* result, range_record** range_out) {
    const instance_record* u = begin_request();
    switch (request) {
      case 1:
        corner_request(u, corner_declaration, tab_func__corner, literal_cst__0, result, range_out);
        break;
      case 2:
        corner_parameter_request(u, parameter_declaration, tab_func__parameter, table_value(u, 0),
                                 0.0, literal_cst__1, literal_cst__2, result, range_out);
        break;
      case 3:
        corner_parameter_request(u, parameter_declaration, tab_func__parameter, table_value(u, 2),
                                 0.0, literal_cst__3, literal_cst__4, result, range_out);
        break;
      default:
        break;
    }
  }
  static constexpr usr_eval_fn evaluator = &usr_eval;
  static inline const subprogram_fn code_suprgs[1] = {subprogram_entry(&exec_subprg__0)};
  static inline const subprogram_fn ac_code_suprgs[1] = {subprogram_entry(&ac_exec_subprg__0)};
  static constexpr const subprogram_fn* subprograms = code_suprgs;
  static constexpr const subprogram_fn* ac_subprograms = ac_code_suprgs;
};

}  // namespace zeb::units
