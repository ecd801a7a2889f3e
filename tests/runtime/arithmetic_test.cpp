// Sign, conversion, the four operations, modulus, comparisons, rounding, modulo, min and max,
// and physical values scaled by a real.
#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/ac_functions.h"
#include "tests/runtime/support.h"

namespace {

using namespace rt;

// A call and the value it must give, bit for bit.
struct ValueCase {
  const char* what;
  Outcome<ac_value> got;
  ac_value want;
};

void expect_values(const std::vector<ValueCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(Same(c.got.value, c.want));
    EXPECT_EQ(c.got.reports, Texts{});
  }
}

class Arithmetic : public RuntimeTest {};

TEST_F(Arithmetic, SignAndConversionKeepSignedZeros) {
  expect_values({
      {"plus", call(ac_plus, {-0.0, kNaN}), {-0.0, kNaN}},
      {"minus", call(ac_minus, {0.0, -2.5}), {-0.0, 2.5}},
      {"abs takes the real part only", call(ac_abs, {-3, 4}), {3, 0}},
      {"abs of -0", call(ac_abs, {-0.0, -7}), {0.0, 0}},
      {"real2complex", call(real2complex, -0.0), {-0.0, 0.0}},
  });
}

TEST_F(Arithmetic, OperationsInEveryOperandMix) {
  expect_values({
      {"add", call(ac_add, {1, 2}, {3, -4}), {4, -2}},
      {"add of negative zeros", call(ac_add, {-0.0, -0.0}, {-0.0, -0.0}), {-0.0, -0.0}},
      {"real + complex keeps the imaginary part", call(real_ac_add, 1, {2, -0.0}), {3, -0.0}},
      {"complex + real", call(ac_real_add, {2, -0.0}, -5), {-3, -0.0}},
      {"sub", call(ac_sub, {5, 7}, {2, 9}), {3, -2}},
      {"real - complex negates the imaginary part", call(real_ac_sub, 1, {2, 0}), {-1, -0.0}},
      {"complex - real", call(ac_real_sub, {2, -0.0}, 3), {-1, -0.0}},
      {"mul", call(ac_mul, {1, 2}, {3, 4}), {-5, 10}},
      {"mul by i", call(ac_mul, {0, 1}, {1, 0}), {0, 1}},
      {"real * complex", call(real_ac_mul, 2, {3, -0.0}), {6, -0.0}},
      {"complex * real", call(ac_real_mul, {3, 4}, -0.5), {-1.5, -2}},
      {"div", call(ac_div, {3, 4}, {1, 2}), {11.0 / 5, -2.0 / 5}},
      {"div by zero gives NaN parts", call(ac_div, {1, 0}, {0, 0}), {kNaN, kNaN}},
      {"real / complex", call(real_ac_div, 10, {3, 4}), {30.0 / 25, -40.0 / 25}},
      {"real / complex zero", call(real_ac_div, 1, {0, 0}), {kNaN, kNaN}},
      {"complex / real", call(ac_real_div, {3, -0.0}, 2), {1.5, -0.0}},
      {"complex / real zero", call(ac_real_div, {1, -1}, 0), {kInf, -kInf}},
  });
}

// Above 1e150 (strictly) the divisor is divided through by its large part; at 1e150 itself the
// sum of squares is used. The values below tell the two formulas apart.
constexpr double kAt = 1e150;
constexpr double kAbove = 0x1.38d352e5096b0p+498;  // the next double above 1e150

TEST_F(Arithmetic, DivisionScalesLargeAndTinyDivisors) {
  expect_values({
      {"both parts 1e200", call(ac_div, {1, 0}, {1e200, 1e200}), {1 / 2e200, -1 / 2e200}},
      {"re at the threshold: sum of squares",
       call(ac_div, {1, 2}, {kAt, 0x1.1d12b56aba1afp+498}),
       {0x1.430c46186d11ap-498, 0x1.f26bdf7d0c4cep-500}},
      {"re above the threshold: scaled by re",
       call(ac_div, {1, 2}, {kAbove, 0x1.1d12b56aba1afp+498}),
       {0x1.430c46186d11ap-498, 0x1.f26bdf7d0c4d1p-500}},
      {"im at the threshold: sum of squares",
       call(ac_div, {1, 2}, {0x1.710eeda44356dp+496, kAt}),
       {0x1.ba4e95235b736p-498, -0x1.3c2c42b24c43ep-500}},
      {"im above the threshold: scaled by im",
       call(ac_div, {1, 2}, {0x1.710eeda44356dp+496, kAbove}),
       {0x1.ba4e95235b734p-498, -0x1.3c2c42b24c43fp-500}},
      {"im much larger than a large re: scaled by im",
       call(ac_div, {1, 0}, {2e150, 1e300}),
       {0, -1 / 1e300}},
      {"tiny divisor: scaled by re", call(ac_div, {1, 0}, {1e-200, 0}), {1 / 1e-200, 0}},
      {"tiny divisor: scaled by im", call(ac_div, {0, 1}, {0, -1e-200}), {-1 / 1e-200, 0}},
      {"real over a large divisor", call(real_ac_div, 1, {1e200, 0}), {1 / 1e200, 0}},
      {"real over a tiny divisor", call(real_ac_div, 1, {0, 1e-200}), {0, -1 / 1e-200}},
  });
}

TEST_F(Arithmetic, ModulusScalesLikeTheDivisor) {
  struct Case {
    ac_value x;
    double want;
  };
  const Case cases[] = {
      {{3, 4}, 5},
      {{-3, -4}, 5},
      {{-1e200, 0}, 1e200},
      {{3, 1e160}, 1e160},
      // At the threshold the sum of squares (scaling would give ...53f, ...f76); above it the
      // scaled form (the sum of squares would give ...541, ...f78).
      {{kAt, 0x1.9c61b88ca9f73p+496}, 0x1.496037bfec540p+498},
      {{kAbove, 0x1.9c61b88ca9f73p+496}, 0x1.496037bfec540p+498},
      {{0x1.7ec1785683d3bp+496, kAt}, 0x1.47221be7caf77p+498},
      {{0x1.7ec1785683d3bp+496, kAbove}, 0x1.47221be7caf77p+498},
      {{2e150, 1e300}, 1e300},
      {{1e-320, 0}, 1e-320},
      {{0, -3e-200}, 3e-200},
      {{0, 0}, 0},
      {{kNaN, 1}, kNaN},
      {{1, kNaN}, kNaN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(show(c.x));
    EXPECT_TRUE(Same(ac_module(c.x), c.want));
  }
  EXPECT_LE(ulps_between(ac_module({3e-200, 4e-200}), 5e-200), 1u);
}

TEST_F(Arithmetic, ComparisonsFollowIeee) {
  // Results in the order eq, neq, lt, le, gt, ge.
  struct Case {
    ac_value a;
    ac_value b;
    int want[6];
  };
  using Compare = int (*)(ac_value, ac_value);
  using RealFirst = int (*)(double, ac_value);
  using RealSecond = int (*)(ac_value, double);
  const Compare complex[6] = {ac_eq, ac_neq, ac_lt, ac_le, ac_gt, ac_ge};
  const RealFirst real_first[6] = {real_ac_eq, real_ac_neq, real_ac_lt,
                                   real_ac_le, real_ac_gt,  real_ac_ge};
  const RealSecond real_second[6] = {ac_real_eq, ac_real_neq, ac_real_lt,
                                     ac_real_le, ac_real_gt,  ac_real_ge};
  const Case cases[] = {
      {{2, 0}, {2, 0}, {1, 0, 0, 1, 0, 1}},       {{2, 0}, {2, 1e-300}, {0, 1, 0, 1, 0, 1}},
      {{1, 100}, {2, -100}, {0, 1, 1, 1, 0, 0}},  {{3, -1}, {2, 5}, {0, 1, 0, 0, 1, 1}},
      {{-0.0, 0}, {0, -0.0}, {1, 0, 0, 1, 0, 1}}, {{-kInf, 0}, {kInf, 0}, {0, 1, 1, 1, 0, 0}},
      {{kNaN, 0}, {1, 0}, {0, 1, 0, 0, 0, 0}},    {{1, 0}, {kNaN, 0}, {0, 1, 0, 0, 0, 0}},
      {{kNaN, 0}, {kNaN, 0}, {0, 1, 0, 0, 0, 0}}, {{1, kNaN}, {1, kNaN}, {0, 1, 0, 1, 0, 1}},
      {{1, 0}, {1, kNaN}, {0, 1, 0, 1, 0, 1}},
  };
  const char* names[6] = {"eq", "neq", "lt", "le", "gt", "ge"};
  for (const auto& c : cases) {
    for (int op = 0; op < 6; ++op) {
      SCOPED_TRACE(std::string(names[op]) + " " + show(c.a) + " " + show(c.b));
      EXPECT_EQ(complex[op](c.a, c.b), c.want[op]);
      if (c.a.im == 0) {
        EXPECT_EQ(real_first[op](c.a.re, c.b), c.want[op]) << "real_ac_";
      }
      if (c.b.im == 0) {
        EXPECT_EQ(real_second[op](c.a, c.b.re), c.want[op]) << "ac_real_";
      }
    }
  }
}

TEST_F(Arithmetic, SignAndRoundingTakeTheRealPart) {
  constexpr double kBelowHalf = 0.49999999999999994;
  constexpr double kOddAbove52 = 4503599627370497.0;  // 2^52 + 1
  expect_values({
      {"sign of a positive", call(ac_sign, {1e-320, -5}), {1, 0}},
      {"sign of a negative", call(ac_sign, {-2, 1}), {-1, 0}},
      {"sign of -0", call(ac_sign, {-0.0, 3}), {0, 0}},
      {"sign of NaN", call(ac_sign, {kNaN, 0}), {-1, 0}},
      {"ceil", call(ac_ceil, {1.2, 5}), {2, 0}},
      {"ceil to -0", call(ac_ceil, {-0.5, 7}), {-0.0, 0}},
      {"floor", call(ac_floor, {-0.5, 1}), {-1, 0}},
      {"floor of -0", call(ac_floor, {-0.0, 1}), {-0.0, 0}},
      {"round half up", call(ac_round, {2.5, 9}), {3, 0}},
      {"round half down", call(ac_round, {-2.5, 0}), {-3, 0}},
      {"round of 0 is -0", call(ac_round, {0, 0}), {-0.0, 0}},
      {"round of -0", call(ac_round, {-0.0, 0}), {-0.0, 0}},
      {"round to +0", call(ac_round, {0.3, 0}), {0, 0}},
      {"round to -0", call(ac_round, {-0.3, 0}), {-0.0, 0}},
      {"round just below a half", call(ac_round, {kBelowHalf, 0}), {0, 0}},
      {"round just above minus a half", call(ac_round, {-kBelowHalf, 0}), {-0.0, 0}},
      {"round an odd integer above 2^52", call(ac_round, {kOddAbove52, 0}), {kOddAbove52, 0}},
      {"round a negative odd integer above 2^52",
       call(ac_round, {-kOddAbove52, 0}),
       {-kOddAbove52, 0}},
      {"round of NaN", call(ac_round, {kNaN, 0}), {kNaN, 0}},
      {"trunc of a negative", call(ac_trunc, {-2.7, 1}), {-2, 0}},
      {"trunc to -0", call(ac_trunc, {-0.3, 0}), {-0.0, 0}},
      {"trunc of 0", call(ac_trunc, {0, 1}), {0, 0}},
      {"trunc of -0 is +0", call(ac_trunc, {-0.0, 1}), {0, 0}},
      {"trunc of a positive", call(ac_trunc, {2.7, 1}), {2, 0}},
  });
}

TEST_F(Arithmetic, ModuloTakesTheSignOfTheDivisor) {
  struct Case {
    double x;
    double y;
    double want;
    Texts reports;
  };
  const Case cases[] = {
      {7, 3, 1, {}},
      {-7, 3, 2, {}},
      {7, -3, -2, {}},
      {-7, -3, -1, {}},
      {6, -3, 0, {}},
      {-6, 3, 0, {}},
      {-7, -7, 0, {}},
      {-0.0, 3, -0.0, {}},
      {-0.0, -3, -0.0, {}},
      {5.5, 2, 1.5, {}},
      {-5.5, 2, 0.5, {}},
      // The multiple of y is exact, not taken from a rounded quotient.
      {1, 0.1, 0x1.9999999999996p-4, {}},
      {-1, -0.1, -0x1.9999999999996p-4, {}},
      {-1, 0.1, 0x1.0p-54, {}},
      {1e17, 3, 1, {}},
      {1e300, 7, 1, {}},
      {-1e300, 7, 6, {}},
      {1e300, -7, -6, {}},
      {kNaN, 2, kNaN, {}},
      {kInf, 2, kNaN, {}},
      {1, kInf, kNaN, {}},
      {5, 0, kNaN, {kModByZero}},
      {0, -0.0, kNaN, {kModByZero}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(hex(c.x) + " mod " + hex(c.y));
    fake_host::reset();
    EXPECT_TRUE(Same(real_mod(c.x, c.y), c.want));
    EXPECT_EQ(reported(), c.reports);
    fake_host::reset();
    EXPECT_TRUE(Same(ac_mod({c.x, 3}, {c.y, -4}), {c.want, 0}));
    EXPECT_EQ(reported(), c.reports);
  }
}

TEST_F(Arithmetic, MinAndMaxGiveTheSecondOperandOnTiesAndNaN) {
  expect_values({
      {"fmin", call(ac_fmin, {1, 5}, {2, 7}), {1, 0}},
      {"fmin tie", call(ac_fmin, {-0.0, 5}, {0, 7}), {0, 0}},
      {"fmin NaN first", call(ac_fmin, {kNaN, 0}, {2, 0}), {2, 0}},
      {"fmin NaN second", call(ac_fmin, {2, 0}, {kNaN, 0}), {kNaN, 0}},
      {"real fmin", call(real_ac_fmin, 1, {2, 3}), {1, 0}},
      {"real fmin tie", call(real_ac_fmin, 0, {-0.0, 3}), {-0.0, 0}},
      {"real fmin NaN", call(real_ac_fmin, kNaN, {2, 3}), {2, 0}},
      {"fmin real", call(ac_real_fmin, {3, 3}, 2), {2, 0}},
      {"fmin real tie", call(ac_real_fmin, {0, 3}, -0.0), {-0.0, 0}},
      {"fmin real NaN", call(ac_real_fmin, {1, 3}, kNaN), {kNaN, 0}},
      {"fmax", call(ac_fmax, {1, 5}, {2, 7}), {2, 0}},
      {"fmax tie", call(ac_fmax, {0, 5}, {-0.0, 7}), {-0.0, 0}},
      {"fmax NaN first", call(ac_fmax, {kNaN, 0}, {2, 0}), {2, 0}},
      {"fmax NaN second", call(ac_fmax, {2, 0}, {kNaN, 0}), {kNaN, 0}},
      {"real fmax", call(real_ac_fmax, 3, {2, 3}), {3, 0}},
      {"real fmax tie", call(real_ac_fmax, -0.0, {0, 3}), {0, 0}},
      {"fmax real", call(ac_real_fmax, {1, 3}, 2), {2, 0}},
      {"fmax real tie", call(ac_real_fmax, {-0.0, 3}, 0), {0, 0}},
      {"fmax real NaN", call(ac_real_fmax, {1, 3}, kNaN), {kNaN, 0}},
  });
}

TEST_F(Arithmetic, PhysicalValuesFloorTheExactResult) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t k2p53 = std::int64_t{1} << 53;
  struct Case {
    const char* what;
    std::int64_t (*op)(std::int64_t, double);
    std::int64_t p;
    double r;
    std::int64_t want;
    Texts reports;
  };
  const Case cases[] = {
      {"mul", phys_ac_mul, 10, 0.25, 2, {}},
      {"mul floors, not truncates", phys_ac_mul, -10, 0.25, -3, {}},
      {"mul by -0", phys_ac_mul, -5, -0.0, 0, {}},
      {"mul by NaN", phys_ac_mul, 5, rt::kNaN, kMin, {}},
      {"mul by infinity", phys_ac_mul, 5, rt::kInf, kMin, {}},
      {"mul 0 by infinity", phys_ac_mul, 0, rt::kInf, kMin, {}},
      {"mul to -2^63", phys_ac_mul, -(std::int64_t{1} << 62), 2, kMin, {}},
      {"mul to 2^63 is out of range", phys_ac_mul, std::int64_t{1} << 62, 2, kMin, {}},
      {"mul of the largest by 1 rounds to 2^63", phys_ac_mul, kMax, 1, kMin, {}},
      {"mul of the largest by 1/2", phys_ac_mul, kMax, 0.5, std::int64_t{1} << 62, {}},
      {"mul rounds the exact product once", phys_ac_mul, k2p53 + 1, 1 - 0x1.0p-53, k2p53, {}},
      {"mul rounds a negative product once", phys_ac_mul, -(k2p53 + 1), 1 - 0x1.0p-53, -k2p53, {}},
      {"mul of a large value by 0.1", phys_ac_mul, -12345678901234567, 0.1, -1234567890123457, {}},
      {"mul to a tiny negative", phys_ac_mul, -kMax, 1e-300, -1, {}},
      {"mul to a tiny positive", phys_ac_mul, kMax, 1e-300, 0, {}},
      {"div", phys_ac_div, 7, 2, 3, {}},
      {"div floors", phys_ac_div, -7, 2, -4, {}},
      {"div by 0", phys_ac_div, 7, 0, kMin, {kDivideByZero}},
      {"div 0 by -0", phys_ac_div, 0, -0.0, kMin, {kDivideByZero}},
      {"div by infinity", phys_ac_div, -7, rt::kInf, 0, {}},
      {"div of -2^63 by -1 is out of range", phys_ac_div, kMin, -1, kMin, {}},
      {"div of the largest by 1/2", phys_ac_div, kMax, 0.5, kMin, {}},
      {"div rounds the exact quotient once", phys_ac_div, k2p53 + 1, 1 + 0x1.0p-52, k2p53 - 1, {}},
      {"div rounds a negative quotient once",
       phys_ac_div,
       -(k2p53 + 1),
       1 + 0x1.0p-52,
       -(k2p53 - 1),
       {}},
      {"div of a large odd value by 3", phys_ac_div, k2p53 + 1, 3, 3002399751580331, {}},
      {"div of a large value by 10", phys_ac_div, -12345678901234567, 10, -1234567890123457, {}},
      {"div to a tiny negative", phys_ac_div, -kMax, 1e300, -1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fake_host::reset();
    EXPECT_EQ(c.op(c.p, c.r), c.want);
    EXPECT_EQ(reported(), c.reports);
  }
}

}  // namespace
