// Runs of the cells' processes against the kernel's services: the first assignment creates and
// activates a transaction, later ones assign through the driver; the corner delay of the
// LEVEL_2 cells; the flip-flop's step order; values outside 0 to 8.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "frame/host_services.h"
#include "host/elaborate.h"
#include "tests/support/host_fixture.h"

namespace {

using Lines = std::vector<std::string>;
// (port, value) pairs; values are std_ulogic positions.
using Inputs = std::vector<std::pair<std::int32_t, std::int64_t>>;

enum : std::int64_t { U, X, F, T, Z, W, L, H, D };

const std::string driver0 = "U1.process1.driver0";

class ProcessRuns : public test::HostTest {
 protected:
  void TearDown() override {
    quel_mintr = 1;
    test::HostTest::TearDown();
  }

  // An elaborated instance; a corner-delay cell gets base 1 ns, these factors and corner 0.
  host::Instance& cell(const std::string& unit) {
    host::Instance& instance = design().add("U1", unit);
    if (unit.starts_with("LEVEL_2-")) {
      instance.generic(5)->value.real = 1e-9;
      instance.generic(6)->value.integer = 0;
      instance.generic(7)->value.array = factors_;
    }
    host::elaborate(instance);
    take_calls();
    return instance;
  }
  static void set(host::Instance& instance, const Inputs& inputs) {
    for (auto [port, value] : inputs)
      *instance.ports[static_cast<std::size_t>(port)]->value = value;
  }
  static Lines run(host::Instance& instance, std::int32_t number) {
    process_record* process = instance.processes[static_cast<std::size_t>(number - 1)].record;
    process->function(process);
    return take_calls();
  }

  double factors_[3] = {1.0, 1.5, 0.5};
};

struct CombinationalCase {
  std::string unit;
  std::int32_t process;
  Inputs first;
  std::int64_t first_value;
  Inputs later;
  std::int64_t later_value;
};

void PrintTo(const CombinationalCase& c, std::ostream* os) {
  *os << c.unit << " process " << c.process;
}

// First runs with every input at 'U', then one combination per cell.
const std::vector<CombinationalCase> combinational_cases = {
    {"LEVEL_0-ZEB_DL_NAND3", 1, {}, U, {{0, T}, {1, T}, {2, H}}, F},
    {"LEVEL_0-ZEB_DL_INVX3", 1, {}, U, {{0, L}}, T},
    {"LEVEL_0-ZEB_DL_INVX2", 1, {}, U, {{0, Z}}, X},
    {"LEVEL_0-ZEB_DL_NOR2I1", 1, {}, U, {{0, T}, {1, F}}, T},
    {"LEVEL_0-ZEB_DL_NOR2I1", 1, {{0, F}}, F, {{0, F}, {1, X}}, F},
    {"LEVEL_0-ZEB_DL_AOI21", 1, {}, U, {{0, F}, {1, X}, {2, H}}, F},
    {"LEVEL_0-ZEB_DL_AOI21", 1, {{0, F}}, U, {{0, T}, {1, H}, {2, F}}, F},
    {"LEVEL_0-ZEB_DL_XOR2", 1, {}, U, {{0, T}, {1, L}}, T},
    {"LEVEL_0-ZEB_DL_XNOR2", 1, {}, U, {{0, H}, {1, T}}, T},
    {"LEVEL_0-ZEB_DL_DBUFX1", 1, {}, U, {{0, Z}}, Z},
    {"LEVEL_0-ZEB_DL_DBUFX1", 1, {{0, D}}, D, {{0, W}}, W},
    {"LEVEL_0-ZEB_DL_DBUFX1", 2, {}, U, {{0, Z}}, X},
    {"LEVEL_0-ZEB_DL_DBUFX1", 2, {{0, D}}, X, {{0, L}}, T},
    {"LEVEL_2-ZEB_DL_AOI21", 1, {}, U, {{0, T}, {1, T}, {2, F}}, F},
    {"LEVEL_2-ZEB_DL_XNOR2", 1, {}, U, {{0, F}, {1, L}}, T},
    {"LEVEL_2-ZEB_DL_BUFX2", 1, {}, U, {{0, H}}, H},
    {"LEVEL_2-ZEB_DL_OR2", 1, {{1, F}}, U, {{0, F}, {1, H}}, T},
};

class Combinational : public ProcessRuns,
                      public ::testing::WithParamInterface<CombinationalCase> {};

// The first run creates and activates; every later run assigns, even an unchanged value.
TEST_P(Combinational, FirstRunCreatesLaterRunsAssign) {
  const CombinationalCase& c = GetParam();
  host::Instance& instance = cell(c.unit);
  const bool delayed = c.unit.starts_with("LEVEL_2-");
  const std::string process = "U1.process" + std::to_string(c.process);
  const std::string driver = process + ".driver0";
  const std::string delay = delayed ? "1000000" : "0";
  auto later = [&](std::int64_t value) {
    return delayed ? "conc_inertial_assign_driver_one_tr(" + driver + ", " + std::to_string(value) +
                         ", " + delay + ")"
                   : "assign0d_one_tr(" + driver + ", " + std::to_string(value) + ")";
  };
  const std::string suspend = "sqs_desactivate_process(" + process + ")";

  set(instance, c.first);
  EXPECT_EQ(run(instance, c.process),
            (Lines{"new_transaction(" + delay + ", " + std::to_string(c.first_value) + ")",
                   "sqs_activate_driver(" + driver + ")", suspend}));
  const std::int32_t handle = instance.processes[c.process - 1].record->drivers[0]->handle;
  EXPECT_NE(handle, 0);

  set(instance, c.later);
  EXPECT_EQ(run(instance, c.process), (Lines{later(c.later_value), suspend}));
  EXPECT_EQ(run(instance, c.process), (Lines{later(c.later_value), suspend}));
  EXPECT_EQ(instance.processes[c.process - 1].record->drivers[0]->handle, handle);
  EXPECT_TRUE(host::kernel().events.errors().empty()) << host::kernel().events.errors().front();
}

INSTANTIATE_TEST_SUITE_P(LogicCells, Combinational, ::testing::ValuesIn(combinational_cases));

// A port value outside 0 to 8 (its low 32 bits) reads as 'X'.
struct OutOfRangeCase {
  std::string unit;
  Inputs inputs;
  std::int64_t value;
};

void PrintTo(const OutOfRangeCase& c, std::ostream* os) {
  *os << c.unit;
}

class OutOfRange : public ProcessRuns, public ::testing::WithParamInterface<OutOfRangeCase> {};

TEST_P(OutOfRange, ReadsAsX) {
  host::Instance& instance = cell(GetParam().unit);
  set(instance, GetParam().inputs);
  EXPECT_EQ(run(instance, 1).front(),
            "new_transaction(0, " + std::to_string(GetParam().value) + ")");
}

INSTANTIATE_TEST_SUITE_P(
    LogicCells, OutOfRange,
    ::testing::Values(OutOfRangeCase{"LEVEL_0-ZEB_DL_INVX2", {{0, 9}}, X},
                      OutOfRangeCase{"LEVEL_0-ZEB_DL_NAND3", {{0, 1000}, {1, T}, {2, T}}, X},
                      OutOfRangeCase{"LEVEL_0-ZEB_DL_NAND3", {{0, -1}, {1, F}, {2, T}}, T},
                      OutOfRangeCase{"LEVEL_0-ZEB_DL_XOR2", {{0, T}, {1, 0x7FFFFFFF}}, X},
                      OutOfRangeCase{"LEVEL_0-ZEB_DL_DBUFX1", {{0, 0xFFFFFFFFLL}}, X},
                      // The high word is not part of the position.
                      OutOfRangeCase{"LEVEL_0-ZEB_DL_INVX3", {{0, (1LL << 32) | F}}, T}));

// The corner delay of a LEVEL_2 cell at each run, with its reports.
struct DelayCase {
  std::string name;
  std::int64_t tick_fs;
  double base;
  std::int64_t corner;
  double temperature;
  std::int64_t delay;
  bool reported;
};

void PrintTo(const DelayCase& c, std::ostream* os) {
  *os << c.name;
}

constexpr std::int64_t int64_max = std::numeric_limits<std::int64_t>::max();

// Factors {1.0, 1.5, 0.5}.
const std::vector<DelayCase> delay_cases = {
    {"OneNanosecondAtOneFemtosecond", 1, 1e-9, 0, 27.0, 1000000, false},
    {"OneNanosecondAtOnePicosecond", 1000, 1e-9, 0, 27.0, 1000, false},
    {"TickOfOneSecond", 1000000000000000, 2.5, 0, 27.0, 2, false},
    {"TickAboveOneSecond", 1000000000000001, 2.5, 0, 27.0, 0, false},
    {"Corner1", 1, 1e-9, 1, 27.0, 1500000, false},
    {"Corner2", 1, 1e-9, 2, 27.0, 500000, false},
    {"Corner3ReportsAndUsesCorner0", 1, 1e-9, 3, 27.0, 1000000, true},
    {"CornerMinus1ReportsAndUsesCorner0", 1, 1e-9, -1, 27.0, 1000000, true},
    {"Derating127", 1, 1e-9, 0, 127.0, 1290000, false},
    {"DeratingMinus73", 1, 1e-9, 0, -73.0, 710000, false},
    {"Derating28FloorsTheProduct", 1, 1e-9, 0, 28.0, 1002899, false},
    {"Derating26", 1, 1e-9, 0, 26.0, 997100, false},
    // floor(floor(floor(1.5) * 1.5) * 1.29) = 1, where one rounding of 2.9 gives 2.
    {"RoundedDownAfterEachFactor", 1, 1.5e-15, 1, 127.0, 1, false},
    {"SaturatesAtTheLargestDelay", 1, 1e10, 0, 27.0, int64_max, false},
    {"NegativeDeratingGivesZero", 1, 1e-9, 0, -1000.0, 0, false},
    {"NegativeBaseGivesZero", 1, -1e-9, 0, 27.0, 0, false},
    {"NotANumberGivesZero", 1, std::nan(""), 0, 27.0, 0, false},
};

class CornerDelay : public ProcessRuns, public ::testing::WithParamInterface<DelayCase> {};

TEST_P(CornerDelay, RecomputedAtEveryRun) {
  const DelayCase& c = GetParam();
  host::Instance& instance = cell("LEVEL_2-ZEB_DL_BUFX2");
  quel_mintr = c.tick_fs;
  instance.generic(5)->value.real = c.base;
  instance.generic(6)->value.integer = c.corner;
  design().declared().derating()->value.real = c.temperature;
  const std::string delay = std::to_string(c.delay);
  const Lines report =
      c.reported ? Lines{"vams_error(4, " + std::to_string(c.corner) + ", 0, 2)"} : Lines{};
  auto with_report = [&](Lines lines) {
    lines.insert(lines.begin(), report.begin(), report.end());
    return lines;
  };
  const std::string suspend = "sqs_desactivate_process(U1.process1)";

  set(instance, {{0, T}});
  EXPECT_EQ(run(instance, 1), with_report({"new_transaction(" + delay + ", 3)",
                                           "sqs_activate_driver(" + driver0 + ")", suspend}));
  set(instance, {{0, F}});
  EXPECT_EQ(run(instance, 1),
            with_report({"conc_inertial_assign_driver_one_tr(" + driver0 + ", 2, " + delay + ")",
                         suspend}));
  EXPECT_EQ(host::kernel().reports.size(), c.reported ? 2u : 0u);
}

INSTANTIATE_TEST_SUITE_P(LogicCells, CornerDelay, ::testing::ValuesIn(delay_cases),
                         [](const auto& param_info) { return param_info.param.name; });

// Without a tick length there is nothing to divide by: no delay, and no report either.
TEST_F(ProcessRuns, ZeroTickLengthGivesNoDelayAndNoReport) {
  host::Instance& instance = cell("LEVEL_2-ZEB_DL_OR2");
  instance.generic(6)->value.integer = 3;
  quel_mintr = 0;
  set(instance, {{0, T}, {1, F}});
  EXPECT_EQ(run(instance, 1).front(), "new_transaction(0, 3)");
  EXPECT_TRUE(host::kernel().reports.empty());
}

// Flip-flop runs in sequence on one instance: ports d, clk, rn; clk_event sets the clock
// signal's event bit for that run.
struct FlipFlopStep {
  std::int64_t d, clk, rn;
  bool clk_event;
  Lines after_suspend;
};

TEST_F(ProcessRuns, FlipFlopSuspendsFirstAndAssignsOnResetOrEdge) {
  host::Instance& instance = cell("LEVEL_0-ZEB_DL_DFFR");
  const std::string first = "new_transaction(0, 2)";
  const std::string activate = "sqs_activate_driver(" + driver0 + ")";
  auto assign = [](std::int64_t v) {
    return "assign0d_one_tr(" + driver0 + ", " + std::to_string(v) + ")";
  };
  const std::vector<FlipFlopStep> steps = {
      {T, T, T, false, {}},                 // clock at '1' without an event: nothing
      {T, T, F, false, {first, activate}},  // reset '0' creates the first transaction
      {H, T, T, true, {assign(H)}},         // edge: d as it is
      {T, H, T, true, {}},                  // an event leaving 'H' is no edge
      {F, T, T, false, {}},                 // no event, no sample
      {T, F, L, true, {}},                  // 'L' does not reset
      {T, T, F, true, {assign(F)}},         // reset wins over the edge
      {42, T, W, true, {assign(X)}},        // d outside 0 to 8 reads as 'X'
  };
  signal_record* clock = instance.ports[1]->signal;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const FlipFlopStep& s = steps[i];
    set(instance, {{0, s.d}, {1, s.clk}, {2, s.rn}});
    clock->flags = s.clk_event ? signal_event : 0;
    Lines expected{"sqs_desactivate_process(U1.process1)"};
    expected.insert(expected.end(), s.after_suspend.begin(), s.after_suspend.end());
    EXPECT_EQ(run(instance, 1), expected) << "step " << i;
    if (i == 0) {
      EXPECT_EQ(instance.processes[0].record->drivers[0]->handle, 0);
    }
  }
}

// The LEVEL_2 cells grow the generic array to hold slot 9 whatever its count, clear the new
// slots and bind slot 9 to the derating object.
TEST_F(ProcessRuns, GenericArrayGrowsToTheDeratingSlot) {
  for (const std::int32_t count : {3, 8, 12}) {
    SCOPED_TRACE(count);
    host::Instance& instance = design().add("U" + std::to_string(count), "LEVEL_2-ZEB_DL_OR2");
    instance_record* record = instance.record;
    record->generics = static_cast<generic_record**>(
        host::kernel().memory.reallocate(record->generics, 12 * sizeof(void*)));
    host::kernel().names.name(record->generics, instance.name + ".generics");
    for (std::int32_t g = 8; g < 12; ++g) record->generics[g] = record->generics[0];
    record->generic_count = count;
    std::vector<generic_record*> before(record->generics, record->generics + count);
    take_calls();
    host::run_phase(instance, 0);
    const std::size_t slots = static_cast<std::size_t>(std::max(count + 2, 10));
    EXPECT_EQ(take_calls()[2], "vams_realloc(U" + std::to_string(count) + ".generics, " +
                                   std::to_string(slots * sizeof(void*)) + ")");
    EXPECT_EQ(record->generic_count, count);
    for (std::int32_t g = 0; g < std::min(count, 9); ++g) EXPECT_EQ(record->generics[g], before[g]);
    for (std::size_t g = static_cast<std::size_t>(count); g < slots; ++g) {
      if (g != 9) {
        EXPECT_EQ(record->generics[g], nullptr) << g;
      }
    }
    EXPECT_EQ(record->generics[9], design().declared().derating());
  }
}

}  // namespace
