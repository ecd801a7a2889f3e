// The event kernel through its C++ front: initialisation, delta cycles, the event bit, wake-up
// lists, drivers, stimuli, external changes, settings, and the errors a user meets.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "host/event/logic_value.h"
#include "host/generics.h"
#include "tests/digital/support/logic_fixture.h"

namespace {

using host::event::Clock;
using host::event::SignalId;
using host::event::SimulationError;

std::int64_t count_of(const std::vector<std::string>& lines, const std::string& prefix) {
  return std::count_if(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.starts_with(prefix); });
}

template <class Exception>
std::string message_of(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.what();
  } catch (const std::exception& other) {
    return std::string("other exception: ") + other.what();
  }
  return "no exception";
}

using EventKernel = test::LogicTest;

// Every process runs once at time 0, both of a two-process cell, before any stimulus applies.
TEST_F(EventKernel, RunsEveryProcessOnceAtInitialisation) {
  const SignalId a = sim().add_signal("a"), y = sim().add_signal("y"), yn = sim().add_signal("yn");
  const SignalId z = sim().add_signal("z");
  sim().add_cell("B", "LEVEL_0-ZEB_DL_DBUFX1", {a, y, yn});
  sim().add_cell("I", "LEVEL_0-ZEB_DL_INVX2", {y, z});
  sim().drive_constant(a, '1');
  host::kernel().trace.enable(true);
  sim().run_until(0);
  const auto& calls = host::kernel().trace.calls();
  EXPECT_EQ(count_of(calls, "sqs_desactivate_process(B.process1)"), 1);
  EXPECT_EQ(count_of(calls, "sqs_desactivate_process(B.process2)"), 1);
  // I ran at initialisation with y = 'U' and again after y became '1'.
  EXPECT_EQ(count_of(calls, "sqs_desactivate_process(I.process1)"), 2);
  const std::string values{sim().value(y), sim().value(yn), sim().value(z)};
  EXPECT_EQ(values, "100");
}

// Zero-delay cells settle in successive delta cycles of the same time; the event bit stays
// set for the cycle of the event and is gone in the next one.
TEST_F(EventKernel, DeltaCyclesAndTheEventBit) {
  const SignalId a = sim().add_signal("a"), n1 = sim().add_signal("n1");
  const SignalId n2 = sim().add_signal("n2"), n3 = sim().add_signal("n3");
  sim().add_cell("I1", "LEVEL_0-ZEB_DL_INVX2", {a, n1});
  sim().add_cell("I2", "LEVEL_0-ZEB_DL_INVX2", {n1, n2});
  sim().add_cell("I3", "LEVEL_0-ZEB_DL_INVX3", {n2, n3});
  sim().drive_timed(a, {{0, '0'}, {10, '1'}});
  sim().record_waveforms();
  sim().run_until(10);
  const auto* waves = host::kernel().events.waveforms();
  ASSERT_NE(waves, nullptr);
  const std::vector<host::event::Change>& changes = waves->changes(n3.index);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].time, 0);
  EXPECT_EQ(changes[0].delta, 4);  // a at delta 1, then one delta per inverter
  EXPECT_EQ(changes[1].time, 10);
  EXPECT_EQ(changes[1].delta, 3);
  EXPECT_EQ(sim().value(n3), '0');
  auto flagged = [&](SignalId s) {
    return (host::kernel().events.signal(s.index).record->flags & signal_event) != 0;
  };
  EXPECT_FALSE(flagged(a));
  EXPECT_FALSE(flagged(n2));
  EXPECT_TRUE(flagged(n3));
  EXPECT_EQ(sim().now(), 10);
}

// A process wakes once per cycle however many of its ports see the event, and only for its
// wake-up ports: the flip-flop's data port does not run it.
TEST_F(EventKernel, WakesOnlyOnWakeUpPortsAndOncePerCycle) {
  const SignalId x = sim().add_signal("x"), y = sim().add_signal("y");
  const SignalId d = sim().add_signal("d"), clk = sim().add_signal("clk");
  const SignalId rn = sim().add_signal("rn"), q = sim().add_signal("q");
  sim().add_cell("N", "LEVEL_0-ZEB_DL_NAND3", {x, x, x, y});
  sim().add_cell("F", "LEVEL_0-ZEB_DL_DFFR", {d, clk, rn, q});
  sim().drive_timed(x, {{5, '1'}, {10, '0'}});
  sim().drive_timed(d, {{5, '1'}, {10, '0'}});
  sim().drive_constant(rn, '1');
  sim().drive_constant(clk, '0');
  sim().run_until(0);
  host::kernel().trace.enable(true);
  sim().run_until(10);
  const auto& calls = host::kernel().trace.calls();
  EXPECT_EQ(count_of(calls, "sqs_desactivate_process(N.process1)"), 2);
  EXPECT_EQ(count_of(calls, "sqs_desactivate_process(F.process1)"), 0);
  EXPECT_EQ(sim().value(y), '1');
  EXPECT_EQ(sim().value(q), 'U');
}

// The derating value and the corner generics are read at every run.
TEST_F(EventKernel, CornerDelayFollowsTheSettingsAtEachRun) {
  sim().set_tick_length(1000);
  const SignalId a = sim().add_signal("a"), y = sim().add_signal("y");
  host::Instance& buffer = sim().add_cell("B", "LEVEL_2-ZEB_DL_BUFX2", {a, y});
  host::set_generic_table(buffer, "DELAY_FACTORS", {1.0, 2.0, 0.5});
  sim().drive_timed(a, {{0, '1'}, {5000, '0'}, {10000, '1'}});
  sim().record_waveforms();
  sim().set_temperature(127.0);
  sim().run_until(4000);
  EXPECT_EQ(sim().value_at(y, 1289), 'U');
  EXPECT_EQ(sim().value_at(y, 1290), '1');
  sim().set_temperature(27.0);
  host::set_generic(buffer, "PROCESS_CORNER", 1);
  sim().run_until(20000);
  EXPECT_EQ(sim().value_at(y, 6999), '1');
  EXPECT_EQ(sim().value_at(y, 7000), '0');
  EXPECT_EQ(sim().value_at(y, 12000), '1');
  EXPECT_EQ(quel_mintr, 1000);
}

// A clock: '0' before its first rise, then high and low times; stimuli take effect in the
// first delta cycle of their time.
TEST_F(EventKernel, ClockStimulus) {
  const SignalId clk = sim().add_signal("clk");
  sim().drive_clock(clk, Clock{10, 3, 4});
  sim().record_waveforms();
  sim().run_until(40);
  std::string wave;
  for (std::int64_t t = 0; t <= 40; ++t) wave += sim().value_at(clk, t);
  EXPECT_EQ(wave, "00001110000000111000000011100000001110000");
}

// External changes arrive in time order whatever the order they are posted in; one at the
// current time comes in the next delta cycle.
TEST_F(EventKernel, ExternalValueChanges) {
  const SignalId s = sim().add_signal("above"), y = sim().add_signal("y");
  sim().add_cell("I", "LEVEL_0-ZEB_DL_INVX2", {s, y});
  sim().record_waveforms();
  sim().post(s, 30, '1');
  sim().post(s, 20, '0');
  sim().run_until(25);
  EXPECT_EQ(sim().value(y), '1');
  sim().post(s, 25, 'H');
  sim().run_until(25);
  EXPECT_EQ(sim().value(y), '0');
  sim().run_until(40);
  EXPECT_EQ(sim().value(s), '1');
  EXPECT_EQ(sim().value_at(s, 22), '0');
  EXPECT_THROW(sim().post(s, 39, '0'), std::invalid_argument);
  EXPECT_THROW(sim().post(s, 50, 'Q'), std::invalid_argument);
}

// One driver per signal; a second names both.
TEST_F(EventKernel, SecondDriverIsAnError) {
  const SignalId a = sim().add_signal("a"), y = sim().add_signal("y");
  sim().add_cell("U1", "LEVEL_0-ZEB_DL_INVX2", {a, y});
  EXPECT_EQ(message_of<SimulationError>([&] {
              sim().add_cell("U2", "LEVEL_0-ZEB_DL_INVX3", {a, y});
            }),
            "signal 'y' has two drivers: U1 (U1.process1.driver0) and U2 (U2.process1.driver0)");
}

TEST_F(EventKernel, KernelSourcesConflictWithDrivers) {
  const SignalId a = sim().add_signal("a"), y = sim().add_signal("y");
  const SignalId b = sim().add_signal("b");
  sim().add_cell("U1", "LEVEL_0-ZEB_DL_INVX2", {a, y});
  sim().drive_constant(b, '1');
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { sim().drive_constant(y, '0'); },
       "signal 'y' has two drivers: U1 (U1.process1.driver0) and constant (constant)"},
      {[&] {
         sim().drive_clock(y, {10, 5});
       },
       "signal 'y' has two drivers: U1 (U1.process1.driver0) and stimulus (stimulus)"},
      {[&] { sim().post(y, 5, '1'); },
       "signal 'y' has two drivers: U1 (U1.process1.driver0) and external values (external "
       "values)"},
      {[&] {
         sim().drive_timed(b, {{1, '0'}});
       },
       "signal 'b' has two drivers: constant (constant) and stimulus (stimulus)"},
  };
  for (const auto& [action, message] : cases)
    EXPECT_EQ(message_of<SimulationError>(action), message);
}

// Requests the front refuses, each naming what is wrong.
TEST_F(EventKernel, RefusesBadRequests) {
  const SignalId a = sim().add_signal("a"), y = sim().add_signal("y");
  sim().add_cell("U1", "LEVEL_0-ZEB_DL_INVX2", {a, y});
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { sim().add_signal("a"); }, "signal 'a' exists already"},
      {[&] { sim().add_signal("a b"); }, "signal name 'a b' is empty or holds blanks"},
      {[&] { sim().add_signal(""); }, "signal name '' is empty or holds blanks"},
      {[&] { sim().signal("nowhere"); }, "no signal 'nowhere'"},
      {[&] {
         sim().add_cell("U1", "LEVEL_0-ZEB_DL_INVX2", {y, a});
       },
       "instance U1 exists already"},
      {[&] { sim().add_cell("U2", "LEVEL_0-ZEB_DL_INVX2", {a}); },
       "U2: LEVEL_0-ZEB_DL_INVX2 has 2 ports, 1 connected"},
      {[&] {
         sim().add_cell_named("U2", "LEVEL_0-ZEB_DL_INVX2", {{"q", a}});
       },
       "U2: LEVEL_0-ZEB_DL_INVX2 has no port 'q'"},
      {[&] {
         sim().add_cell_named("U2", "LEVEL_0-ZEB_DL_INVX2", {{"a", a}, {"a", y}});
       },
       "U2: port 'a' is connected twice"},
      {[&] {
         sim().add_cell("U2", "LEVEL_0-ZEB_RES_2P", {a, y});
       },
       "U2: LEVEL_0-ZEB_RES_2P is not a logic cell"},
      {[&] {
         sim().add_cell("U2", "LEVEL_0-ZEB_DL_INVX2", {a, SignalId{99}});
       },
       "signal id 99 does not exist"},
      {[&] { sim().set_tick_length(0); }, "tick length 0 fs: it must be positive"},
      {[&] { sim().set_tick_length(-5); }, "tick length -5 fs: it must be positive"},
      {[&] { sim().set_temperature(1.0 / 0.0); }, "temperature inf is not finite"},
      {[&] { sim().drive_constant(a, 'q'); }, "'q' for signal 'a' is not a std_ulogic value"},
      {[&] {
         sim().drive_clock(a, {10, 10});
       },
       "stimulus on 'a': clock high time must lie strictly between 0 and the period"},
      {[&] {
         sim().drive_clock(a, {0, 0});
       },
       "stimulus on 'a': clock period must be positive"},
      {[&] {
         sim().drive_clock(a, {10, 5, -1});
       },
       "stimulus on 'a': clock first rise must not be negative"},
      {[&] {
         sim().drive_timed(a, {{5, '1'}, {5, '0'}});
       },
       "stimulus on 'a': times must increase, 5 follows 5"},
      {[&] {
         sim().drive_timed(a, {{-1, '1'}});
       },
       "stimulus on 'a': time -1 is negative"},
  };
  for (const auto& [action, message] : cases) {
    EXPECT_EQ(message_of<std::invalid_argument>(action), message);
  }
  EXPECT_EQ(quel_mintr, 1);
}

// Once the simulation runs, the network and its settings stay as they are.
TEST_F(EventKernel, NetworkIsFixedOnceStarted) {
  const SignalId a = sim().add_signal("a"), y = sim().add_signal("y");
  sim().add_cell("U1", "LEVEL_0-ZEB_DL_INVX2", {a, y});
  sim().run_until(10);
  EXPECT_THROW(sim().add_signal("b"), SimulationError);
  EXPECT_THROW(sim().add_cell("U2", "LEVEL_0-ZEB_DL_INVX2", {y, a}), SimulationError);
  EXPECT_THROW(sim().drive_constant(a, '1'), SimulationError);
  EXPECT_THROW(sim().set_tick_length(1000), SimulationError);
  EXPECT_THROW(sim().record_waveforms(), SimulationError);
  EXPECT_THROW(sim().run_until(9), std::invalid_argument);
  EXPECT_THROW(sim().value_at(a, 5), std::logic_error);
}

// A port left open keeps a signal of its own, named after it.
TEST_F(EventKernel, OpenPortsKeepTheirOwnSignal) {
  const SignalId a = sim().add_signal("a");
  sim().add_cell_named("U1", "LEVEL_0-ZEB_DL_DBUFX1", {{"a", a}});
  sim().drive_constant(a, '0');
  sim().run_until(0);
  EXPECT_EQ(sim().value(sim().signal("U1.y")), '0');
  EXPECT_EQ(sim().value(sim().signal("U1.yn")), '1');
}

// A zero-delay loop that never settles stops at the delta limit, naming time and signals.
TEST_F(EventKernel, DeltaLimitStopsAnUnsettledLoop) {
  const SignalId en = sim().add_signal("en"), n1 = sim().add_signal("n1");
  const SignalId n2 = sim().add_signal("n2");
  sim().add_cell("G", "LEVEL_0-ZEB_DL_NAND3", {n2, en, en, n1});
  sim().add_cell_named("B", "LEVEL_0-ZEB_DL_DBUFX1", {{"a", n1}, {"y", n2}});
  sim().drive_timed(en, {{0, '0'}, {10, '1'}});
  host::kernel().events.set_delta_limit(100);
  sim().run_until(9);
  const std::string message = message_of<SimulationError>([&] { sim().run_until(20); });
  EXPECT_TRUE(
      message.starts_with("no stable state at time 10 after 100 delta cycles; still changing: '"))
      << message;
  EXPECT_THROW(sim().run_until(30), SimulationError);
}

}  // namespace

namespace {

// Misuse of the services by a plug-in: the kernel reports it, naming the record, and every
// run afterwards throws.
struct MisuseCase {
  std::string name;
  std::function<void(host::Instance&)> misuse;
  std::string message;
};

void PrintTo(const MisuseCase& c, std::ostream* os) {
  *os << c.name;
}

process_record* process_of(host::Instance& cell) {
  return cell.processes[0].record;
}
driver_record* driver_of(host::Instance& cell) {
  return process_of(cell)->drivers[0];
}

const std::vector<MisuseCase> misuse_cases = {
    {"AssignBeforeTheFirstTransaction",
     [](host::Instance& cell) { assign0d_one_tr(driver_of(cell), 2); },
     "U1.process1.driver0: assign0d_one_tr through a driver that was not activated (handle 0)"},
    {"InertialAssignWithAForeignHandle",
     [](host::Instance& cell) {
       driver_of(cell)->handle = 5;
       conc_inertial_assign_driver_one_tr(driver_of(cell), 2, 10);
     },
     "U1.process1.driver0: conc_inertial_assign_driver_one_tr through a driver that was not "
     "activated (handle 5)"},
    {"ActivateWithAnUnknownHandle",
     [](host::Instance& cell) {
       driver_of(cell)->handle = 77;
       sqs_activate_driver(driver_of(cell));
     },
     "U1.process1.driver0: sqs_activate_driver with handle 77, which names no new transaction"},
    {"ValueOutsideThePositions", [](host::Instance&) { new_transaction(0, 9); },
     "new_transaction: value 9 is not a std_ulogic position 0 to 8"},
    {"ValueWithAHighWord",
     [](host::Instance& cell) {
       driver_of(cell)->handle = new_transaction(0, 2);
       sqs_activate_driver(driver_of(cell));
       assign0d_one_tr(driver_of(cell), (1LL << 32) | 2);
     },
     "U1.process1.driver0: value 4294967298 is not a std_ulogic position 0 to 8"},
    {"TooManyDrivers", [](host::Instance& cell) { set_nb_drivers(process_of(cell), 2); },
     "U1.process1: set_nb_drivers(2); a process has at most one driver"},
    {"SecondDriverInstall",
     [](host::Instance& cell) { add_driver_in_proc_portout_one_source(process_of(cell), 0, 1); },
     "U1.process1: driver 0 was not declared by set_nb_drivers or is installed already"},
    {"WakeUpSlotTaken",
     [](host::Instance& cell) { add_process_in_port_wake_up_list(process_of(cell), 0, 0); },
     "U1.process1: wake-up slot 0 was not allocated or is taken"},
    {"SensitivityMapTwice",
     [](host::Instance& cell) { alloc_sensitivity_map(process_of(cell), 1); },
     "U1.process1: alloc_sensitivity_map(1) is negative or repeated"},
    {"ReturnsWithoutSuspending",
     [](host::Instance& cell) { process_of(cell)->function = [](process_record*) {}; },
     "U1.process1 returned without suspending"},
};

class Misuse : public test::LogicTest, public ::testing::WithParamInterface<MisuseCase> {};

TEST_P(Misuse, IsReportedAndStopsTheRun) {
  const SignalId a = sim().add_signal("a"), y = sim().add_signal("y");
  host::Instance& cell = sim().add_cell("U1", "LEVEL_0-ZEB_DL_INVX2", {a, y});
  GetParam().misuse(cell);
  EXPECT_EQ(message_of<SimulationError>([&] { sim().run_until(10); }), GetParam().message);
  EXPECT_THROW(sim().run_until(20), SimulationError);
}

INSTANTIATE_TEST_SUITE_P(Services, Misuse, ::testing::ValuesIn(misuse_cases),
                         [](const auto& param_info) { return param_info.param.name; });

// Records the kernel never installed, and ports a cell does not have.
TEST_F(EventKernel, UnknownRecordsAndPortsAreReported) {
  process_record stray_process{};
  driver_record stray_driver{};
  set_nb_drivers(&stray_process, 1);
  sqs_activate_driver(&stray_driver);
  host::Instance& bare = design().add("U9", "LEVEL_0-ZEB_DL_INVX2");
  set_nb_drivers(process_of(bare), 1);
  add_driver_in_proc_portout_one_source(process_of(bare), 0, 7);
  const std::vector<std::string>& errors = host::kernel().events.errors();
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_TRUE(errors[0].starts_with("set_nb_drivers: 0x")) << errors[0];
  EXPECT_TRUE(errors[0].ends_with(" is not a process of the design")) << errors[0];
  EXPECT_TRUE(errors[1].ends_with(" is not an installed driver")) << errors[1];
  EXPECT_EQ(errors[2], "U9.process1: port 7 does not exist (the cell has 2)");
}

}  // namespace
