// The MOS base units switched through their three conduction cases by a ramp: the above
// signals as logic signals with their crossing times against the ramp's analytic ones, a logic
// cell reading one, and the channel current against ngspice with behavioural sources stating
// the same equations.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "frame/host_services.h"
#include "host/analog/analysis_error.h"
#include "host/event/logic_simulation.h"
#include "host/kernel.h"
#include "host/mixed/mixed_transient.h"
#include "tests/analog/analog_fixture.h"
#include "tests/analog/ngspice.h"
#include "tests/mixed/mos_oracle.h"

namespace {

using host::analog::DcOptions;
using host::analog::Pwl;
using host::analog::TransientOptions;
using host::analog::Waveform;
using host::event::LogicSimulation;

constexpr double ramp_time = 1e-6;
constexpr std::int64_t tick_fs = 1000;  // 1 ps
constexpr double tick = 1e-12;

// The drain follows the ramp from -2 V to 2 V (N) or from 2 V to -2 V (P); the gate sits midway
// between the drain and -1 V (N) or 1 V (P), the gate drawing no current; the source is
// grounded. N: case B (reverse, the gate above the drain) while the drain is below -1 V, off
// from -1 V to 1 V, case A (forward, the gate above the source) above 1 V; P mirrors it. In
// the ramp's own measure r, from -2 to 2 for both units, above signals 0 and 2 switch at
// r = 0, signal 1 at r = 1 and signal 3 at r = -1.
struct Ramp {
  const char* unit;
  bool p_unit;
  std::array<char, 4> initial;  // the signals at r = -2
};
constexpr std::array<double, 4> levels{0.0, 1.0, 0.0, -1.0};

const test::MosBase generics{2e-6, 1.0, 1e-6, 1e6, 1.5, 2.0, 0.2};

class MosBaseRamp : public test::AnalogTest, public ::testing::WithParamInterface<Ramp> {
 protected:
  double sign() const { return GetParam().p_unit ? -1.0 : 1.0; }
  void build() {
    const double s = sign();
    circuit().voltage_source("VD", "d", "0",
                             Waveform::pwl(Pwl{{{0.0, -2.0 * s}, {ramp_time, 2.0 * s}}}));
    circuit().voltage_source("VB", "b", "0", Waveform::dc(-1.0 * s));
    circuit().unit("RG1", "LEVEL_0-ZEB_RES_2P", {"d", "g"}, {{"R", 1e3}});
    circuit().unit("RG2", "LEVEL_0-ZEB_RES_2P", {"g", "b"}, {{"R", 1e3}});
    const test::MosBase& m = generics;
    circuit().unit("M1", GetParam().unit, {"0", "d", "g"},
                   {{"W", m.w},
                    {"WSCALE", m.wscale},
                    {"L", m.l},
                    {"RLIN", m.rlin},
                    {"KMUL", m.kmul},
                    {"SLOPE", m.slope},
                    {"VOFF", m.voff}});
  }
  std::string spice() const {
    return "VD d 0 DC 0\nVB b 0 DC " + std::to_string(-sign()) + "\nRG1 d g 1k\nRG2 g b 1k\n" +
           test::mos_base_spice("M1", GetParam().p_unit, "0", "d", "g", generics) +
           ".options reltol=1e-9 abstol=1e-15 vntol=1e-12";
  }
  // The channel and divider current drawn from VD at each drain voltage, by ngspice.
  std::optional<std::vector<std::vector<double>>> spice_curve() const {
    return test::run_ngspice(spice(), "dc VD -2 2 0.001", "i(VD)");
  }
  static double time_of(double r) { return (r + 2.0) / 4.0 * ramp_time; }
};

TEST_P(MosBaseRamp, SignalsSwitchAtTheRampsCrossingTimes) {
  const Ramp& p = GetParam();
  build();
  LogicSimulation logic(design());
  logic.set_tick_length(tick_fs);
  logic.record_waveforms();
  host::mixed::declare_above_signals(circuit(), logic);
  // A logic cell reads above signal 1, the enable of conduction A.
  const auto y = logic.add_signal("y");
  logic.add_cell("U1", "LEVEL_0-ZEB_DL_INVX2", {logic.signal("M1.above1"), y});
  EXPECT_EQ(sim_digital_analog_interaction, 1);

  TransientOptions options;
  options.stop = ramp_time;
  const auto result = host::mixed::transient(circuit(), logic, options);
  EXPECT_EQ(logic.now(), std::llround(ramp_time / tick));
  EXPECT_GE(result.statistics.shortened_for_switching, 3);

  // Each crossing lies within one tick (the crossing tolerance here) of the analytic time.
  ASSERT_EQ(host::mixed::crossing_tolerance(options), tick);
  for (int k = 0; k < 4; ++k) {
    const auto signal = logic.signal("M1.above" + std::to_string(k));
    const auto at = std::llround(time_of(levels[static_cast<std::size_t>(k)]) / tick);
    const char before = p.initial[static_cast<std::size_t>(k)];
    const char after = before == '0' ? '1' : '0';
    EXPECT_EQ(logic.value_at(signal, 0), before) << k;
    EXPECT_EQ(logic.value_at(signal, at - 1), before) << k;
    EXPECT_EQ(logic.value_at(signal, at + 1), after) << k;
    EXPECT_EQ(logic.value(signal), after) << k;
  }
  const auto at1 = std::llround(time_of(levels[1]) / tick);
  EXPECT_EQ(logic.value_at(y, at1 - 1), '1');
  EXPECT_EQ(logic.value_at(y, at1 + 1), '0');

  // The current drawn from the ramp against ngspice's curve, away from the switching points
  // (where the curve jumps and its table cannot be interpolated).
  const auto curve = spice_curve();
  if (!curve) GTEST_SKIP() << "ngspice not installed";
  const auto current = result.current("VD");
  double worst = 0.0;
  for (std::size_t k = 0; k < current.size(); ++k) {
    const double r = -2.0 + 4.0 * result.times()[k] / ramp_time;
    if (std::abs(r - 1.0) < 2e-3 || std::abs(r + 1.0) < 2e-3) continue;
    const double expected = test::interpolate(*curve, r * sign(), 1);
    worst = std::max(worst, std::abs(current[k] - expected));
  }
  std::printf("%s ramp: %d steps, %d cut back to a crossing; worst deviation from ngspice %.3g A\n",
              p.unit, result.statistics.accepted, result.statistics.shortened_for_switching, worst);
  EXPECT_LT(worst, 1e-7);  // of currents up to some mA; the table's interpolation error
}

// A DC sweep of the drain takes each point in the case its own voltages select.
TEST_P(MosBaseRamp, DcSweepFollowsTheCasesAsNgspice) {
  build();
  LogicSimulation logic(design());
  std::vector<double> values;
  // Points off the switching voltages, where the cases' strict comparisons meet rounding.
  for (int k = 0; k < 400; ++k) values.push_back((-1.995 + 0.01 * k) * sign());
  DcOptions options;
  options.newton.tolerances.reltol = 1e-9;
  const auto points = host::mixed::dc_sweep(circuit(), logic, "VD", values, options);
  // The signals hold the last point's states, at the drain's far end: case A (N) or B (P).
  EXPECT_EQ(logic.value(logic.signal("M1.above0")), '1');
  EXPECT_EQ(logic.value(logic.signal("M1.above1")), '1');
  EXPECT_EQ(logic.value(logic.signal("M1.above2")), '0');
  EXPECT_EQ(logic.value(logic.signal("M1.above3")), '0');

  const auto curve = test::run_ngspice(spice(), "dc VD -1.995 1.995 0.01", "i(VD)");
  if (!curve) GTEST_SKIP() << "ngspice not installed";
  ASSERT_EQ(curve->size(), values.size());
  double worst = 0.0, largest = 0.0;
  for (std::size_t k = 0; k < values.size(); ++k) {
    const double expected = (*curve)[GetParam().p_unit ? values.size() - 1 - k : k][1];
    worst = std::max(worst, std::abs(points[k].current("VD") - expected));
    largest = std::max(largest, std::abs(expected));
  }
  std::printf("%s DC sweep: worst deviation from ngspice %.3g A of %.3g A\n", GetParam().unit,
              worst, largest);
  EXPECT_LT(worst, 1e-9 * largest + 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Units, MosBaseRamp,
    ::testing::Values(Ramp{"DEFAULT-ZEB_NMOS_MOD_BASE", false, {'0', '0', '1', '1'}},
                      Ramp{"DEFAULT-ZEB_PMOS_MOD_BASE", true, {'0', '0', '1', '1'}}),
    [](const auto& unit) { return unit.param.p_unit ? "P" : "N"; });

}  // namespace
