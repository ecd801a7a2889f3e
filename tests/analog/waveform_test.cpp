// Source waveforms with SPICE's meaning: values, corners and defaults.
#include "host/analog/waveform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using host::analog::Pulse;
using host::analog::Pwl;
using host::analog::Sine;
using host::analog::Waveform;

struct Sample {
  double t;
  double value;
};

struct Case {
  const char* name;
  Waveform waveform;
  std::vector<Sample> samples;
  std::vector<double> corners;  // up to stop = 10
  friend void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }
};

const double pi = std::numbers::pi;

class WaveformTest : public ::testing::TestWithParam<Case> {};

TEST_P(WaveformTest, ValuesAndCorners) {
  const Case& c = GetParam();
  EXPECT_EQ(c.waveform.problem(), "");
  for (const Sample& s : c.samples) EXPECT_NEAR(c.waveform.at(s.t), s.value, 1e-12) << s.t;
  std::vector<double> corners;
  c.waveform.breakpoints(10.0, corners);
  EXPECT_EQ(corners, c.corners);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, WaveformTest,
    ::testing::Values(Case{"Dc", Waveform::dc(2.5), {{0.0, 2.5}, {7.0, 2.5}}, {}},
                      // 1 to 3 after a delay of 1, rising 1, high 2, falling 1, every 6.
                      Case{"Pulse",
                           Waveform::pulse(Pulse{1.0, 3.0, 1.0, 1.0, 1.0, 2.0, 6.0}),
                           {{0.5, 1.0}, {1.5, 2.0}, {3.0, 3.0}, {4.5, 2.0}, {6.0, 1.0}, {7.5, 2.0}},
                           {1.0, 2.0, 4.0, 5.0, 7.0, 8.0, 10.0}},
                      Case{"Sine",
                           Waveform::sine(Sine{0.5, 2.0, 0.25, 1.0, 0.0, 90.0}),
                           {{0.0, 2.5}, {1.0, 2.5}, {2.0, 0.5}, {3.0, -1.5}},
                           {1.0}},
                      Case{"DampedSine",
                           Waveform::sine(Sine{0.0, 1.0, 0.25, 0.0, 0.5, 0.0}),
                           {{1.0, std::exp(-0.5)}, {3.0, -std::exp(-1.5)}},
                           {}},
                      Case{"Pwl",
                           Waveform::pwl(Pwl{{{1.0, 0.0}, {2.0, 4.0}, {4.0, 0.0}}}),
                           {{0.0, 0.0}, {1.5, 2.0}, {3.0, 2.0}, {9.0, 0.0}},
                           {1.0, 2.0, 4.0}}),
    [](const auto& entry) { return std::string(entry.param.name); });

TEST(Waveform, DcValueAndPhasor) {
  EXPECT_EQ(Waveform::pulse(Pulse{0.7, 1.0}).dc_value(), 0.7);  // the value at t = 0
  EXPECT_EQ(Waveform::pulse(Pulse{0.7, 1.0}).with_dc(2.0).dc_value(), 2.0);
  const auto phasor = Waveform::dc(0.0).with_ac(2.0, 90.0).phasor();
  EXPECT_NEAR(phasor.real(), 0.0, 1e-15);
  EXPECT_NEAR(phasor.imag(), 2.0, 1e-15);
  EXPECT_EQ(Waveform::dc(1.0).phasor(), std::complex<double>(0.0, 0.0));
}

// Zero rise and fall times take the step, zero width and period the stop time; a zero sine
// frequency is one period over the stop time.
TEST(Waveform, TransientDefaults) {
  const Waveform pulse = Waveform::pulse(Pulse{0.0, 1.0}).for_transient(0.1, 10.0);
  EXPECT_NEAR(pulse.at(0.05), 0.5, 1e-12);
  EXPECT_EQ(pulse.at(5.0), 1.0);
  std::vector<double> corners;
  pulse.breakpoints(10.0, corners);
  EXPECT_EQ(corners, (std::vector<double>{0.1, 10.0}));
  const Waveform sine = Waveform::sine(Sine{0.0, 1.0}).for_transient(0.1, 8.0);
  EXPECT_NEAR(sine.at(2.0), 1.0, 1e-12);
}

TEST(Waveform, Problems) {
  EXPECT_EQ(Waveform::pwl(Pwl{}).problem(), "PWL without points");
  EXPECT_EQ(Waveform::pwl(Pwl{{{0.0, 0.0}, {0.0, 1.0}}}).problem(),
            "PWL times not increasing at point 2");
  EXPECT_EQ(Waveform::pulse(Pulse{0.0, 1.0, -1.0}).problem(),
            "PULSE with a negative delay, rise, fall, width or period");
  EXPECT_EQ(Waveform::sine(Sine{0.0, 1.0, -1.0}).problem(),
            "SIN with a negative delay or frequency");
}

}  // namespace
