// Transient analyses through the whole host: the RC step response against its analytic
// answer and ngspice, the step counts of smooth waveforms, steps landing on source corners,
// the differenced capacitor, and failures reported with their time and instance.
#include "host/analog/transient.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host/analog/analysis_error.h"
#include "host/kernel.h"
#include "tests/analog/analog_fixture.h"
#include "tests/analog/ngspice.h"

namespace {

using host::analog::AnalysisError;
using host::analog::Pulse;
using host::analog::Pwl;
using host::analog::Sine;
using host::analog::transient;
using host::analog::TransientOptions;
using host::analog::Waveform;

constexpr double r = 1e3;
constexpr double c = 1e-6;
constexpr double tau = r * c;
constexpr double rise = 1e-9;

// The RC low-pass's answer to a ramp from 0 to 1 V over `rise`, then held.
double rc_response(double t) {
  if (t <= rise) return (t - tau * (1.0 - std::exp(-t / tau))) / rise;
  return 1.0 - tau / rise * std::expm1(rise / tau) * std::exp(-t / tau);
}

class TransientTest : public test::AnalogTest {
 protected:
  void rc(bool differenced = false) {
    circuit().voltage_source("V1", "in", "0",
                             Waveform::pulse(Pulse{0.0, 1.0, 0.0, rise, rise, 1.0, 2.0}));
    circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "out"}, {{"R", r}});
    if (differenced) {
      add("C1", test::difference_capacitor(), {"out", "0"}, {{0, c}});
    } else {
      circuit().unit("C1", "LEVEL_0-ZEB_CAP_2P", {"out", "0"}, {{18, c}});
    }
  }

  static double worst_against(const host::analog::TransientResult& result,
                              const std::function<double(double)>& expected) {
    const auto v = result.voltage("out");
    double worst = 0.0;
    for (std::size_t k = 0; k < v.size(); ++k) {
      worst = std::max(worst, std::abs(v[k] - expected(result.times()[k])));
    }
    return worst;
  }
};

// The step control bounds the error of each step; over the many steps of a time constant
// those add up to some tens of times reltol. At reltol 1e-9 the curve meets the analytic answer
// within 1e-6 of the step.
struct Accuracy {
  double reltol;
  double vntol;
  double bound;  // on the worst deviation from the analytic answer, in volts of a 1 V step
  std::int32_t max_steps;
  friend void PrintTo(const Accuracy& a, std::ostream* out) { *out << "reltol " << a.reltol; }
};

class RcStepTest : public TransientTest, public ::testing::WithParamInterface<Accuracy> {};

TEST_P(RcStepTest, FollowsTheAnalyticAnswerInFewSteps) {
  rc();
  TransientOptions options;
  options.stop = 5 * tau;
  options.tolerances.reltol = GetParam().reltol;
  options.tolerances.vntol = GetParam().vntol;
  const auto result = transient(circuit(), options);
  const double worst = worst_against(result, rc_response);
  std::printf("RC step, reltol %g: %d steps (%d rejected), worst deviation %.3g V\n",
              GetParam().reltol, result.statistics.accepted,
              result.statistics.rejected_for_error + result.statistics.rejected_for_newton, worst);
  EXPECT_LT(worst, GetParam().bound);
  EXPECT_LE(result.statistics.accepted, GetParam().max_steps);
  EXPECT_EQ(result.statistics.rejected_for_newton, 0);
  // Linear: each step's Newton solves once and confirms once, or confirms the prediction.
  const auto& s = result.statistics;
  EXPECT_LE(s.newton_iterations, 2 * (s.accepted + s.rejected_for_error + 1));
  EXPECT_DOUBLE_EQ(result.times().back(), 5 * tau);
}

INSTANTIATE_TEST_SUITE_P(Tolerances, RcStepTest,
                         ::testing::Values(Accuracy{1e-3, 1e-6, 5e-3, 80},
                                           Accuracy{1e-6, 1e-9, 5e-5, 300},
                                           Accuracy{1e-8, 1e-11, 2e-6, 1200},
                                           Accuracy{1e-9, 1e-12, 1e-6, 3000}));

TEST_F(TransientTest, RcStepAgainstNgspice) {
  rc();
  TransientOptions options;
  options.stop = 5 * tau;
  const auto result = transient(circuit(), options);
  const auto spice = test::run_ngspice("V1 in 0 PULSE(0 1 0 1n 1n 1 2)\nR1 in out 1k\nC1 out 0 1u",
                                       "tran 1e-6 5e-3", "v(out)");
  if (!spice) GTEST_SKIP() << "ngspice not installed";
  const double worst =
      worst_against(result, [&](double t) { return test::interpolate(*spice, t, 1); });
  std::printf("RC step: worst deviation from ngspice %.3g V\n", worst);
  EXPECT_LT(worst, 5e-3);
}

TEST_F(TransientTest, DifferencedCapacitorFollowsTheSameCurve) {
  rc(true);
  TransientOptions options;
  options.stop = 5 * tau;
  const auto result = transient(circuit(), options);
  EXPECT_LT(worst_against(result, rc_response), 5e-3);
  EXPECT_EQ(result.statistics.rejected_for_newton, 0);
}

// After the last step the capacitor's end-of-solution callback leaves its current, C dV/dt
// from the host's integrator, equal to the resistor's.
TEST_F(TransientTest, EndComputedSeesTheIntegratorsDerivative) {
  rc();
  TransientOptions options;
  options.stop = 5 * tau;
  const auto result = transient(circuit(), options);
  const double resistor_current = (result.voltage("in").back() - result.voltage("out").back()) / r;
  const double capacitor_current = *circuit().units()[1].instance->quantity(1)->value;
  EXPECT_NEAR(capacitor_current, resistor_current, 0.02 * resistor_current);
}

// The end-of-solution callbacks run once after the operating point and once per accepted step
// (and per frequency in AC).
TEST_F(TransientTest, EndComputedRunsAfterEveryCompletedSolution) {
  rc();
  TransientOptions options;
  options.stop = tau;
  host::kernel().trace.enable(true);
  const auto result = transient(circuit(), options);
  const auto& calls = host::kernel().trace.calls();
  const auto completions = std::count(calls.begin(), calls.end(), "vhdl_update_fas_envir(1)");
  EXPECT_EQ(completions, result.statistics.accepted + 1);
  EXPECT_EQ(static_cast<std::size_t>(completions), result.times().size());
}

TEST_F(TransientTest, SineIntoRcAgainstNgspice) {
  circuit().voltage_source("V1", "in", "0", Waveform::sine(Sine{0.0, 1.0, 1e3}));
  circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "out"}, {{"R", 1e3}});
  circuit().unit("C1", "LEVEL_0-ZEB_CAP_2P", {"out", "0"}, {{18, 0.1e-6}});
  TransientOptions options;
  options.stop = 3e-3;
  const auto result = transient(circuit(), options);
  std::printf("sine into RC: %d steps\n", result.statistics.accepted);
  EXPECT_LE(result.statistics.accepted, 200);
  const auto spice = test::run_ngspice("V1 in 0 SIN(0 1 1k)\nR1 in out 1k\nC1 out 0 0.1u",
                                       "tran 1e-7 3e-3", "v(out)");
  if (!spice) GTEST_SKIP() << "ngspice not installed";
  const double worst =
      worst_against(result, [&](double t) { return test::interpolate(*spice, t, 1); });
  std::printf("sine into RC: worst deviation from ngspice %.3g V\n", worst);
  EXPECT_LT(worst, 5e-3);
}

// A resistive load follows a PWL source exactly, and every corner is a time point.
TEST_F(TransientTest, StepsLandOnEveryCorner) {
  const Pwl shape{{{0.0, 0.0}, {1e-3, 1.0}, {1.7e-3, 1.0}, {3e-3, -0.5}}};
  circuit().voltage_source("V1", "in", "0", Waveform::pwl(shape));
  circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "out"}, {{"R", 1e3}});
  circuit().unit("R2", "LEVEL_0-ZEB_RES_2P", {"out", "0"}, {{"R", 1e3}});
  TransientOptions options;
  options.stop = 4e-3;
  const auto result = transient(circuit(), options);
  const auto& times = result.times();
  for (double corner : {1e-3, 1.7e-3, 3e-3, 4e-3}) {
    EXPECT_NE(std::find(times.begin(), times.end(), corner), times.end()) << corner;
  }
  const auto v = result.voltage("out");
  const auto source = Waveform::pwl(shape);
  for (std::size_t k = 0; k < v.size(); ++k) {
    EXPECT_NEAR(v[k], 0.5 * source.at(times[k]), 1e-12) << times[k];
  }
}

double time_in(const std::string& message) {
  const auto at = message.find("t = ");
  return at == std::string::npos ? -1.0 : std::stod(message.substr(at + 4));
}

struct RampFailure {
  const char* name;
  test::Fault fault;
  const char* cause;
  friend void PrintTo(const RampFailure& f, std::ostream* out) { *out << f.name; }
};

class TransientFailureTest : public TransientTest,
                             public ::testing::WithParamInterface<RampFailure> {};

// A ramp through a resistor drives the faulty unit over its 0.5 V threshold at t = 0.5 ms.
TEST_P(TransientFailureTest, NamesTheTimeAndTheInstance) {
  circuit().voltage_source("V1", "in", "0", Waveform::pwl(Pwl{{{0.0, 0.0}, {1e-3, 1.0}}}));
  circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "a"}, {{"R", 1.0}});
  add("X1", test::faulty(), {"a", "0"}, {{0, static_cast<double>(GetParam().fault)}, {1, 0.5}});
  TransientOptions options;
  options.stop = 1e-3;
  try {
    transient(circuit(), options);
    FAIL() << "the analysis went through";
  } catch (const AnalysisError& error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind("transient analysis at t = ", 0), 0u) << message;
    EXPECT_NE(message.find(GetParam().cause), std::string::npos) << message;
    EXPECT_NEAR(time_in(message), 0.5e-3, 0.05e-3) << message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TransientFailureTest,
    ::testing::Values(RampFailure{"NoSolution", test::Fault::no_solution,
                                  "Newton did not converge in 20 iterations; the largest change "
                                  "was at node 'a' (R1, X1)"},
                      RampFailure{"NanCurrent", test::Fault::nan_current,
                                  "instance 'X1' gives current nan on pin 1"}),
    [](const auto& entry) { return std::string(entry.param.name); });

TEST_F(TransientTest, RejectsOptionsThatMakeNoSense) {
  rc();
  for (const auto& [stop, max_step, min_step] :
       {std::tuple{0.0, 0.0, 0.0}, std::tuple{-1.0, 0.0, 0.0}, std::tuple{1.0, 1e-3, 1e-2}}) {
    TransientOptions options;
    options.stop = stop;
    options.max_step = max_step;
    options.min_step = min_step;
    EXPECT_THROW(transient(circuit(), options), AnalysisError);
  }
}

}  // namespace
