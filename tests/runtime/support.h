// Comparisons, printing and report checks shared by the runtime tests.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "frame/ac_value.h"
#include "tests/runtime/fake_host.h"

namespace rt {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();

// The report texts as the host must receive them.
inline const std::string kDivideByZero = "Divide by 0 error";
inline const std::string kModByZero = "MOD(X, 0.0) is undefined";
inline const std::string kZeroToNonPositive = "X = 0.0 and Y <= 0.0 in function X**Y";
inline const std::string kNegativeToNonInteger = "X < 0.0 and Y non integer in function X**Y";
inline const std::string kNulPowParameters = "Nul parameters in function X**Y";
inline const std::string kNonPositiveBase = "X <= 0.0 in function X**Y";
inline const std::string kNulLogParameter = "Nul parameter in function LOG()";

using Texts = std::vector<std::string>;

inline std::string hex(double v) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%a", v);
  return buffer;
}

inline std::string show(ac_value v) {
  return "(" + hex(v.re) + ", " + hex(v.im) + ")";
}

// Bit for bit, so that signed zeros count; any NaN matches any NaN.
inline bool same_bits(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Distance in representable doubles; NaNs are infinitely far from numbers.
inline std::uint64_t ulps_between(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) {
    return std::isnan(a) && std::isnan(b) ? 0 : std::numeric_limits<std::uint64_t>::max();
  }
  auto ordered = [](double v) {
    const auto bits = std::bit_cast<std::int64_t>(v);
    return bits < 0 ? std::numeric_limits<std::int64_t>::min() - bits : bits;
  };
  const std::int64_t x = ordered(a);
  const std::int64_t y = ordered(b);
  return x > y ? static_cast<std::uint64_t>(x) - static_cast<std::uint64_t>(y)
               : static_cast<std::uint64_t>(y) - static_cast<std::uint64_t>(x);
}

inline ::testing::AssertionResult Same(double got, double want) {
  if (same_bits(got, want)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << hex(got) << ", want " << hex(want);
}

inline ::testing::AssertionResult Same(ac_value got, ac_value want) {
  if (same_bits(got.re, want.re) && same_bits(got.im, want.im)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "got " << show(got) << ", want " << show(want);
}

// Each part within `ulps` of the wanted one, or within `absolute` of it (for parts that are zero
// only up to rounding, such as cos(pi / 2)).
inline bool near_part(double got, double want, std::uint64_t ulps, double absolute) {
  return ulps_between(got, want) <= ulps || std::fabs(got - want) <= absolute;
}

inline ::testing::AssertionResult Near(ac_value got, ac_value want, std::uint64_t ulps = 4,
                                       double absolute = 0) {
  if (near_part(got.re, want.re, ulps, absolute) && near_part(got.im, want.im, ulps, absolute)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "got " << show(got) << ", want " << show(want) << " within " << ulps << " ulp";
}

// The texts reported since the fixture was set up; every report must be at level 0.
inline Texts reported() {
  Texts texts;
  for (const auto& r : fake_host::reports) {
    EXPECT_EQ(r.level, 0) << r.text;
    texts.push_back(r.text);
  }
  return texts;
}

// What one call gave: its value and the texts it reported, in order.
template <class R>
struct Outcome {
  R value;
  Texts reports;
};

// Calls f with the host's records cleared, so that table rows can be evaluated where they are
// written: call(ac_sqrt, {-4, 0}).
template <class R, class... P>
Outcome<R> call(R (*f)(P...), std::type_identity_t<P>... args) {
  fake_host::reset();
  R value = f(args...);
  return {value, reported()};
}

// Clears the recorded host calls before each test and each table row.
class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override { fake_host::reset(); }
};

// A call, the value it must give and the texts it must report, in order. With ulps == 0 the
// value must match bit for bit; otherwise each part lies within `ulps`, or within `absolute` for
// parts that are zero only up to rounding.
struct Case {
  const char* what;
  Outcome<ac_value> got;
  ac_value want;
  Texts reports;
  std::uint64_t ulps = 0;
  double absolute = 0;
};

inline void expect_cases(const std::vector<Case>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.ulps == 0) {
      EXPECT_TRUE(Same(c.got.value, c.want));
    } else {
      EXPECT_TRUE(Near(c.got.value, c.want, c.ulps, c.absolute));
    }
    EXPECT_EQ(c.got.reports, c.reports);
  }
}

}  // namespace rt
