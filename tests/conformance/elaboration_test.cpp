// Set-up, check and process phases of all 49 deliverables: the ordered host calls and the
// record writes of each phase, and the phases that must do nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "frame/host_services.h"
#include "host/elaborate.h"
#include "tests/support/host_fixture.h"
#include "tests/support/record_snapshot.h"

namespace {

using Lines = std::vector<std::string>;

struct ElaborationCase {
  std::string unit;
  Lines setup_calls;
  Lines check_calls;
  Lines check_writes;  // after every pin flag byte is preset to 0x81
};

std::string ptr_bytes(int slots) {
  return std::to_string(slots * sizeof(void*));
}

const std::string calloc_rg = "vams_calloc(1, 12)";
const std::string end_computed = "add_endComputed(U1, fn, 3)";

ElaborationCase analog(std::string unit, Lines setup_middle, Lines check_calls,
                       Lines check_writes) {
  Lines setup{calloc_rg};
  setup.insert(setup.end(), setup_middle.begin(), setup_middle.end());
  setup.push_back(end_computed);
  return {std::move(unit), setup, std::move(check_calls), std::move(check_writes)};
}

const Lines stages_values{"inc_range_table_size(2)", "inc_value_table_size(1)",
                          "inc_value_scal_table_size(1)"};

ElaborationCase mos20hs(std::string unit) {
  return analog(std::move(unit), stages_values,
                {"sim_update_qexplt(U1.q5)", "sim_update_qexplt(U1.q3)"},
                {"U1.state_count = 1", "U1.q1.state_number = 1"});
}

ElaborationCase mos50v(std::string unit, bool level2) {
  return analog(
      std::move(unit), level2 ? stages_values : Lines{"inc_range_table_size(1)"},
      {"sim_update_qexplt(U1.q9)", "sim_update_qexplt(U1.q7)", "sim_update_qexplt(U1.q3)"},
      {"U1.state_count = 2", "U1.q1.state_number = 1", "U1.q5.state_number = 2"});
}

// Quantities 5 and 11 (watched by above signals 1 and 3 of the P and the N unit) are 1.0,
// quantity 3 is 2.0, quantity 4 is 0.5.
ElaborationCase mos_base(std::string unit, bool p_unit) {
  const std::string t1 = p_unit ? "0.5" : "2";
  const std::string t3 = p_unit ? "2" : "0.5";
  Lines writes{"U1.state_count = 2", "U1.pin3.flags = 0x83", "U1.q1.state_number = 1",
               "U1.q2.state_number = 2"};
  if (p_unit) writes.insert(writes.end(), {"U1.above1.state_copy = 1", "U1.above1.state = 1"});
  writes.insert(writes.end(), {"U1.above1.threshold = " + t1, "U1.above1.threshold_function = fn",
                               "U1.above1.owner = U1"});
  if (!p_unit) writes.insert(writes.end(), {"U1.above3.state_copy = 1", "U1.above3.state = 1"});
  writes.insert(writes.end(), {"U1.above3.threshold = " + t3, "U1.above3.threshold_function = fn",
                               "U1.above3.owner = U1"});
  return analog(std::move(unit), {},
                {"update_blk_sig(U1.above0)", "update_blk_sig(U1.above1)",
                 "update_blk_sig(U1.above2)", "update_blk_sig(U1.above3)"},
                writes);
}

ElaborationCase cell(std::string unit, bool delayed) {
  Lines setup{calloc_rg};
  if (delayed) {
    setup.insert(setup.end(), {"inc_range_table_size(1)",
                               "vams_realloc(U1.generics, " + ptr_bytes(8 + 2) + ")"});
  }
  return {std::move(unit), setup, {}, {"U1.state_count = 0"}};
}

ElaborationCase structural(std::string unit, int flagged) {
  Lines writes{"U1.state_count = 0"};
  for (int n = 1; n <= flagged; ++n)
    writes.push_back("U1.pin" + std::to_string(n) + ".flags = 0x83");
  return {std::move(unit), {calloc_rg}, {}, writes};
}

const std::vector<ElaborationCase> cases = {
    analog("DEFAULT-ZEB_ISRC", {},
           {"sim_update_qexplt(U1.q2)", "sim_update_qexplt(U1.q5)", "sim_update_qexplt(U1.q3)",
            "sim_update_qexplt(U1.q4)", "sim_update_qexplt(U1.q1)"},
           {"U1.state_count = 0"}),
    mos20hs("LEVEL_2-ZEB_PMOS20HS_W5UL1P8U"),
    mos20hs("LEVEL_0-ZEB_PMOS20HS_W5UL1P8U"),
    mos20hs("LEVEL_2-ZEB_NMOS20HS_W5UL1P8U"),
    mos20hs("LEVEL_0-ZEB_NMOS20HS_W5UL1P8U"),
    mos50v("LEVEL_2-PMOS50Y_W100UL1U", true),
    mos50v("LEVEL_0-PMOS50Y_W100UL1U", false),
    mos50v("LEVEL_2-NMOSI50Y_W100UL0U5", true),
    mos50v("LEVEL_0-NMOSI50Y_W100UL0U5", false),
    mos_base("DEFAULT-ZEB_PMOS_MOD_BASE", true),
    mos_base("DEFAULT-ZEB_NMOS_MOD_BASE", false),
    analog("LEVEL_2-ZEB_RES_2P", {"inc_range_table_size(2)"},
           {"sim_update_qexplt(U1.q3)", "sim_update_qexplt(U1.q5)"},
           {"U1.state_count = 1", "U1.q1.state_number = 1"}),
    analog("LEVEL_0-ZEB_RES_2P", {}, {}, {"U1.state_count = 1", "U1.q1.state_number = 1"}),
    analog("LEVEL_0-ZEB_PAD_RES61", {}, {}, {"U1.state_count = 1", "U1.q1.state_number = 1"}),
    analog("LEVEL_0-ZEB_CAP_2P", {}, {"sim_update_qexplt(U1.q1)"}, {"U1.state_count = 0"}),
    cell("LEVEL_2-ZEB_DL_AOI21", true),
    cell("LEVEL_2-ZEB_DL_XNOR2", true),
    cell("LEVEL_2-ZEB_DL_BUFX2", true),
    cell("LEVEL_2-ZEB_DL_OR2", true),
    cell("LEVEL_0-ZEB_DL_NAND3", false),
    cell("LEVEL_0-ZEB_DL_INVX3", false),
    cell("LEVEL_0-ZEB_DL_INVX2", false),
    cell("LEVEL_0-ZEB_DL_NOR2I1", false),
    cell("LEVEL_0-ZEB_DL_DFFR", false),
    cell("LEVEL_0-ZEB_DL_AOI21", false),
    cell("LEVEL_0-ZEB_DL_XOR2", false),
    cell("LEVEL_0-ZEB_DL_XNOR2", false),
    cell("LEVEL_0-ZEB_DL_DBUFX1", false),
    structural("LEVEL_0-ZEB_PAD_DIN", 0),
    structural("LEVEL_2-ZEB_PAD_DIN", 0),
    structural("LEVEL_0-ZEB_PAD_DOUT", 0),
    structural("LEVEL_2-ZEB_PAD_DOUT", 0),
    structural("LEVEL_0-ZEB_PAD_TRI", 0),
    structural("LEVEL_2-ZEB_PAD_TRI", 0),
    structural("LEVEL_0-ZEB_PAD_NFET", 0),
    structural("LEVEL_2-ZEB_PAD_NFET", 0),
    structural("LEVEL_0-ZEB_PAD_PFET", 0),
    structural("LEVEL_2-ZEB_PAD_PFET", 0),
    structural("LEVEL_0-ZEB_PAD_ANA_BASIC", 6),
    structural("LEVEL_2-ZEB_PAD_ANA_BASIC", 6),
    structural("IDEAL-ZEB_NMOS_MOD", 3),
    structural("IDEAL-ZEB_PMOS_MOD", 3),
    structural("DETAILED-ZEB_NFET_BASIC", 3),
    structural("DETAILED-ZEB_PFET_BASIC", 3),
    structural("MONITOR-ZEB_MONITOR_SUPPLY_3V3", 2),
    structural("MONITOR-ZEB_MONITOR_SUPPLY_5V", 2),
    structural("MONITOR-ZEB_MONITOR_SUPPLY_20V", 2),
    structural("MONITOR-ZEB_MONITOR_SUPPLY_50V", 2),
    {"ZEB_HVSW_PACKAGE", {calloc_rg}, {}, {}},
};

void PrintTo(const ElaborationCase& c, std::ostream* os) {
  *os << c.unit;
}

Lines sorted(Lines lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

class Elaboration : public test::HostTest, public ::testing::WithParamInterface<ElaborationCase> {
 protected:
  host::Instance& add_instance() {
    host::Instance& instance = design().add("U1", GetParam().unit);
    take_calls();
    return instance;
  }

  // Presets the fields a check phase writes, so that each write shows.
  static void preset(host::Instance& instance) {
    instance.record->state_count = 0x5A5A;
    for (std::int32_t n = 1; n <= instance.entry->pin_count(); ++n) instance.pin(n)->flags = 0x81;
    if (!instance.entry->watched.empty()) {
      *instance.quantity(3)->value = 2.0;
      *instance.quantity(4)->value = 0.5;
      *instance.quantity(5)->value = 1.0;
      *instance.quantity(11)->value = 1.0;
    }
  }
};

TEST_P(Elaboration, SetUpPhaseCallsInOrder) {
  host::Instance& instance = add_instance();
  const bool delayed_cell = GetParam().unit.starts_with("LEVEL_2-ZEB_DL_");
  const test::RecordSnapshot before(instance);
  sim_digital_analog_interaction = 0;
  host::run_phase(instance, 0);
  EXPECT_EQ(take_calls(), GetParam().setup_calls);
  EXPECT_EQ(sim_digital_analog_interaction, instance.entry->watched.empty() ? 0 : 1);
  if (!delayed_cell) {
    EXPECT_EQ(before.writes_since(), Lines{});
  }
}

TEST_P(Elaboration, CheckPhaseCallsAndWrites) {
  host::Instance& instance = add_instance();
  host::run_phase(instance, 0);
  preset(instance);
  take_calls();
  const test::RecordSnapshot before(instance);
  host::run_phase(instance, -1);
  EXPECT_EQ(take_calls(), GetParam().check_calls);
  EXPECT_EQ(sorted(before.writes_since()), sorted(GetParam().check_writes));
  EXPECT_TRUE(host::kernel().reports.empty()) << host::kernel().reports.front().text;
}

// Phases a unit does not handle: every record unchanged, no call.
TEST_P(Elaboration, OtherPhasesDoNothing) {
  host::Instance& instance = add_instance();
  host::run_phase(instance, 0);
  host::run_phase(instance, -1);
  std::vector<std::int32_t> phases{7, -2, 1000, -1000};
  const auto processes = static_cast<std::int32_t>(instance.processes.size());
  phases.push_back(processes + 1);
  take_calls();
  const test::RecordSnapshot before(instance);
  for (std::int32_t phase : phases) host::run_process_phase(instance, phase);
  EXPECT_EQ(take_calls(), Lines{});
  EXPECT_EQ(before.writes_since(), Lines{});
}

INSTANTIATE_TEST_SUITE_P(AllDeliverables, Elaboration, ::testing::ValuesIn(cases),
                         [](const auto& param_info) {
                           std::string name = param_info.param.unit;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(ElaborationTable, CoversEveryDeliverable) {
  for (const host::CatalogEntry& entry : host::catalog()) {
    EXPECT_TRUE(std::any_of(cases.begin(), cases.end(), [&](const ElaborationCase& c) {
      return c.unit == entry.name;
    })) << entry.name;
  }
}

// Process phases of the logic cells: the process function, one driver on the output port,
// the wake-up ports slot by slot.
struct ProcessCase {
  std::string unit;
  std::int32_t number;
  std::int32_t output;
  std::vector<std::int32_t> wake;
};

const std::vector<ProcessCase> process_cases = {
    {"LEVEL_0-ZEB_DL_NAND3", 1, 3, {0, 1, 2}}, {"LEVEL_0-ZEB_DL_INVX3", 1, 1, {0}},
    {"LEVEL_0-ZEB_DL_INVX2", 1, 1, {0}},       {"LEVEL_0-ZEB_DL_NOR2I1", 1, 2, {0, 1}},
    {"LEVEL_0-ZEB_DL_AOI21", 1, 3, {0, 1, 2}}, {"LEVEL_0-ZEB_DL_XOR2", 1, 2, {0, 1}},
    {"LEVEL_0-ZEB_DL_XNOR2", 1, 2, {0, 1}},    {"LEVEL_0-ZEB_DL_DBUFX1", 1, 1, {0}},
    {"LEVEL_0-ZEB_DL_DBUFX1", 2, 2, {0}},      {"LEVEL_0-ZEB_DL_DFFR", 1, 3, {1, 2}},
    {"LEVEL_2-ZEB_DL_AOI21", 1, 3, {0, 1, 2}}, {"LEVEL_2-ZEB_DL_XNOR2", 1, 2, {0, 1}},
    {"LEVEL_2-ZEB_DL_BUFX2", 1, 1, {0}},       {"LEVEL_2-ZEB_DL_OR2", 1, 2, {0, 1}},
};

void PrintTo(const ProcessCase& c, std::ostream* os) {
  *os << c.unit << " process " << c.number;
}

class ProcessPhase : public test::HostTest, public ::testing::WithParamInterface<ProcessCase> {};

TEST_P(ProcessPhase, InstallsProcessDriverAndWakeUps) {
  const ProcessCase& c = GetParam();
  host::Instance& instance = design().add("U1", c.unit);
  host::run_phase(instance, 0);
  host::run_phase(instance, -1);
  take_calls();
  const test::RecordSnapshot before(instance);
  host::run_process_phase(instance, c.number);

  const std::string process = "U1.process" + std::to_string(c.number);
  Lines expected{
      "set_nb_drivers(" + process + ", 1)",
      "add_driver_in_proc_portout_one_source(" + process + ", 0, " + std::to_string(c.output) + ")",
      "alloc_sensitivity_map(" + process + ", " + std::to_string(c.wake.size()) + ")"};
  for (std::size_t slot = 0; slot < c.wake.size(); ++slot) {
    expected.push_back("add_process_in_port_wake_up_list(" + process + ", " +
                       std::to_string(c.wake[slot]) + ", " + std::to_string(slot) + ")");
  }
  EXPECT_EQ(take_calls(), expected);
  EXPECT_EQ(before.writes_since(), Lines{process + ".function = fn"});
}

INSTANTIATE_TEST_SUITE_P(LogicCells, ProcessPhase, ::testing::ValuesIn(process_cases),
                         [](const auto& param_info) {
                           std::string name = param_info.param.unit + "_" +
                                              std::to_string(param_info.param.number);
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

using ElaborationDetails = test::HostTest;

// The delayed cells grow the generic array by two pointer slots, keep the count, and bind
// slot 9 to the derating object of declaration 2.
TEST_F(ElaborationDetails, DelayedCellBindsDeratingSlot) {
  host::Instance& instance = design().add("U1", "LEVEL_2-ZEB_DL_OR2");
  generic_record* before[8];
  std::copy_n(instance.record->generics, 8, before);
  host::run_phase(instance, 0);
  EXPECT_EQ(instance.record->generic_count, 8);
  EXPECT_TRUE(std::equal(before, before + 8, instance.record->generics));
  EXPECT_EQ(instance.record->generics[9], design().declared().derating());
}

TEST_F(ElaborationDetails, TwoInstancesRegisterTheirOwnCallbacks) {
  host::Instance& first = design().add("U1", "LEVEL_0-ZEB_CAP_2P");
  host::Instance& second = design().add("U2", "LEVEL_0-ZEB_CAP_2P");
  host::run_phase(first, 0);
  host::run_phase(second, 0);
  EXPECT_EQ(take_calls(), (Lines{calloc_rg, "add_endComputed(U1, fn, 3)", calloc_rg,
                                 "add_endComputed(U2, fn, 3)"}));
  const auto& callbacks = host::kernel().end_computed;
  ASSERT_EQ(callbacks.size(), 2u);
  EXPECT_EQ(callbacks[0].instance, first.record);
  EXPECT_EQ(callbacks[1].instance, second.record);
  EXPECT_EQ(callbacks[0].callback, callbacks[1].callback);
}

TEST_F(ElaborationDetails, PackageAnswersCheckPhaseWithoutCalls) {
  host::Instance& instance = design().add("P1", "ZEB_HVSW_PACKAGE");
  host::run_phase(instance, 0);
  take_calls();
  const test::RecordSnapshot before(instance);
  host::run_phase(instance, -1);
  EXPECT_EQ(take_calls(), Lines{});
  EXPECT_EQ(before.writes_since(), Lines{});
}

// A watched value equal to its threshold gives state 0.
TEST_F(ElaborationDetails, AboveStateIsZeroAtThreshold) {
  host::Instance& instance = design().add("U1", "DEFAULT-ZEB_NMOS_MOD_BASE");
  host::run_phase(instance, 0);
  *instance.quantity(3)->value = 1.0;
  *instance.quantity(4)->value = 1.0;
  *instance.quantity(11)->value = 1.0;
  instance.above(1)->state = instance.above(3)->state = 7;
  host::run_phase(instance, -1);
  EXPECT_EQ(instance.above(1)->state, 0);
  EXPECT_EQ(instance.above(3)->state_copy, 0);
  EXPECT_EQ(instance.above(1)->threshold, 1.0);
}

}  // namespace
