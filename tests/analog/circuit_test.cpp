// Building circuits: what the API refuses, with messages that name the element, and the
// analog elaboration order the engine drives.
#include "host/analog/circuit.h"

#include <gtest/gtest.h>

#include <functional>

#include "host/analog/analysis_error.h"
#include "host/analog/operating_point.h"
#include "host/kernel.h"
#include "tests/analog/analog_fixture.h"

namespace {

using host::analog::Circuit;
using host::analog::CircuitError;
using host::analog::Pwl;
using host::analog::Waveform;

struct BadCircuit {
  const char* name;
  std::function<void(test::AnalogTest&, Circuit&)> build;
  const char* message;
  friend void PrintTo(const BadCircuit& c, std::ostream* out) { *out << c.name; }
};

class CircuitErrorTest : public test::AnalogTest,
                         public ::testing::WithParamInterface<BadCircuit> {};

TEST_P(CircuitErrorTest, IsRefusedNamingTheElement) {
  try {
    GetParam().build(*this, circuit());
    host::analog::operating_point(circuit());
    FAIL() << "accepted";
  } catch (const CircuitError& error) {
    EXPECT_STREQ(error.what(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, CircuitErrorTest,
    ::testing::Values(
        BadCircuit{"MissingPort",
                   [](auto&, Circuit& c) { c.unit("R1", "LEVEL_0-ZEB_RES_2P", {"a"}); },
                   "instance 'R1' (LEVEL_0-ZEB_RES_2P) has 2 ports (p, n); 1 nodes given"},
        BadCircuit{"UnknownDeliverable",
                   [](auto&, Circuit& c) {
                     c.unit("R1", "LEVEL_9-NOTHING", {"a", "0"});
                   },
                   "instance 'R1': unknown deliverable 'LEVEL_9-NOTHING'"},
        BadCircuit{"DigitalUnit",
                   [](auto&, Circuit& c) {
                     c.unit("U1", "LEVEL_0-ZEB_DL_INVX2", {"a", "y"});
                   },
                   "instance 'U1': LEVEL_0-ZEB_DL_INVX2 is a digital unit; the analog engine "
                   "takes analog units"},
        BadCircuit{"UnknownGeneric",
                   [](auto&, Circuit& c) {
                     c.unit("R1", "LEVEL_0-ZEB_RES_2P", {"a", "0"}, {{"OHMS", 1.0}});
                   },
                   "instance R1: LEVEL_0-ZEB_RES_2P has no generic 'OHMS'"},
        BadCircuit{"GenericPosition",
                   [](auto&, Circuit& c) {
                     c.unit("R1", "LEVEL_0-ZEB_RES_2P", {"a", "0"}, {{19, 1.0}});
                   },
                   "instance 'R1' (LEVEL_0-ZEB_RES_2P): generic position 19 outside 0 to 18"},
        BadCircuit{"DuplicateName",
                   [](auto&, Circuit& c) {
                     c.voltage_source("X", "a", "0", Waveform::dc(1.0));
                     c.unit("X", "LEVEL_0-ZEB_RES_2P", {"a", "0"});
                   },
                   "element 'X' defined twice"},
        BadCircuit{"PwlOutOfOrder",
                   [](auto&, Circuit& c) {
                     c.voltage_source("V1", "a", "0",
                                      Waveform::pwl(Pwl{{{0.0, 0.0}, {2.0, 1.0}, {1.0, 0.0}}}));
                   },
                   "source 'V1': PWL times not increasing at point 3"},
        BadCircuit{"NoNodes",
                   [](auto&, Circuit& c) { c.current_source("I1", "0", "gnd", Waveform::dc(1.0)); },
                   "the circuit has no node besides the reference"},
        BadCircuit{"BadReservation",
                   [](test::AnalogTest& fixture, Circuit&) {
                     fixture.add("X1", test::bad_reservation(), {"a", "0"}, {{0, 1.0}});
                   },
                   "instance 'X1' (TEST-BAD-RESERVATION) at analog elaboration: reserves matrix "
                   "location 1 at row pin 3, column pin 1 but has 2 pins and 0 states"},
        BadCircuit{"AddedAfterAnalysis",
                   [](auto&, Circuit& c) {
                     c.voltage_source("V1", "a", "0", Waveform::dc(1.0));
                     c.unit("R1", "LEVEL_0-ZEB_RES_2P", {"a", "0"});
                     host::analog::operating_point(c);
                     c.unit("R2", "LEVEL_0-ZEB_RES_2P", {"a", "0"});
                   },
                   "element 'R2' added after analysis began"}),
    [](const auto& entry) { return std::string(entry.param.name); });

// The engine drives each analog unit through set-up, check, then ams__elab_tavo_1 to _3 with
// the instance current, and records what the unit declared.
class ElaborationTest : public test::AnalogTest {};

TEST_F(ElaborationTest, RunsTheAnalogStepsInOrder) {
  circuit().voltage_source("V1", "a", "0", Waveform::dc(1.0));
  circuit().unit("C1", "LEVEL_0-ZEB_CAP_2P", {"a", "0"}, {{18, 1e-9}});
  host::kernel().trace.enable(true);
  circuit().elaborate();
  const std::vector<std::string> expected_tail{"bb_RF_setup()",
                                               "Init_DDT_Pin(1)",
                                               "Init_DDT_Pin(2)",
                                               "bb_RF_der()",
                                               "index_objet_courant()",
                                               "Set_Deriv(2)",
                                               "fdr_reserve_mat_loc(1, 80, 1, 80, 1)",
                                               "fdr_reserve_mat_loc(2, 80, 1, 80, 2)",
                                               "fdr_reserve_mat_loc(3, 80, 2, 80, 1)",
                                               "fdr_reserve_mat_loc(4, 80, 2, 80, 2)"};
  const auto& calls = host::kernel().trace.calls();
  ASSERT_GE(calls.size(), expected_tail.size());
  EXPECT_EQ(calls.front(), "vams_calloc(1, 12)");
  EXPECT_EQ(
      std::vector<std::string>(calls.end() - static_cast<long>(expected_tail.size()), calls.end()),
      expected_tail);
  const auto& instance = *circuit().units()[0].instance;
  const auto* declared = host::kernel().analog.find_declarations(instance.object_index);
  ASSERT_NE(declared, nullptr);
  EXPECT_TRUE(declared->loads_jacobian());
  EXPECT_EQ(declared->derivative_pins(), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(instance.record->object_index, instance.object_index);
}

}  // namespace
