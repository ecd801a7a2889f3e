// The 20HS MOS transistor family: three pins, channel current as implicit state 1,
// capacitive currents 2-3 and 2-1 as explicit quantities.
#pragma once

#include <cmath>

#include "frame/analog_unit.h"
#include "frame/generic_evaluation.h"
#include "runtime/ac_functions.h"

namespace zeb::units {

enum class channel { p, n };

// Constants of the MOS channel formulas.
inline constexpr double half_pi = 1.5707963267948966;
inline constexpr double ten_pi = 31.41592653589793;
inline constexpr double turn_on_margin = 1e-6;
inline constexpr double off_square = 1e-12;

// Pins 1, 2, 3 (pin 2 common to both capacitive branches). Quantities: 0 forward channel
// voltage, 1 channel current (state 1), 2 forward control voltage, 3 capacitive current 2-3,
// 4 reverse control voltage, 5 capacitive current 2-1, 6 reverse channel voltage, 7 and 8 the
// forward and reverse shift voltages, 9 d(V2 - V1)/dt, 10 d(V2 - V3)/dt.
// Corner lookup through declaration 10, corner parameters through 8 (P) or 9 (N).
template <channel type, bool corner_selected>
struct mos20hs : analog_defaults {
  static constexpr bool p_unit = type == channel::p;
  static constexpr std::int32_t pin_count = 3;
  static constexpr positions<6> across{0, 2, 4, 6, 7, 8};
  static constexpr positions<3> through{1, 3, 5};
  static constexpr std::array<derivative_quantity, 2> derivatives{{{9, 2, 1}, {10, 2, 3}}};
  static constexpr positions<3> ddt_pins{1, 2, 3};
  static constexpr positions<1> implicit_states{1};
  static constexpr positions<2> explicit_quantities{5, 3};

  // Generic positions that differ between the P and the N unit.
  static constexpr std::int32_t linear_gain = p_unit ? 9 : 7;
  static constexpr std::int32_t c21 = p_unit ? 7 : 8;
  static constexpr std::int32_t c23 = p_unit ? 8 : 9;
  static constexpr std::int32_t reverse_divisor = 5, forward_divisor = 6, multiplier = 10;
  static constexpr std::int32_t vgs_th_c = 15, gfs_c = 16;

  static constexpr std::int32_t corner_declaration = 10;
  static constexpr std::int32_t parameter_declaration = p_unit ? 8 : 9;
  static inline declared_tables tab_func__corner;     // tab_func__10, ac_tab_func__10
  static inline declared_tables tab_func__parameter;  // tab_func__8 or __9 and their ac_ twins

  static void set_up(instance_record* instance) {
    announce_scratch(2, true);
    cache_declared_tables(instance, corner_declaration, tab_func__corner);
    cache_declared_tables(instance, parameter_declaration, tab_func__parameter);
  }

  static void explicit_values(instance_record* u) {
    const double m = static_cast<double>(gi(u, multiplier));
    q(u, 5) = (m * g(u, c21)) * q(u, 9);
    q(u, 3) = (m * g(u, c23)) * q(u, 10);
  }
  static void ac_explicit_values(instance_record* u) {
    const ac_value m = real2complex(static_cast<double>(gi(u, multiplier)));
    qc(u, 5) = ac_mul(ac_real_mul(m, g(u, c21)), qc(u, 9));
    qc(u, 3) = ac_mul(ac_real_mul(m, g(u, c23)), qc(u, 10));
  }

  // Channel current from (a, b, c, d, e, f, g) = (q2, q4, q7, q1, q0, q8, q6): control,
  // reverse control, shift, present current (unused), channel voltage, reverse shift, reverse
  // channel voltage.
  static double exec_subprg__0(double a, double b, double c, double, double e, double f, double gv,
                               instance_record* u) {
    const bool forward = p_unit ? b >= a : a >= b;
    const double control = forward ? a : b;
    const double shift = forward ? c : f;
    const double v = forward ? e : gv;
    const double divisor = g(u, forward ? forward_divisor : reverse_divisor);
    const double t = p_unit ? std::fabs((20.0 - shift) * 0.2 + g(u, vgs_th_c))
                            : std::fabs(shift * 0.35 + g(u, vgs_th_c));
    const bool on = p_unit ? control < -turn_on_margin - t : control > t + turn_on_margin;
    const double numerator = (g(u, linear_gain) * ten_pi) * v;
    double I;
    if (on) {
      const double overdrive = p_unit ? t + control : control - t;
      const double S = real_int_pow(overdrive, 2) * g(u, gfs_c);
      const double x = real_div_f(numerator, divisor * S);
      I = std::atan(x) * real_div_f(S, half_pi);
    } else {
      const double x = real_div_f(numerator, (divisor * g(u, gfs_c)) * off_square);
      I = std::atan(x) * real_div_f(g(u, gfs_c) * off_square, half_pi);
    }
    return forward ? I : -I;
  }

  static ac_value ac_exec_subprg__0(ac_value a, ac_value b, ac_value c, ac_value, ac_value e,
                                    ac_value f, ac_value gv, instance_record* u) {
    const bool forward = (p_unit ? ac_le(a, b) : ac_ge(a, b)) != 0;
    const ac_value control = forward ? a : b;
    const ac_value shift = forward ? c : f;
    const ac_value v = forward ? e : gv;
    const double divisor = g(u, forward ? forward_divisor : reverse_divisor);
    const double th = g(u, vgs_th_c), gfs = g(u, gfs_c);
    const ac_value t = p_unit ? ac_abs(real_ac_add(th, real_ac_mul(0.2, real_ac_sub(20.0, shift))))
                              : ac_abs(real_ac_add(th, real_ac_mul(0.35, shift)));
    const bool on = (p_unit ? ac_lt(control, ac_real_sub(ac_minus(t), turn_on_margin))
                            : ac_gt(control, ac_real_add(t, turn_on_margin))) != 0;
    const double linear = g(u, linear_gain) * ten_pi;
    ac_value I;
    if (on) {
      const ac_value overdrive = p_unit ? ac_add(control, t) : ac_sub(control, t);
      const ac_value S = real_ac_mul(gfs, ac_int_pow(overdrive, 2));
      const ac_value scale = ac_real_div(S, half_pi);
      I = ac_mul(scale, ac_atan(ac_div(real_ac_mul(linear, v), real_ac_mul(divisor, S))));
    } else {
      const double scale = real_div_f(gfs * off_square, half_pi);
      I = real_ac_mul(scale,
                      ac_atan(ac_real_div(real_ac_mul(linear, v), divisor * gfs * off_square)));
    }
    return forward ? I : ac_minus(I);
  }

  static double residual(instance_record* u, std::int32_t) {
    return q(u, 1) -
           exec_subprg__0(q(u, 2), q(u, 4), q(u, 7), q(u, 1), q(u, 0), q(u, 8), q(u, 6), u);
  }
  static ac_value ac_residual(instance_record* u, std::int32_t) {
    return ac_sub(qc(u, 1), ac_exec_subprg__0(qc(u, 2), qc(u, 4), qc(u, 7), qc(u, 1), qc(u, 0),
                                              qc(u, 8), qc(u, 6), u));
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
