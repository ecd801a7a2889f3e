// DC operating points through the whole host: dividers and sources against their analytic
// answers and ngspice, the sign of pin currents, Newton's iteration count on linear circuits,
// the differenced Jacobian of units that load none, convergence aids, and the failures.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "host/analog/analysis_error.h"
#include "host/analog/operating_point.h"
#include "host/kernel.h"
#include "tests/analog/analog_fixture.h"
#include "tests/analog/ngspice.h"

namespace {

using host::analog::AnalysisError;
using host::analog::Circuit;
using host::analog::DcOptions;
using host::analog::GenericValue;
using host::analog::operating_point;
using host::analog::Waveform;

class DcTest : public test::AnalogTest {
 protected:
  // A resistor of each kind the engine takes: units with their own Jacobian, and test units
  // whose Jacobian the host differences.
  void resistor(const std::string& kind, const std::string& name, const std::string& a,
                const std::string& b, double ohms) {
    if (kind == "LEVEL_0-ZEB_RES_2P" || kind == "LEVEL_0-ZEB_PAD_RES61") {
      circuit().unit(name, kind, {a, b}, {{"R", ohms}});
    } else if (kind == "differenced state") {
      add(name, test::difference_resistor(), {a, b}, {{0, ohms}});
    } else {
      add(name, test::conductance(), {a, b}, {{0, 1.0 / ohms}});
    }
  }
};

class DividerTest : public DcTest, public ::testing::WithParamInterface<std::string> {};

// 10 V over 1k and 3k: 7.5 V at the middle, 2.5 mA drawn from the source's plus terminal.
TEST_P(DividerTest, MatchesTheAnalyticAnswerInTwoNewtonIterations) {
  circuit().voltage_source("V1", "in", "0", Waveform::dc(10.0));
  resistor(GetParam(), "R1", "in", "mid", 1e3);
  resistor(GetParam(), "R2", "mid", "0", 3e3);
  const auto op = operating_point(circuit());
  EXPECT_NEAR(op.voltage("mid"), 7.5, 7.5e-12);
  EXPECT_NEAR(op.voltage("in"), 10.0, 1e-11);
  EXPECT_NEAR(op.current("V1"), -2.5e-3, 2.5e-15);
  EXPECT_EQ(op.newton_iterations(), 2);
}

INSTANTIATE_TEST_SUITE_P(Resistors, DividerTest,
                         ::testing::Values("LEVEL_0-ZEB_RES_2P", "LEVEL_0-ZEB_PAD_RES61",
                                           "differenced state", "differenced conductance"),
                         [](const auto& entry) {
                           std::string name = entry.param;
                           for (char& c : name)
                             c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// The current a unit places on pin n flows from the node into the unit: the resistor's state
// (its current from pin 1 to pin 2) is +2.5 mA with pin 1 on the source side, and flips with
// the pins.
TEST_F(DcTest, UnitCurrentFlowsFromTheNodeIntoPinOne) {
  circuit().voltage_source("V1", "in", "0", Waveform::dc(10.0));
  circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "mid"}, {{"R", 1e3}});
  circuit().unit("R2", "LEVEL_0-ZEB_RES_2P", {"0", "mid"}, {{"R", 3e3}});
  const auto op = operating_point(circuit());
  EXPECT_NEAR(op.state("R1", 1), 2.5e-3, 1e-15);
  EXPECT_NEAR(op.state("R2", 1), -2.5e-3, 1e-15);
  // The end-of-solution callback brought the across quantity up to date.
  const auto& r1 = *circuit().units()[0].instance;
  EXPECT_NEAR(*r1.quantity(0)->value, 2.5, 1e-12);
}

// SPICE's current source: 1 mA from its plus node (here the reference) into its minus node.
TEST_F(DcTest, CurrentSourceIntoResistorAgainstNgspice) {
  circuit().current_source("I1", "0", "out", Waveform::dc(1e-3));
  circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"out", "0"}, {{"R", 2e3}});
  const auto op = operating_point(circuit());
  EXPECT_NEAR(op.voltage("out"), 2.0, 2e-12);
  EXPECT_EQ(op.newton_iterations(), 2);

  const auto spice = test::run_ngspice("I1 0 out DC 1m\nR1 out 0 2k", "op", "v(out)");
  if (!spice) GTEST_SKIP() << "ngspice not installed";
  const double deviation = test::relative_deviation(op.voltage("out"), spice->at(0).at(1));
  std::printf("current source into resistor: worst deviation from ngspice %.3g\n", deviation);
  EXPECT_LT(deviation, 1e-9);
}

TEST_F(DcTest, DividerAgainstNgspice) {
  circuit().voltage_source("V1", "in", "0", Waveform::dc(5.0));
  circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "a"}, {{"R", 1e3}});
  circuit().unit("R2", "LEVEL_0-ZEB_PAD_RES61", {"a", "b"}, {{"R", 2.2e3}});
  circuit().unit("R3", "LEVEL_0-ZEB_RES_2P", {"b", "0"}, {{"R", 4.7e3}});
  circuit().unit("R4", "LEVEL_0-ZEB_RES_2P", {"a", "0"}, {{"R", 10e3}});
  const auto op = operating_point(circuit());
  const auto spice = test::run_ngspice(
      "V1 in 0 DC 5\nR1 in a 1k\nR2 a b 2.2k\nR3 b 0 4.7k\nR4 a 0 10k", "op", "v(a) v(b) i(V1)");
  if (!spice) GTEST_SKIP() << "ngspice not installed";
  const auto& row = spice->at(0);
  const double worst = std::max({test::relative_deviation(op.voltage("a"), row.at(1)),
                                 test::relative_deviation(op.voltage("b"), row.at(2)),
                                 test::relative_deviation(op.current("V1"), row.at(3))});
  std::printf("divider: worst deviation from ngspice %.3g\n", worst);
  EXPECT_LT(worst, 1e-9);
}

// An exponential diode behind a resistor, differenced by the host, against the root of
// (V - v) / R = Is (exp(v / Vt) - 1) and against ngspice's diode of the same law, both with
// Newton tolerances tight enough for the comparison.
TEST_F(DcTest, DifferencedDiodeConvergesToTheRootAndNgspice) {
  const double is = 1e-14;
  const double vt = 1.380649e-23 * 300.15 / 1.602176634e-19;
  circuit().voltage_source("V1", "in", "0", Waveform::dc(1.0));
  circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "a"}, {{"R", 1e3}});
  add("D1", test::diode(), {"a", "0"}, {{0, is}, {1, vt}});
  DcOptions tight;
  tight.newton.tolerances.reltol = 1e-9;
  const auto op = operating_point(circuit(), tight);

  double low = 0.0;
  double high = 1.0;
  for (int k = 0; k < 200; ++k) {
    const double v = 0.5 * (low + high);
    ((1.0 - v) / 1e3 > is * std::expm1(v / vt) ? low : high) = v;
  }
  EXPECT_LT(test::relative_deviation(op.voltage("a"), low), 1e-9);

  const auto spice = test::run_ngspice(
      "V1 in 0 DC 1\nR1 in a 1k\nD1 a 0 dmod\n.model dmod d is=1e-14\n"
      ".option reltol=1e-9",
      "op", "v(a)");
  if (!spice) GTEST_SKIP() << "ngspice not installed";
  const double deviation = test::relative_deviation(op.voltage("a"), spice->at(0).at(1));
  std::printf("diode: worst deviation from ngspice %.3g\n", deviation);
  EXPECT_LT(deviation, 1e-6);
}

// Ten Newton iterations are too few for the diode from zero; gmin or source stepping, each on
// its own, still reach the operating point.
TEST_F(DcTest, GminAndSourceSteppingRescueAStarvedNewton) {
  circuit().voltage_source("V1", "in", "0", Waveform::dc(1.0));
  circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "a"}, {{"R", 1e3}});
  add("D1", test::diode(), {"a", "0"}, {{0, 1e-14}, {1, 0.025865}});
  const double expected = operating_point(circuit()).voltage("a");

  struct Case {
    bool gmin, source, converges;
  };
  for (const Case c :
       {Case{true, false, true}, Case{false, true, true}, Case{false, false, false}}) {
    SCOPED_TRACE(testing::Message() << "gmin " << c.gmin << ", source " << c.source);
    DcOptions options;
    options.newton.max_iterations = 10;
    options.gmin_stepping = c.gmin;
    options.source_stepping = c.source;
    if (c.converges) {
      EXPECT_NEAR(operating_point(circuit(), options).voltage("a"), expected, 1e-5);
    } else {
      try {
        operating_point(circuit(), options);
        ADD_FAILURE() << "converged";
      } catch (const AnalysisError& error) {
        EXPECT_STREQ(error.what(),
                     "DC operating point: Newton did not converge in 10 iterations; the largest "
                     "change was at state 1 of instance 'R1'");
      }
    }
  }
}

TEST_F(DcTest, SweepGivesTheSoftLimitedSourceCurveOfNgspice) {
  const double vsc = 0.5;
  const double isc = 2e-3;
  circuit().voltage_source("V1", "p", "0", Waveform::dc(0.0));
  circuit().unit("X1", "DEFAULT-ZEB_ISRC", {"p", "0"}, {{"VSC", vsc}, {"ISC", isc}});
  std::vector<double> values;
  for (int k = -8; k <= 12; ++k) values.push_back(0.25 * k);
  const auto sweep = host::analog::dc_sweep(circuit(), "V1", values);

  const auto spice = test::run_ngspice(
      "V1 p 0 DC 0\nB1 p 0 I=(atan(3*abs(v(p))/0.5)*2m/(pi/2)/2+atan(3*v(p)/0.5)*2m/(pi/2)/2)/2\n"
      ".option reltol=1e-9",
      "dc V1 -2 3 0.25", "i(V1)");
  double worst_analytic = 0.0;
  double worst_spice = 0.0;
  for (std::size_t k = 0; k < values.size(); ++k) {
    const double v = values[k];
    const double expected = v > 0.0 ? isc / std::numbers::pi * std::atan(3.0 * v / vsc) : 0.0;
    // The source's branch current is the current drawn from its plus node: minus the unit's.
    const double current = -sweep[k].current("V1");
    worst_analytic = std::max(worst_analytic, test::relative_deviation(current, expected, isc));
    if (spice) {
      worst_spice = std::max(
          worst_spice, test::relative_deviation(sweep[k].current("V1"), spice->at(k).at(1), isc));
    }
  }
  std::printf("soft-limited source: worst deviation analytic %.3g, ngspice %.3g\n", worst_analytic,
              worst_spice);
  EXPECT_LT(worst_analytic, 1e-6);
  EXPECT_LT(worst_spice, 1e-6);
  // The sweep leaves the source's own DC value in place.
  EXPECT_EQ(circuit().source("V1").waveform.dc_value(), 0.0);
}

struct FailureCase {
  const char* what;
  std::function<void(test::AnalogTest&, Circuit&)> build;
  const char* message;
  bool whole = true;  // the message in full, else its start (the solver picks the column)
  friend void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.what; }
};

class DcFailureTest : public DcTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DcFailureTest, StopsWithAMessageNamingTheInstanceOrNode) {
  GetParam().build(*this, circuit());
  try {
    operating_point(circuit());
    FAIL() << "the operating point did not fail";
  } catch (const AnalysisError& error) {
    if (GetParam().whole) {
      EXPECT_STREQ(error.what(), GetParam().message);
    } else {
      EXPECT_EQ(std::string(error.what()).rfind(GetParam().message, 0), 0u) << error.what();
    }
  }
}

void faulty_behind_resistor(test::AnalogTest& t, Circuit& c, test::Fault fault) {
  c.voltage_source("V1", "in", "0", Waveform::dc(2.0));
  c.unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "a"}, {{"R", 1e3}});
  t.add("X1", test::faulty(), {"a", "0"}, {{0, static_cast<double>(fault)}, {1, 0.5}});
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DcFailureTest,
    ::testing::Values(
        FailureCase{"NoSolution",
                    [](auto& fixture, auto& c) {
                      faulty_behind_resistor(fixture, c, test::Fault::no_solution);
                    },
                    "DC operating point: Newton did not converge in 100 iterations; the largest "
                    "change was at node 'a' (R1, X1) (gmin and source stepping failed too)"},
        FailureCase{"NanCurrent",
                    [](auto& fixture, auto& c) {
                      faulty_behind_resistor(fixture, c, test::Fault::nan_current);
                    },
                    "DC operating point: instance 'X1' gives current nan on pin 1"},
        FailureCase{"ZeroDivisor",
                    [](auto& fixture, auto& c) {
                      faulty_behind_resistor(fixture, c, test::Fault::zero_divisor);
                    },
                    "DC operating point: instance 'X1' divides 1 by zero (real_div_f)"},
        FailureCase{"UndeclaredDerivative",
                    [](auto& fixture, auto& c) {
                      faulty_behind_resistor(fixture, c, test::Fault::undeclared_derivative);
                    },
                    "DC operating point: instance 'X1' reads the voltage derivative of pin 1, "
                    "which it did not declare with Init_DDT_Pin"},
        FailureCase{"FloatingNode",
                    [](auto&, auto& c) {
                      c.voltage_source("V1", "in", "0", Waveform::dc(1.0));
                      c.unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "0"}, {{"R", 1e3}});
                      c.unit("C1", "LEVEL_0-ZEB_CAP_2P", {"float", "0"}, {{18, 1e-9}});
                    },
                    "DC operating point: the matrix is singular at node 'float' (C1), which has "
                    "no DC path or is shorted (gmin and source stepping failed too)"},
        FailureCase{"SourcesInParallel",
                    [](auto&, auto& c) {
                      c.voltage_source("V1", "in", "0", Waveform::dc(1.0));
                      c.voltage_source("V2", "in", "0", Waveform::dc(2.0));
                    },
                    "DC operating point: the matrix is singular", false}),
    [](const auto& entry) { return std::string(entry.param.what); });

}  // namespace
