#include "runtime/ac_functions.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "frame/host_services.h"

// Built with -ffp-contract=off: every operation rounds to double on its own, so the arithmetic
// gives the same bits in every build. Intermediates that the formulas keep in a named local are
// rounded to double before further use.

namespace {

// The runtime's report texts.
constexpr const char* kDivideByZero = "Divide by 0 error";
constexpr const char* kModByZero = "MOD(X, 0.0) is undefined";
constexpr const char* kZeroToNonPositive = "X = 0.0 and Y <= 0.0 in function X**Y";
constexpr const char* kNegativeToNonInteger = "X < 0.0 and Y non integer in function X**Y";
constexpr const char* kNulPowParameters = "Nul parameters in function X**Y";
constexpr const char* kNonPositiveBase = "X <= 0.0 in function X**Y";
constexpr const char* kNulLogParameter = "Nul parameter in function LOG()";

void report(const char* text) {
  ac_gcc_error_message(0, text);
}

constexpr ac_value kZero = {0.0, 0.0};
constexpr ac_value kI = {0.0, 1.0};
constexpr ac_value kMinusI = {0.0, -1.0};

// Both parts zero; a NaN part is not zero.
bool is_zero(ac_value x) {
  return x.re == 0 && x.im == 0;
}

// ---------------------------------------------------------------------------------------------
// Physical values: floor(p op r) of the exact integer p, the exact result rounded once to double.

constexpr std::int64_t kExactInDouble = std::int64_t{1} << 53;
constexpr double kTwoTo63 = 9223372036854775808.0;

// floor(v) as a 64-bit integer; infinite, NaN and out-of-range values give -2^63.
std::int64_t floor_to_int64(double v) {
  const double f = std::floor(v);
  if (f >= -kTwoTo63 && f < kTwoTo63) return static_cast<std::int64_t>(f);
  return std::numeric_limits<std::int64_t>::min();
}

// Rounds +-(n * 2^e) to the nearest double, ties to even. `sticky` says that nonzero bits lie
// below the last bit of n; callers set it only when n has more than 54 significant bits.
double round_to_double(bool negative, std::uint64_t n, bool sticky, int e) {
  const int bits = 64 - std::countl_zero(n);
  int drop = bits - 53;                    // bits beyond double precision
  if (drop < -1074 - e) drop = -1074 - e;  // bits below the smallest subnormal
  std::uint64_t kept = n;
  if (drop > 64) {
    kept = 0;  // far below half the smallest subnormal
  } else if (drop > 0) {
    kept = drop == 64 ? 0 : n >> drop;
    const std::uint64_t rest = drop == 64 ? n : n & ((std::uint64_t{1} << drop) - 1);
    const std::uint64_t half = std::uint64_t{1} << (drop - 1);
    if (rest > half || (rest == half && (sticky || (kept & 1) != 0))) ++kept;
  } else {
    drop = 0;
  }
  const double magnitude = std::ldexp(static_cast<double>(kept), e + drop);
  return negative ? -magnitude : magnitude;
}

// r (finite, nonzero) as m * 2^e with 2^52 <= m < 2^53.
std::uint64_t significand(double r, int* e) {
  const double f = std::frexp(std::fabs(r), e);
  *e -= 53;
  return static_cast<std::uint64_t>(std::ldexp(f, 53));
}

std::uint64_t magnitude(std::int64_t p) {
  return p < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(p) : static_cast<std::uint64_t>(p);
}

// p * r rounded once to double, for any p and a finite nonzero r.
double exact_product(std::int64_t p, double r) {
  int e = 0;
  const std::uint64_t u = magnitude(p);
  const std::uint64_t v = significand(r, &e);
  // 128-bit product hi:lo of u (< 2^64) and v (< 2^53) from 32-bit halves.
  constexpr std::uint64_t kLow32 = 0xffffffffu;
  const std::uint64_t p00 = (u & kLow32) * (v & kLow32);
  const std::uint64_t p01 = (u & kLow32) * (v >> 32);
  const std::uint64_t p10 = (u >> 32) * (v & kLow32);
  const std::uint64_t p11 = (u >> 32) * (v >> 32);
  const std::uint64_t mid = (p00 >> 32) + (p01 & kLow32) + (p10 & kLow32);
  const std::uint64_t lo = (p00 & kLow32) | (mid << 32);
  const std::uint64_t hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
  // Reduce to 64 bits and a sticky bit; hi < 2^52, so the shift stays below 64.
  std::uint64_t n = lo;
  bool sticky = false;
  if (hi != 0) {
    const int shift = 64 - std::countl_zero(hi);
    n = (hi << (64 - shift)) | (lo >> shift);
    sticky = (lo & ((std::uint64_t{1} << shift) - 1)) != 0;
    e += shift;
  }
  return round_to_double((p < 0) != (r < 0), n, sticky, e);
}

// p / r rounded once to double, for a nonzero p and a finite nonzero r.
double exact_quotient(std::int64_t p, double r) {
  int e = 0;
  const std::uint64_t v = significand(r, &e);
  const int lz = std::countl_zero(magnitude(p));
  const std::uint64_t u = magnitude(p) << lz;  // top bit set
  // q = floor(u * 2^52 / v) bit by bit; 2^62 <= q < 2^64.
  std::uint64_t q = 0;
  std::uint64_t rest = 0;
  for (int i = 63; i >= -52; --i) {
    rest = (rest << 1) | (i >= 0 ? (u >> i) & 1 : 0);
    q <<= 1;
    if (rest >= v) {
      rest -= v;
      q |= 1;
    }
  }
  return round_to_double((p < 0) != (r < 0), q, rest != 0, -lz - 52 - e);
}

bool exact_in_double(std::int64_t p) {
  return p >= -kExactInDouble && p <= kExactInDouble;
}

// ---------------------------------------------------------------------------------------------
// Scaled division and modulus.
//
// A divisor with a part above 1e150 in magnitude is divided through by that part (the real part
// first), so that no square overflows. Where that ratio times the other part would still
// overflow, the larger part is taken instead; a divisor whose parts are both below 1e-150 is
// divided through by its larger part, so that its squares do not underflow.

constexpr double kScaleAbove = 1e150;
constexpr double kScaleBelow = 1e-150;

enum class Pivot { none, re, im };

Pivot pivot_of(ac_value b) {
  const double re = std::fabs(b.re);
  const double im = std::fabs(b.im);
  if (re > kScaleAbove) return im > re && std::isinf(im / re * im) ? Pivot::im : Pivot::re;
  if (im > kScaleAbove) return Pivot::im;
  if (re < kScaleBelow && im < kScaleBelow && !is_zero(b)) return re >= im ? Pivot::re : Pivot::im;
  return Pivot::none;
}

}  // namespace

extern "C" {

// ---------------------------------------------------------------------------------------------
// Sign and conversion.

// clang-format off
ac_value ac_plus(ac_value x)      { return x; }
ac_value ac_minus(ac_value x)     { return {-x.re, -x.im}; }
ac_value ac_abs(ac_value x)       { return {std::fabs(x.re), 0.0}; }
ac_value real2complex(double r)   { return {r, 0.0}; }
// clang-format on

// ---------------------------------------------------------------------------------------------
// Physical values scaled by a real.

std::int64_t phys_ac_mul(std::int64_t p, double r) {
  if (exact_in_double(p) || r == 0 || !std::isfinite(r)) {
    return floor_to_int64(static_cast<double>(p) * r);
  }
  return floor_to_int64(exact_product(p, r));
}

std::int64_t phys_ac_div(std::int64_t p, double r) {
  if (r == 0) report(kDivideByZero);
  if (exact_in_double(p) || r == 0 || !std::isfinite(r)) {
    return floor_to_int64(static_cast<double>(p) / r);
  }
  return floor_to_int64(exact_quotient(p, r));
}

// ---------------------------------------------------------------------------------------------
// The four operations. Division by zero gives the IEEE results.

// clang-format off
ac_value ac_add(ac_value a, ac_value b)      { return {a.re + b.re, a.im + b.im}; }
ac_value real_ac_add(double r, ac_value b)   { return {b.re + r, b.im}; }
ac_value ac_real_add(ac_value a, double r)   { return {a.re + r, a.im}; }

ac_value ac_sub(ac_value a, ac_value b)      { return {a.re - b.re, a.im - b.im}; }
ac_value real_ac_sub(double r, ac_value b)   { return {r - b.re, -b.im}; }
ac_value ac_real_sub(ac_value a, double r)   { return {a.re - r, a.im}; }

ac_value ac_mul(ac_value a, ac_value b)      { return {a.re * b.re - a.im * b.im,
                                                       a.re * b.im + a.im * b.re}; }
ac_value real_ac_mul(double r, ac_value b)   { return {b.re * r, b.im * r}; }
ac_value ac_real_mul(ac_value a, double r)   { return {a.re * r, a.im * r}; }
// clang-format on

ac_value ac_div(ac_value a, ac_value b) {
  switch (pivot_of(b)) {
    case Pivot::re: {
      const double t = b.im / b.re;
      const double den = b.im * t + b.re;
      return {(a.im * t + a.re) / den, (a.im - a.re * t) / den};
    }
    case Pivot::im: {
      const double t = b.re / b.im;
      const double den = b.re * t + b.im;
      return {(a.re * t + a.im) / den, (a.im * t - a.re) / den};
    }
    case Pivot::none:
      break;
  }
  const double d = b.re * b.re + b.im * b.im;
  return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

ac_value real_ac_div(double r, ac_value b) {
  if (pivot_of(b) != Pivot::none) return ac_div({r, 0.0}, b);
  const double d = b.re * b.re + b.im * b.im;
  return {b.re * r / d, -r * b.im / d};
}

ac_value ac_real_div(ac_value a, double r) {
  return {a.re / r, a.im / r};
}

// ---------------------------------------------------------------------------------------------
// Modulus, scaled like the divisor of ac_div.

double ac_module(ac_value x) {
  switch (pivot_of(x)) {
    case Pivot::re: {
      const double t = x.im / x.re;
      return std::fabs(x.re) * std::sqrt(t * t + 1);
    }
    case Pivot::im: {
      const double t = x.re / x.im;
      return std::fabs(x.im) * std::sqrt(t * t + 1);
    }
    case Pivot::none:
      break;
  }
  const double squares = x.re * x.re + x.im * x.im;
  return std::sqrt(squares);
}

// ---------------------------------------------------------------------------------------------
// Comparisons: IEEE 754, so every ordering with a NaN is 0 and neq is the negation of eq.

// clang-format off
int ac_eq(ac_value a, ac_value b)        { return a.re == b.re && a.im == b.im; }
int ac_neq(ac_value a, ac_value b)       { return a.re != b.re || a.im != b.im; }
int ac_lt(ac_value a, ac_value b)        { return a.re < b.re; }
int ac_le(ac_value a, ac_value b)        { return a.re <= b.re; }
int ac_gt(ac_value a, ac_value b)        { return a.re > b.re; }
int ac_ge(ac_value a, ac_value b)        { return a.re >= b.re; }

int real_ac_eq(double r, ac_value b)     { return b.re == r && b.im == 0; }
int real_ac_neq(double r, ac_value b)    { return b.re != r || b.im != 0; }
int real_ac_lt(double r, ac_value b)     { return r < b.re; }
int real_ac_le(double r, ac_value b)     { return r <= b.re; }
int real_ac_gt(double r, ac_value b)     { return r > b.re; }
int real_ac_ge(double r, ac_value b)     { return r >= b.re; }

int ac_real_eq(ac_value a, double r)     { return a.re == r && a.im == 0; }
int ac_real_neq(ac_value a, double r)    { return a.re != r || a.im != 0; }
int ac_real_lt(ac_value a, double r)     { return a.re < r; }
int ac_real_le(ac_value a, double r)     { return a.re <= r; }
int ac_real_gt(ac_value a, double r)     { return a.re > r; }
int ac_real_ge(ac_value a, double r)     { return a.re >= r; }
// clang-format on

// ---------------------------------------------------------------------------------------------
// Sign and rounding of the real part.

ac_value ac_sign(ac_value x) {
  if (x.re > 0) return {1.0, 0.0};
  if (x.re == 0) return {0.0, 0.0};
  return {-1.0, 0.0};  // also NaN
}

ac_value ac_ceil(ac_value x) {
  return {std::ceil(x.re), 0.0};
}
ac_value ac_floor(ac_value x) {
  return {std::floor(x.re), 0.0};
}

// Halves round away from zero; a zero gives -0, as ceil(0 - 0.5) does. Rounded exactly: the
// sums x + 0.5 and x - 0.5 would round up 0.49999999999999994 and odd integers above 2^52.
ac_value ac_round(ac_value x) {
  return {x.re == 0 ? -0.0 : std::round(x.re), 0.0};
}

ac_value ac_trunc(ac_value x) {
  if (x.re == 0) return {0.0, 0.0};
  return {x.re > 0 ? std::floor(x.re) : std::ceil(x.re), 0.0};
}

// ---------------------------------------------------------------------------------------------
// Modulo: x - y * floor(x / y), with the sign of y. fmod gives the exact remainder with the
// sign of x; one y more moves it over to the sign of y, rounded once. (Taking the multiple from
// the rounded quotient |x| / |y| would pick the wrong one next to an integer, as for 1 mod 0.1,
// and any one above 2^53.) An exact zero is +0 unless x is -0; an infinite y gives NaN.

double real_mod(double x, double y) {
  if (y == 0) report(kModByZero);  // fmod then gives NaN
  if (std::isinf(y)) return std::numeric_limits<double>::quiet_NaN();
  double r = std::fmod(x, y);
  if (r == 0) return x == 0 ? x : 0.0;
  if ((r < 0) != (y < 0)) r += y;
  return r;
}

ac_value ac_mod(ac_value a, ac_value b) {
  return {real_mod(a.re, b.re), 0.0};
}

// ---------------------------------------------------------------------------------------------
// Minimum and maximum of the real parts; a tie or a NaN gives the second operand.

// clang-format off
ac_value ac_fmin(ac_value a, ac_value b)      { return {b.re > a.re ? a.re : b.re, 0.0}; }
ac_value real_ac_fmin(double r, ac_value b)   { return {b.re > r ? r : b.re, 0.0}; }
ac_value ac_real_fmin(ac_value a, double r)   { return {r > a.re ? a.re : r, 0.0}; }
ac_value ac_fmax(ac_value a, ac_value b)      { return {a.re > b.re ? a.re : b.re, 0.0}; }
ac_value real_ac_fmax(double r, ac_value b)   { return {r > b.re ? r : b.re, 0.0}; }
ac_value ac_real_fmax(ac_value a, double r)   { return {a.re > r ? a.re : r, 0.0}; }
// clang-format on

}  // extern "C"

// ---------------------------------------------------------------------------------------------
// Powers.

namespace {

// The reports of x**y for real operands; the result is pow(x, y) in any case.
void check_real_pow(double x, double y) {
  double whole = 0;
  if (x == 0 && y <= 0) {
    report(kZeroToNonPositive);
  } else if (x < 0 && !(std::modf(y, &whole) == 0)) {
    report(kNegativeToNonInteger);
  }
}

// x**n = |x|**n at angle n * arg(x). The modulus is that of ac_module, so that a large or tiny x
// to the power 1 or -1 stays finite.
ac_value de_moivre(ac_value x, std::int64_t n) {
  const double m = std::pow(ac_module(x), static_cast<double>(n));
  const double t = std::atan2(x.im, x.re) * static_cast<double>(n);
  return {std::cos(t) * m, std::sin(t) * m};
}

// x**y for x > 0 in polar form: x**y.re at angle y.im * log(x).
ac_value real_polar_pow(double x, ac_value y) {
  const double l = std::log(x);
  const double m = std::pow(x, y.re);
  const double t = y.im * l;
  return {std::cos(t) * m, std::sin(t) * m};
}

// x**y for a real x (an integer base converted to double); a complex exponent needs x > 0.
ac_value real_complex_pow(double x, ac_value y) {
  if (x == 0 && is_zero(y)) {
    report(kNulPowParameters);
    return kZero;
  }
  if (y.im == 0) return {real_pow(x, y.re), 0.0};
  if (x <= 0) {
    report(kNonPositiveBase);
    return kZero;
  }
  return real_polar_pow(x, y);
}

}  // namespace

extern "C" {

double real_pow(double x, double y) {
  check_real_pow(x, y);
  return std::pow(x, y);
}

double int_real_pow(std::int64_t n, double y) {
  return real_pow(static_cast<double>(n), y);
}

ac_value ac_int_pow(ac_value x, std::int64_t n) {
  if (is_zero(x)) {
    if (n > 0) return x;  // keeps the signs of the zero parts
    report(kZeroToNonPositive);
    return kZero;
  }
  return de_moivre(x, n);
}

ac_value int_ac_pow(std::int64_t n, ac_value y) {
  return real_complex_pow(static_cast<double>(n), y);
}

ac_value real_ac_pow(double x, ac_value y) {
  return real_complex_pow(x, y);
}

ac_value ac_real_pow(ac_value x, double y) {
  if (y == 0 && is_zero(x)) report(kNulPowParameters);
  return ac_exp(real_ac_mul(y, ac_log_n(x)));
}

// A zero base gives zero for every exponent but zero, which is reported.
ac_value ac_pow(ac_value x, ac_value y) {
  if (is_zero(x)) {
    if (is_zero(y)) report(kNulPowParameters);
    return kZero;
  }
  if (is_zero(y)) return {1.0, 0.0};
  return ac_exp(ac_mul(y, ac_log_n(x)));
}

// Silent twins: a zero base gives zero, nothing is reported.

ac_value jac_ac_int_pow(ac_value x, std::int64_t n) {
  return is_zero(x) ? x : de_moivre(x, n);
}

ac_value jac_int_ac_pow(std::int64_t n, ac_value y) {
  return n == 0 ? kZero : real_polar_pow(static_cast<double>(n), y);
}

ac_value jac_real_ac_pow(double x, ac_value y) {
  return x == 0 ? kZero : real_polar_pow(x, y);
}

ac_value jac_ac_real_pow(ac_value x, double y) {
  return is_zero(x) ? kZero : ac_exp(real_ac_mul(y, ac_log_n(x)));
}

ac_value jac_ac_pow(ac_value x, ac_value y) {
  if (is_zero(x)) return kZero;
  if (is_zero(y)) return {1.0, 0.0};
  return ac_exp(ac_mul(y, ac_log_n(x)));
}

// ---------------------------------------------------------------------------------------------
// Roots (principal, from the polar form), exponential and logarithms.

ac_value ac_sqrt(ac_value x) {
  if (is_zero(x)) return kZero;
  const double m = std::sqrt(ac_module(x));
  const double t = std::atan2(x.im, x.re) / 2;
  return {std::cos(t) * m, std::sin(t) * m};
}

ac_value ac_cbrt(ac_value x) {
  if (is_zero(x)) return kZero;
  const double m = std::cbrt(ac_module(x));
  const double t = std::atan2(x.im, x.re) / 3;
  return {std::cos(t) * m, std::sin(t) * m};
}

// Above 40 the exponential goes on along its tangent at 40, so that it grows linearly.
double math_real_exp(double r) {
  constexpr double kExp40 = 2.35385266837002e17;
  if (r > 40) return (r - 40) * kExp40 + kExp40;
  return std::exp(r);
}

ac_value ac_exp(ac_value x) {
  const double e = math_real_exp(x.re);
  return {std::cos(x.im) * e, std::sin(x.im) * e};
}

ac_value ac_log_n(ac_value x) {
  if (is_zero(x)) report(kNulLogParameter);
  return {std::log(ac_module(x)), std::atan2(x.im, x.re)};
}

ac_value ac_log_base(ac_value x, double b) {
  if (is_zero(x) || b == 0) report(kNulLogParameter);
  const double k = 1 / std::log(b);
  return {std::log(ac_module(x)) * k, std::atan2(x.im, x.re) * k};
}

// ---------------------------------------------------------------------------------------------
// Hyperbolic sine and cosine with the argument clamped to [-50, 50].

double sinh_limit(double r) {
  if (r > 50) return std::sinh(50.0);
  if (r < -50) return std::sinh(-50.0);
  return std::sinh(r);
}

double cosh_limit(double r) {
  if (r > 50) return std::cosh(50.0);
  if (r < -50) return std::cosh(-50.0);
  return std::cosh(r);
}

// ---------------------------------------------------------------------------------------------
// Trigonometric functions.

ac_value ac_sin(ac_value x) {
  return {std::sin(x.re) * cosh_limit(x.im), std::cos(x.re) * sinh_limit(x.im)};
}

ac_value ac_cos(ac_value x) {
  return {std::cos(x.re) * cosh_limit(x.im), -std::sin(x.re) * sinh_limit(x.im)};
}

// Far above the real axis the quotient is taken in its asymptotic form, (0, 1) up to rounding.
ac_value ac_tan(ac_value x) {
  if (x.im > 40) {
    const double s = std::sin(x.re);
    const double c = std::cos(x.re);
    return ac_div({s, c}, {c, -s});
  }
  return ac_div(ac_sin(x), ac_cos(x));
}

// asin x = -i asinh(i x), acos x = -i acosh(x), atan x = -i atanh(i x)
// clang-format off
ac_value ac_asin(ac_value x) { return ac_mul(kMinusI, ac_ash(ac_mul(kI, x))); }
ac_value ac_acos(ac_value x) { return ac_mul(kMinusI, ac_ach(x)); }
ac_value ac_atan(ac_value x) { return ac_mul(kMinusI, ac_ath(ac_mul(kI, x))); }
// clang-format on

// ---------------------------------------------------------------------------------------------
// Hyperbolic functions.

ac_value ac_sh(ac_value x) {
  return {sinh_limit(x.re) * std::cos(x.im), cosh_limit(x.re) * std::sin(x.im)};
}

// Unclamped: overflows once |x.re| exceeds about 709.78.
ac_value ac_ch(ac_value x) {
  if (x.re == 0) return {std::cos(x.im), 0.0};
  const double e = std::exp(x.re);
  if (x.im == 0) return {(1 / e + e) * 0.5, 0.0};
  const double f = 1 / e;
  return {std::cos(x.im) * 0.5 * (e + f), std::sin(x.im) * 0.5 * (e - f)};
}

ac_value ac_th(ac_value x) {
  if (x.re > 40) return {1.0, 0.0};
  const ac_value e = ac_exp(ac_real_mul(x, 2));
  return ac_div(ac_real_sub(e, 1), ac_real_add(e, 1));
}

// asinh x = log(x + sqrt(x^2 + 1))
ac_value ac_ash(ac_value x) {
  ac_value t = ac_mul(x, x);
  t.re = t.re + 1;
  return ac_log_n(ac_add(x, ac_sqrt(t)));
}

// acosh x = log(x + sqrt(x^2 - 1))
ac_value ac_ach(ac_value x) {
  ac_value t = ac_mul(x, x);
  t.re = t.re - 1;
  return ac_log_n(ac_add(x, ac_sqrt(t)));
}

// atanh x = log((1 + x) / (1 - x)) / 2
ac_value ac_ath(ac_value x) {
  const double num_re = 1 + x.re;
  const double den_re = 1 - x.re;
  const ac_value l = ac_log_n(ac_div({num_re, x.im}, {den_re, -x.im}));
  return {0.5 * l.re, 0.5 * l.im};
}

// ---------------------------------------------------------------------------------------------
// Arctangent of the second operand over the first.

// clang-format off
ac_value ac_atan2(ac_value a, ac_value b)     { return ac_atan(ac_div(b, a)); }
ac_value real_ac_atan2(double r, ac_value b)  { return ac_atan(ac_real_div(b, r)); }
ac_value ac_real_atan2(ac_value a, double r)  { return ac_atan(real_ac_div(r, a)); }
// clang-format on

// ---------------------------------------------------------------------------------------------
// Transfer-function value from the host; a part the host does not write keeps its value.

ac_value sim_ztf_get_ac_tavo_numden(std::int32_t handle, ac_value z) {
  get_fnz_ac_deriv(handle, &z.re, &z.im);
  return z;
}

}  // extern "C"
