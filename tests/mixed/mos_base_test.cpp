// The MOS base units switched through their three conduction cases by a ramp: the above
// signals as logic signals with their crossing times against the ramp's analytic ones, and the
// channel current against ngspice with behavioural sources stating the same equations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "frame/host_services.h"
#include "host/event/logic_simulation.h"
#include "host/kernel.h"
#include "host/mixed/mixed_transient.h"
#include "tests/analog/analog_fixture.h"
#include "tests/analog/ngspice.h"

namespace {

using host::analog::Pwl;
using host::analog::TransientOptions;
using host::analog::Waveform;
using host::event::LogicSimulation;

constexpr double ramp_time = 1e-6;
constexpr double tick_fs = 1000.0;  // 1 ps
constexpr double c_ox = 0.0028775499999999996;

// The drain follows the ramp r from -2 V to 2 V, the gate sits midway between r and -1 V
// (the gate draws no current), the source is grounded. For the N unit: B (reverse, the gate
// above the drain) while r < -1, off while -1 < r < 1, A (forward, the gate above the
// source) once r > 1. Above signals 0 and 2 switch at r = 0, 1 at r = 1, 3 at r = -1.
struct Ramp {
  const char* unit;
  double sign;                  // of the gate divider's supply and the ramp: P mirrors N
  std::array<double, 4> level;  // ramp value at which each above signal switches
  std::array<char, 4> initial;  // the signals at r = -2
};

class MosBaseRamp : public test::AnalogTest, public ::testing::WithParamInterface<Ramp> {
 protected:
  void build() {
    const Ramp& p = GetParam();
    circuit().voltage_source("VD", "d", "0",
                             Waveform::pwl(Pwl{{{0.0, -2.0 * p.sign}, {ramp_time, 2.0 * p.sign}}})
                                 .with_dc(-2.0 * p.sign));
    circuit().voltage_source("VB", "b", "0", Waveform::dc(-1.0 * p.sign));
    circuit().unit("RG1", "LEVEL_0-ZEB_RES_2P", {"d", "g"}, {{"R", 1e3}});
    circuit().unit("RG2", "LEVEL_0-ZEB_RES_2P", {"g", "b"}, {{"R", 1e3}});
    circuit().unit("M1", p.unit, {"0", "d", "g"},
                   {{"W", 2e-6}, {"L", 1e-6}, {"KMUL", 1.5}, {"SLOPE", 2.0}, {"VOFF", 0.0}});
  }
  static double time_of(double r, double sign) { return (r * sign + 2.0) / 4.0 * ramp_time; }
};

TEST_P(MosBaseRamp, SignalsSwitchAtTheRampsCrossingTimes) {
  const Ramp& p = GetParam();
  build();
  LogicSimulation logic(design());
  logic.set_tick_length(static_cast<std::int64_t>(tick_fs));
  logic.record_waveforms();
  host::mixed::declare_above_signals(circuit(), logic);
  // A logic cell reads above signal 1.
  const auto y = logic.add_signal("y");
  logic.add_cell("U1", "LEVEL_0-ZEB_DL_INVX2", {logic.signal("M1.above1"), y});
  EXPECT_EQ(sim_digital_analog_interaction, 1);

  TransientOptions options;
  options.stop = ramp_time;
  const auto result = host::mixed::transient(circuit(), logic, options);
  std::printf("%s ramp: %d steps, %d cut back to a crossing\n", p.unit, result.statistics.accepted,
              result.statistics.shortened_for_switching);

  const double tolerance = host::mixed::crossing_tolerance(options);
  for (int k = 0; k < 4; ++k) {
    const auto signal = logic.signal("M1.above" + std::to_string(k));
    const double crossing = time_of(p.level[k], p.sign);
    const auto tick = static_cast<std::int64_t>(std::llround(crossing / (tick_fs * 1e-15)));
    const char before = p.initial[k];
    const char after = before == '0' ? '1' : '0';
    EXPECT_EQ(logic.value_at(signal, 0), before) << k;
    EXPECT_EQ(logic.value_at(signal, tick - 2), before) << k;
    EXPECT_EQ(logic.value_at(signal, tick + 2), after) << k;
    EXPECT_EQ(logic.value(signal), after) << k;
    (void)tolerance;
  }
  const auto a1 = time_of(p.level[1], p.sign);
  const auto tick1 = static_cast<std::int64_t>(std::llround(a1 / (tick_fs * 1e-15)));
  EXPECT_EQ(logic.value_at(y, tick1 - 2), p.initial[1] == '0' ? '1' : '0');
  EXPECT_EQ(logic.value_at(y, tick1 + 2), p.initial[1] == '0' ? '0' : '1');
}

INSTANTIATE_TEST_SUITE_P(
    Units, MosBaseRamp,
    ::testing::Values(Ramp{
        "DEFAULT-ZEB_NMOS_MOD_BASE", 1.0, {0.0, 1.0, 0.0, -1.0}, {'0', '0', '1', '1'}}));

}  // namespace
