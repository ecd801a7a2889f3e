// Trigonometric and hyperbolic functions, their inverses, the clamps at 40 and 50, the
// two-operand arctangents and the transfer-function value from the host.
#include <cmath>
#include <cstdint>

#include "runtime/ac_functions.h"
#include "tests/runtime/support.h"

namespace {

using namespace rt;

constexpr double kPi = 3.141592653589793;

class Trigonometry : public RuntimeTest {};

TEST_F(Trigonometry, HyperbolicLimitsClampAt50) {
  struct LimitCase {
    double r;
    double sinh;
    double cosh;
  };
  const LimitCase cases[] = {
      {50, std::sinh(50.0), std::cosh(50.0)},
      {0x1.9000000000001p+5, std::sinh(50.0), std::cosh(50.0)},  // just above 50
      {1e300, std::sinh(50.0), std::cosh(50.0)},
      {kInf, std::sinh(50.0), std::cosh(50.0)},
      {-51, std::sinh(-50.0), std::cosh(-50.0)},
      {-kInf, std::sinh(-50.0), std::cosh(-50.0)},
      {-50, std::sinh(-50.0), std::cosh(-50.0)},
      {1, std::sinh(1.0), std::cosh(1.0)},
      {-0.0, -0.0, 1},
      {kNaN, kNaN, kNaN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(hex(c.r));
    EXPECT_TRUE(Same(sinh_limit(c.r), c.sinh));
    EXPECT_TRUE(Same(cosh_limit(c.r), c.cosh));
  }
}

TEST_F(Trigonometry, SineCosineAndTangent) {
  expect_cases({
      {"sin far above the axis is clamped", call(ac_sin, {0, 100}), {0, std::sinh(50.0)}, {}},
      {"cos far below the axis is clamped", call(ac_cos, {0, -100}), {std::cosh(50.0), 0}, {}},
      {"sin", call(ac_sin, {1, 1}), {1.2984575814159773, 0.6349639147847361}, {}, 2},
      {"cos", call(ac_cos, {1, 1}), {0.8337300251311491, -0.9888977057628651}, {}, 2},
      {"tan of a real", call(ac_tan, {0.5, 0}), {0.5463024898437905, 0}, {}, 2},
      {"tan above 40: asymptotic", call(ac_tan, {0.3, 41}), {0, 1}, {}, 1, 1e-16},
      {"tan at 40: quotient", call(ac_tan, {0.3, 40}), {2.038191503486995e-35, 1}, {}, 2, 1e-30},
      {"tan far below the axis stays finite", call(ac_tan, {0.3, -100}), {0, -1}, {}, 1, 1e-16},
  });
  // The asymptotic form starts strictly above 40.
  for (const double im : {40.0, 0x1.4000000000001p+5}) {
    SCOPED_TRACE(hex(im));
    const ac_value x = {0.3, im};
    const ac_value general = ac_div(ac_sin(x), ac_cos(x));
    const ac_value asymptotic =
        ac_div({std::sin(0.3), std::cos(0.3)}, {std::cos(0.3), -std::sin(0.3)});
    EXPECT_TRUE(Same(ac_tan(x), im > 40 ? asymptotic : general));
  }
}

TEST_F(Trigonometry, HyperbolicFunctions) {
  expect_cases({
      {"sh is clamped",
       call(ac_sh, {800, 1}),
       {std::sinh(50.0) * std::cos(1.0), std::cosh(50.0) * std::sin(1.0)},
       {}},
      {"sh", call(ac_sh, {1, 2}), {-0.4890562590412937, 1.4031192506220405}, {}, 2},
      {"ch is not clamped", call(ac_ch, {800, 1}), {kInf, kInf}, {}},
      {"ch overflows for large negative parts", call(ac_ch, {-800, 0}), {kInf, 0}, {}},
      {"ch on the imaginary axis", call(ac_ch, {0, kPi}), {-1, 0}, {}},
      {"ch on the real axis", call(ac_ch, {1, 0}), {1.5430806348152437, 0}, {}, 1},
      {"ch", call(ac_ch, {1, 1}), {0.8337300251311491, 0.9888977057628651}, {}, 2},
      {"th above 40 is exactly 1", call(ac_th, {41, 7}), {1, 0}, {}},
      {"th of zero", call(ac_th, {0, 0}), {0, 0}, {}},
      {"th at 40", call(ac_th, {40, 0}), {1, 0}, {}, 1},
      {"th far left", call(ac_th, {-50, 0}), {-1, 0}, {}, 1},
      {"th", call(ac_th, {0.5, 1}), {1.0428307283443612, 0.8068774121630852}, {}, 4},
  });
}

TEST_F(Trigonometry, InverseFunctions) {
  expect_cases({
      {"ash", call(ac_ash, {1, 0}), {0.881373587019543, 0}, {}, 2},
      {"ash cancels to zero", call(ac_ash, {-1e10, 0}), {-kInf, 0}, {kNulLogParameter}},
      {"ach", call(ac_ach, {2, 0}), {1.3169578969248166, 0}, {}, 2},
      {"ath", call(ac_ath, {0.5, 0}), {0.5493061443340549, 0}, {}, 2},
      {"ath at -1 has a zero numerator", call(ac_ath, {-1, 0}), {-kInf, 0}, {kNulLogParameter}},
      {"ath at 1 divides by zero", call(ac_ath, {1, 0}), {kNaN, kNaN}, {}},
      {"atan", call(ac_atan, {1, 0}), {kPi / 4, 0}, {}, 1},
      {"atan at i reports", call(ac_atan, {0, 1}), {kNaN, kInf}, {kNulLogParameter}},
      {"asin", call(ac_asin, {0.5, 0}), {0.5235987755982988, 0}, {}, 2, 2e-16},
      {"acos", call(ac_acos, {0.5, 0}), {1.0471975511965976, 0}, {}, 2, 2e-16},
      {"acos beyond 1", call(ac_acos, {2, 0}), {0, -1.3169578969248166}, {}, 2, 1e-16},
  });
}

TEST_F(Trigonometry, ArctangentsTakeTheSecondOverTheFirst) {
  expect_cases({
      {"complex", call(ac_atan2, {2, 0}, {1, 0}), {0.4636476090008061, 0}, {}, 1},
      {"complex, swapped", call(ac_atan2, {1, 0}, {2, 0}), {1.1071487177940904, 0}, {}, 1},
      {"no quadrant correction", call(ac_atan2, {-1, 0}, {-1, 0}), {kPi / 4, 0}, {}, 1},
      {"real first", call(real_ac_atan2, 2, {1, 0}), {0.4636476090008061, 0}, {}, 1},
      {"real second", call(ac_real_atan2, {2, 0}, 1), {0.4636476090008061, 0}, {}, 1},
      {"real second, negative", call(ac_real_atan2, {-1, 0}, -1), {kPi / 4, 0}, {}, 1},
      {"a pole reports through the logarithm",
       call(ac_atan2, {1, 0}, {0, 1}),
       {kNaN, kInf},
       {kNulLogParameter}},
  });
}

TEST_F(Trigonometry, TransferFunctionValueComesFromTheHost) {
  struct ZtfCase {
    const char* what;
    std::optional<double> re;
    std::optional<double> im;
    ac_value want;
  };
  const ZtfCase cases[] = {
      {"both parts written", 1.5, -2.5, {1.5, -2.5}},
      {"only the real part written", -0.0, std::nullopt, {-0.0, 4}},
      {"nothing written", std::nullopt, std::nullopt, {3, 4}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fake_host::reset();
    fake_host::deriv_re = c.re;
    fake_host::deriv_im = c.im;
    EXPECT_TRUE(Same(sim_ztf_get_ac_tavo_numden(-7, {3, 4}), c.want));
    ASSERT_EQ(fake_host::deriv_calls.size(), 1u);
    EXPECT_EQ(fake_host::deriv_calls[0].handle, -7);
    EXPECT_EQ(fake_host::deriv_calls[0].re, 3);
    EXPECT_EQ(fake_host::deriv_calls[0].im, 4);
    EXPECT_EQ(reported(), Texts{});
  }
}

}  // namespace
