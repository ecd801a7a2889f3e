// Small-signal analyses through the whole host: the RC low-pass's magnitude and phase
// through its -3 dB point against the analytic answer and ngspice, with units that load their
// AC entries and with units the host differences; a current source; the soft-limited source
// linearised at its operating point; the corner resistor's capacitance following the corner.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "host/analog/ac_analysis.h"
#include "host/analog/analysis_error.h"
#include "host/kernel.h"
#include "tests/analog/analog_fixture.h"
#include "tests/analog/ngspice.h"

namespace {

using host::analog::ac_analysis;
using host::analog::ac_frequencies;
using host::analog::AcOptions;
using host::analog::AcSweep;
using host::analog::Waveform;
using cplx = std::complex<double>;

constexpr double r = 1e3;
constexpr double c = 1e-6;
constexpr double pi = std::numbers::pi;

cplx low_pass(double f, double rc) {
  return 1.0 / cplx(1.0, 2.0 * pi * f * rc);
}

AcOptions sweep(AcSweep kind, std::int32_t points, double start, double stop) {
  AcOptions options;
  options.sweep = kind;
  options.points = points;
  options.start = start;
  options.stop = stop;
  return options;
}

double worst(const host::analog::AcResult& result, const std::string& node,
             const std::function<cplx(double)>& expected) {
  const auto v = result.voltage(node);
  double deviation = 0.0;
  for (std::size_t k = 0; k < v.size(); ++k) {
    const cplx e = expected(result.frequencies()[k]);
    deviation = std::max(deviation, std::abs(v[k] - e) / std::abs(e));
  }
  return deviation;
}

class AcTest : public test::AnalogTest {};

class RcLowPassTest : public AcTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    AcTest::SetUp();
    circuit().voltage_source("V1", "in", "0", Waveform::dc(0.0).with_ac(1.0));
    if (GetParam()) {
      add("R1", test::conductance(), {"in", "out"}, {{0, 1.0 / r}});
      add("C1", test::difference_capacitor(), {"out", "0"}, {{0, c}});
    } else {
      circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "out"}, {{"R", r}});
      circuit().unit("C1", "LEVEL_0-ZEB_CAP_2P", {"out", "0"}, {{18, c}});
    }
  }
};

TEST_P(RcLowPassTest, MatchesTheAnalyticResponseThroughTheCorner) {
  const auto result = ac_analysis(circuit(), sweep(AcSweep::decade, 10, 1.0, 1e5));
  const double deviation = worst(result, "out", [](double f) { return low_pass(f, r * c); });
  std::printf("RC low-pass AC (%s): worst deviation %.3g\n", GetParam() ? "differenced" : "loaded",
              deviation);
  EXPECT_LT(deviation, 1e-6);

  const double corner = 1.0 / (2.0 * pi * r * c);
  const auto at_corner = ac_analysis(circuit(), sweep(AcSweep::linear, 1, corner, corner));
  const cplx v = at_corner.voltage("out").at(0);
  EXPECT_NEAR(20.0 * std::log10(std::abs(v)), -10.0 * std::log10(2.0), 1e-6);
  EXPECT_NEAR(std::arg(v) * 180.0 / pi, -45.0, 1e-5);
}

TEST_P(RcLowPassTest, AgreesWithNgspice) {
  const auto result = ac_analysis(circuit(), sweep(AcSweep::decade, 10, 1.0, 1e5));
  const auto spice = test::run_ngspice("V1 in 0 DC 0 AC 1\nR1 in out 1k\nC1 out 0 1u",
                                       "ac dec 10 1 1e5", "v(out)");
  if (!spice) GTEST_SKIP() << "ngspice not installed";
  ASSERT_EQ(spice->size(), result.frequencies().size());
  const auto v = result.voltage("out");
  double deviation = 0.0;
  for (std::size_t k = 0; k < v.size(); ++k) {
    EXPECT_NEAR(spice->at(k).at(0), result.frequencies()[k], 1e-9 * result.frequencies()[k]);
    const cplx e(spice->at(k).at(1), spice->at(k).at(2));
    deviation = std::max(deviation, std::abs(v[k] - e) / std::abs(e));
  }
  std::printf("RC low-pass AC: worst deviation from ngspice %.3g\n", deviation);
  EXPECT_LT(deviation, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Units, RcLowPassTest, ::testing::Bool(),
                         [](const auto& entry) { return entry.param ? "Differenced" : "Loaded"; });

TEST_F(AcTest, CurrentSourceIntoParallelRc) {
  circuit().current_source("I1", "0", "out", Waveform::dc(0.0).with_ac(1e-3, 30.0));
  circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"out", "0"}, {{"R", r}});
  circuit().unit("C1", "LEVEL_0-ZEB_CAP_2P", {"out", "0"}, {{18, c}});
  const auto result = ac_analysis(circuit(), sweep(AcSweep::decade, 5, 10.0, 1e4));
  const cplx drive = std::polar(1e-3, 30.0 * pi / 180.0);
  EXPECT_LT(worst(result, "out", [&](double f) { return drive * r * low_pass(f, r * c); }), 1e-9);
}

// The soft-limited source at 0.5 V is a conductance g = 3 Isc / (pi Vsc) / (1 + (3 V / Vsc)^2)
// for the small signal, whatever its large-signal current.
TEST_F(AcTest, SoftLimitedSourceIsLinearisedAtItsOperatingPoint) {
  const double vsc = 1.0;
  const double isc = 1e-3;
  circuit().voltage_source("V1", "p", "0", Waveform::dc(0.5).with_ac(1.0));
  circuit().unit("X1", "DEFAULT-ZEB_ISRC", {"p", "0"}, {{"VSC", vsc}, {"ISC", isc}});
  const auto result = ac_analysis(circuit(), sweep(AcSweep::linear, 2, 1.0, 1e3));
  const double g = 3.0 * isc / (pi * vsc) / (1.0 + std::pow(3.0 * 0.5 / vsc, 2));
  for (cplx current : result.current("V1")) {
    EXPECT_NEAR(current.real(), -g, 1e-12);
    EXPECT_NEAR(current.imag(), 0.0, 1e-15);
  }
}

class CornerResistorTest : public AcTest, public ::testing::WithParamInterface<std::int32_t> {
 protected:
  void TearDown() override {
    host::kernel().settings.corner = 0;
    AcTest::TearDown();
  }
};

// The pin-2 capacitance to ground, chosen by the selected corner, sets the pole with R.
TEST_P(CornerResistorTest, PinCapacitanceFollowsTheCorner) {
  const std::vector<double> c2{1e-9, 2e-9, 4e-9};
  host::kernel().settings.corner = GetParam();
  circuit().voltage_source("V1", "in", "0", Waveform::dc(0.0).with_ac(1.0));
  circuit().unit("R1", "LEVEL_2-ZEB_RES_2P", {"in", "out"},
                 {{"R", r}, {"C1", std::vector<double>{5e-9, 6e-9, 7e-9}}, {"C2", c2}});
  const double corner_frequency = 1.0 / (2.0 * pi * r * 2e-9);
  const auto result = ac_analysis(
      circuit(), sweep(AcSweep::decade, 10, corner_frequency / 100.0, corner_frequency * 100.0));
  const double rc = r * c2[static_cast<std::size_t>(GetParam())];
  const double deviation = worst(result, "out", [&](double f) { return low_pass(f, rc); });
  std::printf("corner resistor, corner %d: worst deviation %.3g\n", GetParam(), deviation);
  EXPECT_LT(deviation, 1e-6);
  EXPECT_TRUE(host::kernel().reports.empty());
}

INSTANTIATE_TEST_SUITE_P(Corners, CornerResistorTest, ::testing::Values(0, 1, 2));

TEST(AcFrequencies, SweepsAndTheirLimits) {
  struct Case {
    AcOptions options;
    std::vector<double> frequencies;
  };
  for (const Case& expected :
       {Case{sweep(AcSweep::decade, 1, 1.0, 1e3), {1.0, 10.0, 100.0, 1000.0}},
        Case{sweep(AcSweep::decade, 2, 1.0, 20.0), {1.0, std::sqrt(10.0), 10.0}},
        Case{sweep(AcSweep::linear, 3, 1.0, 3.0), {1.0, 2.0, 3.0}},
        Case{sweep(AcSweep::linear, 1, 5.0, 5.0), {5.0}}}) {
    const auto frequencies = ac_frequencies(expected.options);
    ASSERT_EQ(frequencies.size(), expected.frequencies.size());
    for (std::size_t k = 0; k < frequencies.size(); ++k) {
      EXPECT_NEAR(frequencies[k], expected.frequencies[k], 1e-12 * expected.frequencies[k]);
    }
  }
  for (const AcOptions& bad :
       {sweep(AcSweep::decade, 0, 1.0, 10.0), sweep(AcSweep::decade, 10, 0.0, 10.0),
        sweep(AcSweep::linear, 10, 10.0, 1.0)}) {
    EXPECT_THROW(ac_frequencies(bad), host::analog::AnalysisError);
  }
}

}  // namespace
