// The 50 V MOS transistor family: four pins, resistive branch current as implicit state 1,
// channel current as implicit state 2, three capacitive currents as explicit quantities.
#pragma once

#include <cmath>

#include "frame/analog_unit.h"
#include "frame/generic_evaluation.h"
#include "runtime/ac_functions.h"
#include "units/analog/mos20hs.h"

namespace zeb::units {

// Pins 1 inner drain, 2 gate, 3 source, 4 outer drain (voltage derivatives of 1 to 3 only).
// Quantities: 0 resistive branch voltage, 1 its current (state 1), 2 and 8 computed but not
// read, 3, 7, 9 capacitive currents 1-3, 2-3, 1-2, 4 channel voltage, 5 channel current
// (state 2), 6 control voltage, 10 d(V1 - V2)/dt, 11 d(V2 - V3)/dt, 12 d(V1 - V3)/dt.
// Corner lookup through declaration 7; LEVEL_2 units take corner parameters through 9.
template <channel type, bool corner_parameters>
struct mos50v : analog_defaults {
  static constexpr bool p_unit = type == channel::p;
  static constexpr std::int32_t pin_count = 4;
  static constexpr positions<5> across{0, 2, 4, 6, 8};
  static constexpr positions<5> through{1, 3, 5, 7, 9};
  static constexpr std::array<derivative_quantity, 3> derivatives{
      {{10, 1, 2}, {11, 2, 3}, {12, 1, 3}}};
  static constexpr positions<3> ddt_pins{1, 2, 3};
  static constexpr positions<2> implicit_states{1, 5};
  static constexpr positions<3> explicit_quantities{9, 7, 3};

  static constexpr std::int32_t divisor = 5, linear_gain = 6, vgs_th_c = 15, gfs_c = 16;
  static constexpr std::int32_t resistance = 17, c12 = 18, c23 = 19, c13 = 20;

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

  static void explicit_values(instance_record* u) {
    q(u, 9) = g(u, c12) * q(u, 10);
    q(u, 7) = g(u, c23) * q(u, 11);
    q(u, 3) = g(u, c13) * q(u, 12);
  }
  static void ac_explicit_values(instance_record* u) {
    qc(u, 9) = real_ac_mul(g(u, c12), qc(u, 10));
    qc(u, 7) = real_ac_mul(g(u, c23), qc(u, 11));
    qc(u, 3) = real_ac_mul(g(u, c13), qc(u, 12));
  }

  // Channel current from (a, b, c) = (q6, q5, q4): control voltage, present current
  // (unused), channel voltage. One formula for both signs of the channel voltage.
  static double exec_subprg__0(double a, double, double c, instance_record* u) {
    const double t = p_unit ? std::fabs(g(u, vgs_th_c)) : g(u, vgs_th_c);
    const bool on = p_unit ? a < -turn_on_margin - t : a > t + turn_on_margin;
    const double numerator = (g(u, linear_gain) * ten_pi) * c;
    const double gfs = g(u, gfs_c);
    if (on) {
      const double overdrive = p_unit ? t + a : a - t;
      const double S = real_int_pow(overdrive, 2) * gfs;
      const double x = real_div_f(numerator, g(u, divisor) * S);
      return std::atan(x) * real_div_f(S, half_pi);
    }
    const double x = real_div_f(numerator, (g(u, divisor) * gfs) * off_square);
    return std::atan(x) * real_div_f(gfs * off_square, half_pi);
  }

  static ac_value ac_exec_subprg__0(ac_value a, ac_value, ac_value c, instance_record* u) {
    const double th = g(u, vgs_th_c), gfs = g(u, gfs_c), d = g(u, divisor);
    const bool on = (p_unit ? ac_real_lt(a, -turn_on_margin - std::fabs(th))
                            : ac_real_gt(a, th + turn_on_margin)) != 0;
    const double linear = g(u, linear_gain) * ten_pi;
    if (on) {
      const ac_value overdrive = p_unit ? ac_real_add(a, std::fabs(th)) : ac_real_sub(a, th);
      const ac_value S = real_ac_mul(gfs, ac_int_pow(overdrive, 2));
      const ac_value scale = ac_real_div(S, half_pi);
      return ac_mul(scale, ac_atan(ac_div(real_ac_mul(linear, c), real_ac_mul(d, S))));
    }
    const double scale = real_div_f(gfs * off_square, half_pi);
    return real_ac_mul(scale, ac_atan(ac_real_div(real_ac_mul(linear, c), d * gfs * off_square)));
  }

  // State 1 carries the channel equation, state 2 the resistive branch.
  static double residual(instance_record* u, std::int32_t k) {
    if (k == 1) return q(u, 5) - exec_subprg__0(q(u, 6), q(u, 5), q(u, 4), u);
    return q(u, 0) - q(u, 1) * g(u, resistance);
  }
  static ac_value ac_residual(instance_record* u, std::int32_t k) {
    if (k == 1) return ac_sub(qc(u, 5), ac_exec_subprg__0(qc(u, 6), qc(u, 5), qc(u, 4), u));
    return ac_sub(qc(u, 0), ac_real_mul(qc(u, 1), g(u, resistance)));
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
