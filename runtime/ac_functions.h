// The complex small-signal runtime: the operators and functions of the units' AC paths.
//
// Names follow the operand types: `ac_` two complex operands (or one), `real_ac_` a double then
// a complex, `ac_real_` a complex then a double, `int_` and `phys_` a 64-bit integer operand,
// `jac_` a silent twin that never reports. Operands come in the order of the model expression.
// Failed operations are reported through ac_gcc_error_message(0, text) and evaluation goes on.
// Functions that return without a result return (0, 0).
#pragma once

#include <cstdint>

#include "frame/ac_value.h"

extern "C" {

// Sign and conversion.
ac_value ac_plus(ac_value x);
ac_value ac_minus(ac_value x);
ac_value ac_abs(ac_value x);  // (|x.re|, 0)
ac_value real2complex(double r);

// Physical values (counts of the base unit) scaled by a real: floor of the exact product or
// quotient rounded to double; infinite, NaN and out-of-range values give -2^63.
std::int64_t phys_ac_mul(std::int64_t p, double r);
std::int64_t phys_ac_div(std::int64_t p, double r);

// The four operations.
ac_value ac_add(ac_value a, ac_value b);
ac_value real_ac_add(double r, ac_value b);
ac_value ac_real_add(ac_value a, double r);
ac_value ac_sub(ac_value a, ac_value b);
ac_value real_ac_sub(double r, ac_value b);
ac_value ac_real_sub(ac_value a, double r);
ac_value ac_mul(ac_value a, ac_value b);
ac_value real_ac_mul(double r, ac_value b);
ac_value ac_real_mul(ac_value a, double r);
ac_value ac_div(ac_value a, ac_value b);
ac_value real_ac_div(double r, ac_value b);
ac_value ac_real_div(ac_value a, double r);

// Modulus (internal to the runtime).
double ac_module(ac_value x);

// Comparisons: equality takes both parts, the orderings the real parts only.
int ac_eq(ac_value a, ac_value b);
int ac_neq(ac_value a, ac_value b);
int ac_lt(ac_value a, ac_value b);
int ac_le(ac_value a, ac_value b);
int ac_gt(ac_value a, ac_value b);
int ac_ge(ac_value a, ac_value b);
int real_ac_eq(double r, ac_value b);
int real_ac_neq(double r, ac_value b);
int real_ac_lt(double r, ac_value b);
int real_ac_le(double r, ac_value b);
int real_ac_gt(double r, ac_value b);
int real_ac_ge(double r, ac_value b);
int ac_real_eq(ac_value a, double r);
int ac_real_neq(ac_value a, double r);
int ac_real_lt(ac_value a, double r);
int ac_real_le(ac_value a, double r);
int ac_real_gt(ac_value a, double r);
int ac_real_ge(ac_value a, double r);

// Sign and rounding of the real part; the imaginary part of the result is 0.
ac_value ac_sign(ac_value x);
ac_value ac_ceil(ac_value x);
ac_value ac_floor(ac_value x);
ac_value ac_round(ac_value x);
ac_value ac_trunc(ac_value x);

// Modulo with the sign of the divisor.
double real_mod(double x, double y);
ac_value ac_mod(ac_value a, ac_value b);

// Minimum and maximum of the real parts; a tie or a NaN gives the second operand.
ac_value ac_fmin(ac_value a, ac_value b);
ac_value real_ac_fmin(double r, ac_value b);
ac_value ac_real_fmin(ac_value a, double r);
ac_value ac_fmax(ac_value a, ac_value b);
ac_value real_ac_fmax(double r, ac_value b);
ac_value ac_real_fmax(ac_value a, double r);

// Powers. Each complex power has a silent twin that reports nothing.
double real_pow(double x, double y);
double int_real_pow(std::int64_t n, double y);
ac_value ac_int_pow(ac_value x, std::int64_t n);
ac_value int_ac_pow(std::int64_t n, ac_value y);
ac_value real_ac_pow(double x, ac_value y);
ac_value ac_real_pow(ac_value x, double y);
ac_value ac_pow(ac_value x, ac_value y);
ac_value jac_ac_int_pow(ac_value x, std::int64_t n);
ac_value jac_int_ac_pow(std::int64_t n, ac_value y);
ac_value jac_real_ac_pow(double x, ac_value y);
ac_value jac_ac_real_pow(ac_value x, double y);
ac_value jac_ac_pow(ac_value x, ac_value y);

// Roots, exponentials and logarithms.
ac_value ac_sqrt(ac_value x);
ac_value ac_cbrt(ac_value x);
double math_real_exp(double r);  // linear above 40
ac_value ac_exp(ac_value x);
ac_value ac_log_n(ac_value x);
ac_value ac_log_base(ac_value x, double b);

// Hyperbolic sine and cosine with the argument clamped to [-50, 50] (internal to the runtime).
double sinh_limit(double r);
double cosh_limit(double r);

// Trigonometric and hyperbolic functions and their inverses.
ac_value ac_sin(ac_value x);
ac_value ac_cos(ac_value x);
ac_value ac_tan(ac_value x);
ac_value ac_asin(ac_value x);
ac_value ac_acos(ac_value x);
ac_value ac_atan(ac_value x);
ac_value ac_sh(ac_value x);
ac_value ac_ch(ac_value x);
ac_value ac_th(ac_value x);
ac_value ac_ash(ac_value x);
ac_value ac_ach(ac_value x);
ac_value ac_ath(ac_value x);

// Arctangent of the second operand over the first, without quadrant correction.
ac_value ac_atan2(ac_value a, ac_value b);
ac_value real_ac_atan2(double r, ac_value b);
ac_value ac_real_atan2(ac_value a, double r);

// A transfer-function value: z as the host's get_fnz_ac_deriv leaves it.
ac_value sim_ztf_get_ac_tavo_numden(std::int32_t handle, ac_value z);

}  // extern "C"
