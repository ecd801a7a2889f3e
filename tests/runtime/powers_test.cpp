// Powers and their silent twins, roots, the exponential and the logarithms.
#include <cmath>
#include <cstdint>

#include "runtime/ac_functions.h"
#include "tests/runtime/support.h"

namespace {

using namespace rt;

constexpr double kPi = 3.141592653589793;
constexpr double kSqrt3 = 1.7320508075688772;
constexpr double kLn2 = 0.6931471805599453;
constexpr double kExp40 = 0x1.a220d397970b8p+57;  // 2.35385266837002e17, not exp(40)

class Powers : public RuntimeTest {};

TEST_F(Powers, RealPowersReportZeroAndNegativeBases) {
  struct RealCase {
    const char* what;
    Outcome<double> got;
    double want;
    Texts reports;
  };
  const RealCase cases[] = {
      {"negative to a fraction", call(real_pow, -8, 1.0 / 3), kNaN, {kNegativeToNonInteger}},
      {"negative to an integer", call(real_pow, -2, 3), -8, {}},
      {"negative to NaN", call(real_pow, -2, kNaN), kNaN, {kNegativeToNonInteger}},
      {"negative to infinity", call(real_pow, -2, kInf), kInf, {}},
      {"zero to zero", call(real_pow, 0, 0), 1, {kZeroToNonPositive}},
      {"zero to a positive", call(real_pow, 0, 2), 0, {}},
      {"zero to a negative", call(real_pow, 0, -1), kInf, {kZeroToNonPositive}},
      {"-0 to a negative odd", call(real_pow, -0.0, -1), -kInf, {kZeroToNonPositive}},
      {"zero to NaN", call(real_pow, 0, kNaN), kNaN, {}},
      {"positive", call(real_pow, 4, 0.5), 2, {}},
      {"integer zero to a negative", call(int_real_pow, 0, -1), kInf, {kZeroToNonPositive}},
      {"integer negative to a fraction",
       call(int_real_pow, -2, 0.5),
       kNaN,
       {kNegativeToNonInteger}},
      {"integer negative to an integer", call(int_real_pow, -3, 3), -27, {}},
      {"large integer", call(int_real_pow, std::int64_t{1} << 60, 0.5), 0x1.0p30, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(Same(c.got.value, c.want));
    EXPECT_EQ(c.got.reports, c.reports);
  }
}

TEST_F(Powers, IntegerExponent) {
  expect_cases({
      {"zero to a positive keeps the zero", call(ac_int_pow, {-0.0, 0}, 3), {-0.0, 0}, {}},
      {"zero to zero", call(ac_int_pow, {0, 0}, 0), {0, 0}, {kZeroToNonPositive}},
      {"zero to a negative", call(ac_int_pow, {0, 0}, -1), {0, 0}, {kZeroToNonPositive}},
      {"i*2 squared", call(ac_int_pow, {0, 2}, 2), {-4, 4.898587196589413e-16}, {}, 1},
      {"(1 + i)^8", call(ac_int_pow, {1, 1}, 8), {16, 0}, {}, 4, 1e-13},
      {"to the power 0", call(ac_int_pow, {3, 4}, 0), {1, 0}, {}},
      {"to a negative power", call(ac_int_pow, {0, 2}, -1), {0, -0.5}, {}, 1, 1e-16},
      {"a large base to the power 1", call(ac_int_pow, {1e200, 0}, 1), {1e200, 0}, {}},
      {"a tiny base to the power -1", call(ac_int_pow, {1e-200, 0}, -1), {1e200, -0.0}, {}, 1},
      {"silent: zero to a negative", call(jac_ac_int_pow, {0, 0}, -1), {0, 0}, {}},
      {"silent: zero kept", call(jac_ac_int_pow, {-0.0, -0.0}, 0), {-0.0, -0.0}, {}},
      {"silent: i*2 squared", call(jac_ac_int_pow, {0, 2}, 2), {-4, 4.898587196589413e-16}, {}, 1},
  });
}

TEST_F(Powers, RealBaseComplexExponent) {
  expect_cases({
      {"0 ** 0", call(real_ac_pow, 0, {0, 0}), {0, 0}, {kNulPowParameters}},
      {"integer 0 ** 0", call(int_ac_pow, 0, {0, 0}), {0, 0}, {kNulPowParameters}},
      {"real exponent", call(real_ac_pow, 2, {3, 0}), {8, 0}, {}},
      {"integer base, real exponent", call(int_ac_pow, 2, {3, 0}), {8, 0}, {}},
      {"0 ** -1 through real_pow", call(real_ac_pow, 0, {-1, 0}), {kInf, 0}, {kZeroToNonPositive}},
      {"integer 0 ** -1", call(int_ac_pow, 0, {-1, 0}), {kInf, 0}, {kZeroToNonPositive}},
      {"negative ** fraction",
       call(int_ac_pow, -8, {1.0 / 3, 0}),
       {kNaN, 0},
       {kNegativeToNonInteger}},
      {"negative ** complex", call(real_ac_pow, -2, {3, 1}), {0, 0}, {kNonPositiveBase}},
      {"0 ** imaginary", call(int_ac_pow, 0, {0, 1}), {0, 0}, {kNonPositiveBase}},
      {"real 0 ** imaginary", call(real_ac_pow, 0, {0, 1}), {0, 0}, {kNonPositiveBase}},
      {"2 ** i", call(int_ac_pow, 2, {0, 1}), {0.7692389013639721, 0.6389612763136348}, {}, 2},
      {"e ** (i pi)", call(real_ac_pow, std::exp(1.0), {0, kPi}), {-1, 0}, {}, 2, 1e-15},
      {"silent: integer 0", call(jac_int_ac_pow, 0, {0, 1}), {0, 0}, {}},
      {"silent: real exponent in polar form", call(jac_int_ac_pow, 2, {3, 0}), {8, 0}, {}},
      {"silent: negative integer base", call(jac_int_ac_pow, -2, {3, 0}), {kNaN, kNaN}, {}},
      {"silent: real 0", call(jac_real_ac_pow, 0, {0, 0}), {0, 0}, {}},
      {"silent: negative base", call(jac_real_ac_pow, -2, {3, 1}), {kNaN, kNaN}, {}},
      {"silent: 2 ** i",
       call(jac_real_ac_pow, 2, {0, 1}),
       {0.7692389013639721, 0.6389612763136348},
       {},
       2},
  });
}

TEST_F(Powers, ComplexBase) {
  constexpr double kIToI = 0.20787957635076193;  // e^(-pi/2)
  expect_cases({
      {"0 ** 2 reports the logarithm", call(ac_real_pow, {0, 0}, 2), {0, 0}, {kNulLogParameter}},
      {"0 ** 0 reports twice, in order",
       call(ac_real_pow, {0, 0}, 0),
       {kNaN, kNaN},
       {kNulPowParameters, kNulLogParameter}},
      {"x ** 0", call(ac_real_pow, {2, 0}, 0), {1, 0}, {}},
      {"principal cube root of -8", call(ac_real_pow, {-8, 0}, 1.0 / 3), {1, kSqrt3}, {}, 4},
      {"silent: 0 ** 0", call(jac_ac_real_pow, {0, 0}, 0), {0, 0}, {}},
      {"silent: 0 ** 2", call(jac_ac_real_pow, {0, 0}, 2), {0, 0}, {}},
      {"silent: cube root of -8", call(jac_ac_real_pow, {-8, 0}, 1.0 / 3), {1, kSqrt3}, {}, 4},
      {"0 ** -1 is zero", call(ac_pow, {0, 0}, {-1, 0}), {0, 0}, {}},
      {"0 ** 0", call(ac_pow, {0, 0}, {0, 0}), {0, 0}, {kNulPowParameters}},
      {"x ** 0", call(ac_pow, {2, 0}, {0, 0}), {1, 0}, {}},
      {"i ** i", call(ac_pow, {0, 1}, {0, 1}), {kIToI, 0}, {}, 2, 1e-17},
      {"silent: 0 ** 0", call(jac_ac_pow, {0, 0}, {0, 0}), {0, 0}, {}},
      {"silent: x ** 0", call(jac_ac_pow, {2, 0}, {0, 0}), {1, 0}, {}},
      {"silent: i ** i", call(jac_ac_pow, {0, 1}, {0, 1}), {kIToI, 0}, {}, 2, 1e-17},
  });
}

TEST_F(Powers, PrincipalRoots) {
  expect_cases({
      {"sqrt of -4", call(ac_sqrt, {-4, 0}), {0, 2}, {}, 1, 1e-15},
      {"sqrt of -4 below the cut", call(ac_sqrt, {-4, -0.0}), {0, -2}, {}, 1, 1e-15},
      {"sqrt of 3 + 4i", call(ac_sqrt, {3, 4}), {2, 1}, {}, 2},
      {"sqrt of zero", call(ac_sqrt, {-0.0, -0.0}), {0, 0}, {}},
      {"sqrt of a tiny value", call(ac_sqrt, {1e-300, 0}), {1e-150, 0}, {}, 1},
      {"sqrt of a large value", call(ac_sqrt, {0, 2e300}), {1e150, 1e150}, {}, 2},
      {"cbrt of -8", call(ac_cbrt, {-8, 0}), {1, kSqrt3}, {}, 2},
      {"cbrt of 8i", call(ac_cbrt, {0, 8}), {kSqrt3, 1}, {}, 2},
      {"cbrt of 27", call(ac_cbrt, {27, 0}), {3, 0}, {}, 1},
      {"cbrt of zero", call(ac_cbrt, {0, -0.0}), {0, 0}, {}},
  });
}

TEST_F(Powers, ExponentialGoesOnLinearlyAbove40) {
  struct RealCase {
    double r;
    double want;
  };
  const RealCase cases[] = {
      {40, std::exp(40.0)},
      {0x1.4000000000001p+5, 0x1.a220d397970ecp+57},  // just above 40: from K, below exp(40)
      {40.5, 0x1.39989eb1b148ap+58},
      {41, 2 * kExp40},
      {50, 0x1.1f76917837d7ep+61},
      {100, 61 * kExp40},
      {1e300, kInf},
      {-kInf, 0},
      {kNaN, kNaN},
      {1, std::exp(1.0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(hex(c.r));
    EXPECT_TRUE(Same(math_real_exp(c.r), c.want));
  }
  EXPECT_LT(math_real_exp(0x1.4000000000001p+5), math_real_exp(40));
  expect_cases({
      {"exp of 100 is finite", call(ac_exp, {100, 0}), {61 * kExp40, 0}, {}},
      {"exp of 1", call(ac_exp, {1, 0}), {std::exp(1.0), 0}, {}},
      {"exp of i pi", call(ac_exp, {0, kPi}), {-1, 0}, {}, 1, 1e-15},
      {"exp of 2 + i", call(ac_exp, {2, 1}), {3.992324048441272, 6.217676312367968}, {}, 2},
  });
}

TEST_F(Powers, LogarithmsReportAZeroOperand) {
  expect_cases({
      {"log of zero", call(ac_log_n, {0, 0}), {-kInf, 0}, {kNulLogParameter}},
      {"log of -1", call(ac_log_n, {-1, 0}), {0, kPi}, {}},
      {"log of -1 below the cut", call(ac_log_n, {-1, -0.0}), {0, -kPi}, {}},
      {"log of 2i", call(ac_log_n, {0, 2}), {kLn2, kPi / 2}, {}, 1},
      {"log of a tiny value", call(ac_log_n, {1e-200, 0}), {-460.51701859880916, 0}, {}, 2},
      {"log of NaN", call(ac_log_n, {kNaN, 0}), {kNaN, kNaN}, {}},
      {"log2 of 8", call(ac_log_base, {8, 0}, 2), {3, 0}, {}, 2},
      {"log10 of -100", call(ac_log_base, {-100, 0}, 10), {2, 1.3643763538418412}, {}, 2},
      {"base 0", call(ac_log_base, {8, 0}, 0), {-0.0, -0.0}, {kNulLogParameter}},
      {"zero operand", call(ac_log_base, {0, 0}, 10), {-kInf, 0}, {kNulLogParameter}},
      {"both zero report once", call(ac_log_base, {0, 0}, 0), {kNaN, -0.0}, {kNulLogParameter}},
      {"base 1 gives an infinite real part", call(ac_log_base, {8, 0}, 1), {kInf, kNaN}, {}},
  });
}

}  // namespace
