// The analog protocol of the first units: elaboration of states and matrix locations, the
// real and small-signal iterations and the end-of-solution callback, as host call traces.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "frame/host_services.h"
#include "host/elaborate.h"
#include "host/generics.h"
#include "tests/support/host_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class AnalogProtocol : public test::HostTest {
 protected:
  host::Instance& elaborated(std::string_view unit) {
    host::Instance& instance = design().add("U1", unit);
    host::elaborate(instance);
    host::kernel().fixed_pins = &pins_;
    take_calls();
    return instance;
  }
  void tavo(host::Instance& instance, int which) {
    instance.plugin->table->ams_elab_tavo->tavo[which - 1](instance.record);
  }
  void iterate(host::Instance& instance, std::int32_t flag) {
    instance.plugin->table->ams_each_iter->each_iter(instance.record, flag);
  }
  void iterate_ac(host::Instance& instance, std::int32_t flag) {
    instance.plugin->table->ams_each_iter->each_iter_ac(instance.record, flag);
  }
  // Only the calls that hand values to the host.
  static Lines loads(const Lines& calls) {
    Lines kept;
    for (const std::string& call : calls) {
      if (call.starts_with("Set_Ipin") || call.starts_with("Solve_State") ||
          call.starts_with("fas_add") || call.starts_with("vams_error")) {
        kept.push_back(call);
      }
    }
    return kept;
  }

  host::FixedPins pins_;
};

struct TavoCase {
  std::string unit;
  Lines tavo_1, tavo_2, tavo_3;
};

void PrintTo(const TavoCase& c, std::ostream* os) {
  *os << c.unit;
}

const Lines resistor_locations{
    "fdr_reserve_mat_loc(1, 80, 1, 83, 1)", "fdr_reserve_mat_loc(2, 80, 2, 83, 1)",
    "fdr_reserve_mat_loc(3, 83, 1, 80, 1)", "fdr_reserve_mat_loc(4, 83, 1, 80, 2)",
    "fdr_reserve_mat_loc(5, 83, 1, 83, 1)"};
const Lines two_pin_locations{
    "fdr_reserve_mat_loc(1, 80, 1, 80, 1)", "fdr_reserve_mat_loc(2, 80, 1, 80, 2)",
    "fdr_reserve_mat_loc(3, 80, 2, 80, 1)", "fdr_reserve_mat_loc(4, 80, 2, 80, 2)"};

const std::vector<TavoCase> tavo_cases = {
    {"LEVEL_0-ZEB_RES_2P",
     {"tavo_ask_for_implicit_states(1)", "index_objet_courant()", "Set_Deriv(2)"},
     {"tavo_exchange_quantity_idx(1, U1.q1, 0.25)"},
     resistor_locations},
    {"LEVEL_0-ZEB_PAD_RES61",
     {"tavo_ask_for_implicit_states(1)", "index_objet_courant()", "Set_Deriv(2)"},
     {"tavo_exchange_quantity_idx(1, U1.q1, 0.25)"},
     resistor_locations},
    {"LEVEL_0-ZEB_CAP_2P",
     {"bb_RF_setup()", "Init_DDT_Pin(1)", "Init_DDT_Pin(2)", "bb_RF_der()", "index_objet_courant()",
      "Set_Deriv(2)"},
     {},
     two_pin_locations},
    {"LEVEL_2-ZEB_RES_2P",
     {"bb_RF_setup()", "Init_DDT_Pin(1)", "Init_DDT_Pin(2)", "tavo_ask_for_implicit_states(1)",
      "bb_RF_der()", "index_objet_courant()", "Set_Deriv(2)"},
     {"tavo_exchange_quantity_idx(1, U1.q1, 0.25)"},
     {"fdr_reserve_mat_loc(1, 80, 1, 83, 1)", "fdr_reserve_mat_loc(2, 80, 1, 80, 1)",
      "fdr_reserve_mat_loc(3, 80, 2, 80, 2)", "fdr_reserve_mat_loc(4, 80, 2, 83, 1)",
      "fdr_reserve_mat_loc(5, 83, 1, 80, 1)", "fdr_reserve_mat_loc(6, 83, 1, 80, 2)",
      "fdr_reserve_mat_loc(7, 83, 1, 83, 1)"}},
    {"DEFAULT-ZEB_ISRC", {"index_objet_courant()", "Set_Deriv(2)"}, {}, two_pin_locations},
};

class AnalogElaboration : public AnalogProtocol, public ::testing::WithParamInterface<TavoCase> {};

TEST_P(AnalogElaboration, TavoSteps) {
  host::Instance& instance = elaborated(GetParam().unit);
  *instance.quantity(1)->value = 0.25;
  host::kernel().current_object = 7;
  tavo(instance, 1);
  EXPECT_EQ(take_calls(), GetParam().tavo_1);
  EXPECT_EQ(instance.record->object_index, 7);
  tavo(instance, 2);
  EXPECT_EQ(take_calls(), GetParam().tavo_2);
  tavo(instance, 3);
  EXPECT_EQ(take_calls(), GetParam().tavo_3);
}

INSTANTIATE_TEST_SUITE_P(FirstUnits, AnalogElaboration, ::testing::ValuesIn(tavo_cases),
                         [](const auto& param_info) {
                           std::string name = param_info.param.unit;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// The linear resistor, both positions of its resistance: V1 = 3, V2 = 1, I = 2 mA.
struct ResistorCase {
  std::string unit;
  double R;
  std::int32_t flag;
  Lines calls;
};

void PrintTo(const ResistorCase& c, std::ostream* os) {
  *os << c.unit << " R=" << c.R << " flag=" << c.flag;
}

Lines resistor_calls(const std::string& residual, const std::string& minus_r, bool matrix) {
  Lines calls{"VPin(1)", "VPin(2)", "Set_Ipin_Real(1, 0.002)", "Set_Ipin_Real(2, -0.002)",
              "Solve_State(1, " + residual + ")"};
  if (matrix) {
    calls.insert(calls.end(), {"fas_add_mat_term_index(1, 1)", "fas_add_mat_term_index(2, -1)",
                               "fas_add_mat_term_index(3, 1)", "fas_add_mat_term_index(4, -1)",
                               "fas_add_mat_term_index(5, " + minus_r + ")"});
  }
  return calls;
}

const std::vector<ResistorCase> resistor_cases = {
    {"LEVEL_0-ZEB_RES_2P", 1000.0, 1, resistor_calls("0", "-1000", true)},
    {"LEVEL_0-ZEB_PAD_RES61", 1000.0, 1, resistor_calls("0", "-1000", true)},
    {"LEVEL_0-ZEB_RES_2P", 1000.0, 0, resistor_calls("0", "", false)},
    {"LEVEL_0-ZEB_RES_2P", 0.0, 1, resistor_calls("2", "-0", true)},
    {"LEVEL_0-ZEB_RES_2P", -500.0, 1, resistor_calls("3", "500", true)},
};

class ResistorIteration : public AnalogProtocol,
                          public ::testing::WithParamInterface<ResistorCase> {};

TEST_P(ResistorIteration, WorkedExample) {
  const ResistorCase& c = GetParam();
  host::Instance& instance = elaborated(c.unit);
  host::set_generic(instance, "R", c.R);
  pins_.voltage[1] = 3.0;
  pins_.voltage[2] = 1.0;
  *instance.quantity(1)->value = 0.002;
  iterate(instance, c.flag);
  EXPECT_EQ(take_calls(), c.calls);
  EXPECT_EQ(*instance.quantity(0)->value, 2.0);
  EXPECT_EQ(*instance.pin(1)->voltage->value, 3.0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ResistorIteration, ::testing::ValuesIn(resistor_cases));

TEST_F(AnalogProtocol, ResistorSmallSignal) {
  host::Instance& instance = elaborated("LEVEL_0-ZEB_RES_2P");
  host::set_generic(instance, "R", 50.0);
  pins_.ac_voltage[1] = {1.0, 0.5};
  pins_.ac_voltage[2] = {0.25, -0.5};
  *instance.quantity(1)->ac = {0.01, 0.02};
  iterate_ac(instance, 1);
  EXPECT_EQ(
      take_calls(),
      (Lines{"VPin_Complex(1)", "VPin_Complex(2)", "Set_Ipin_Complex(1, (0.01, 0.02))",
             "Set_Ipin_Complex(2, (-0.01, -0.02))", "Solve_State_Complex(1, (0.25, 0))",
             "fas_add_mat_term_index_cmplx(1, (1, 0))", "fas_add_mat_term_index_cmplx(2, (-1, 0))",
             "fas_add_mat_term_index_cmplx(3, (1, 0))", "fas_add_mat_term_index_cmplx(4, (-1, 0))",
             "fas_add_mat_term_index_cmplx(5, (-50, 0))"}));
}

TEST_F(AnalogProtocol, CapacitorCurrentIsCapacitanceTimesHostDerivative) {
  host::Instance& instance = elaborated("LEVEL_0-ZEB_CAP_2P");
  host::set_generic(instance, "C", 0.25);
  pins_.voltage = {0.0, 5.0, 1.0};
  pins_.slope = {0.0, 12.0, 4.0};
  sim_alpha = 8.0;
  iterate(instance, 1);
  EXPECT_EQ(take_calls(), (Lines{"VPin(1)", "VPin(2)", "dvpin_by_dt(1)", "dvpin_by_dt(2)",
                                 "Set_Ipin_Real(1, 2)", "Set_Ipin_Real(2, -2)",
                                 "fas_add_mat_term_index(1, 2)", "fas_add_mat_term_index(2, -2)",
                                 "fas_add_mat_term_index(3, -2)", "fas_add_mat_term_index(4, 2)"}));
  EXPECT_EQ(*instance.quantity(2)->value, 8.0);

  iterate(instance, 0);
  EXPECT_EQ(loads(take_calls()), (Lines{"Set_Ipin_Real(1, 2)", "Set_Ipin_Real(2, -2)"}));
}

TEST_F(AnalogProtocol, CapacitorSmallSignalUsesJomega) {
  host::Instance& instance = elaborated("LEVEL_0-ZEB_CAP_2P");
  host::set_generic(instance, "C", 0.5);
  *instance.quantity(2)->ac = {0.0, 4.0};  // the host's complex derivative
  sim_jomega = {0.0, 8.0};
  iterate_ac(instance, 1);
  EXPECT_EQ(
      take_calls(),
      (Lines{"VPin_Complex(1)", "VPin_Complex(2)", "ac_update_scalar_dot_qty(U1.q2)",
             "Set_Ipin_Complex(1, (0, 2))", "Set_Ipin_Complex(2, (0, -2))",
             "fas_add_mat_term_index_cmplx(1, (0, 4))", "fas_add_mat_term_index_cmplx(2, (-0, -4))",
             "fas_add_mat_term_index_cmplx(3, (-0, -4))",
             "fas_add_mat_term_index_cmplx(4, (0, 4))"}));
}

// The corner resistor reads its corner index at every capacitance access.
struct CornerCase {
  std::int64_t corner;
  double c1, c2;  // the capacitances in use
  int reports;    // per iteration with flag 1
};

void PrintTo(const CornerCase& c, std::ostream* os) {
  *os << "corner " << c.corner;
}

class CornerResistor : public AnalogProtocol, public ::testing::WithParamInterface<CornerCase> {};

TEST_P(CornerResistor, CapacitancesFollowTheCorner) {
  const CornerCase& c = GetParam();
  host::Instance& instance = elaborated("LEVEL_2-ZEB_RES_2P");
  host::set_generic(instance, "R", 128.0);
  host::set_generic_table(instance, "C1", {1e-12, 2e-12, 3e-12});
  host::set_generic_table(instance, "C2", {4e-12, 5e-12, 6e-12});
  instance.generic(18)->value.integer = c.corner;
  pins_.voltage = {0.0, 2.0, 1.0};
  pins_.slope = {0.0, 1e9, 2e9};
  *instance.quantity(1)->value = 0.0078125;
  sim_alpha = 1.0;
  iterate(instance, 1);
  const Lines calls = take_calls();
  const std::string report = "vams_error(4, " + std::to_string(c.corner) + ", 0, 2)";
  EXPECT_EQ(std::count(calls.begin(), calls.end(), report), c.reports);
  const double i1 = c.c1 * 1e9, i2 = c.c2 * 2e9;
  EXPECT_EQ(*instance.quantity(3)->value, i1);
  EXPECT_EQ(*instance.quantity(5)->value, i2);
  const Lines values = loads(calls);
  Lines expected;
  const auto error = [&] {
    if (c.reports > 0) expected.push_back(report);
  };
  error();
  error();
  expected.insert(expected.end(), {"Set_Ipin_Real(1, " + host::format_double(0.0078125 + i1) + ")",
                                   "Set_Ipin_Real(2, " + host::format_double(-0.0078125 + i2) + ")",
                                   "Solve_State(1, 0)", "fas_add_mat_term_index(1, 1)"});
  error();
  expected.push_back("fas_add_mat_term_index(2, " + host::format_double(c.c1) + ")");
  error();
  expected.insert(expected.end(),
                  {"fas_add_mat_term_index(3, " + host::format_double(c.c2) + ")",
                   "fas_add_mat_term_index(4, -1)", "fas_add_mat_term_index(5, 1)",
                   "fas_add_mat_term_index(6, -1)", "fas_add_mat_term_index(7, -128)"});
  EXPECT_EQ(values, expected);

  take_calls();
  iterate(instance, 0);
  const Lines without_matrix = take_calls();
  EXPECT_EQ(std::count(without_matrix.begin(), without_matrix.end(), report), c.reports / 2);
}

INSTANTIATE_TEST_SUITE_P(Corners, CornerResistor,
                         ::testing::Values(CornerCase{0, 1e-12, 4e-12, 0},
                                           CornerCase{1, 2e-12, 5e-12, 0},
                                           CornerCase{2, 3e-12, 6e-12, 0},
                                           CornerCase{3, 1e-12, 4e-12, 4},
                                           CornerCase{-1, 1e-12, 4e-12, 4},
                                           CornerCase{std::int64_t{1} << 32, 1e-12, 4e-12, 4}));

// The soft-limited source: I and dI/dV at the points where they are known exactly.
struct SourceCase {
  double V;
  double I;
  double g;
};

void PrintTo(const SourceCase& c, std::ostream* os) {
  *os << "V=" << c.V;
}

class SoftLimitedSource : public AnalogProtocol,
                          public ::testing::WithParamInterface<SourceCase> {};

constexpr double vsc = 2.0, isc = 0.01;

TEST_P(SoftLimitedSource, CurrentAndSlope) {
  const SourceCase& c = GetParam();
  host::Instance& instance = elaborated("DEFAULT-ZEB_ISRC");
  host::set_generic(instance, "VSC", vsc);
  host::set_generic(instance, "ISC", isc);
  pins_.voltage = {0.0, c.V, 0.0};
  iterate(instance, 1);
  const double I = *instance.quantity(1)->value;
  EXPECT_NEAR(I, c.I, 2e-15 * std::fabs(c.I)) << c.V;
  if (c.V <= 0.0) {
    EXPECT_EQ(I, 0.0);
  }
  EXPECT_EQ(*instance.quantity(5)->value, std::fabs(c.V));
  EXPECT_EQ(*instance.quantity(2)->value, vsc);
  const Lines values = loads(take_calls());
  ASSERT_EQ(values.size(), 6u);
  EXPECT_EQ(values[0], "Set_Ipin_Real(1, " + host::format_double(I) + ")");
  EXPECT_EQ(values[1], "Set_Ipin_Real(2, " + host::format_double(0.0 - I) + ")");
  double loaded[4];
  for (int l = 0; l < 4; ++l) {
    const std::string& call = values[static_cast<std::size_t>(2 + l)];
    loaded[l] = std::stod(call.substr(call.find(", ") + 2));
  }
  EXPECT_NEAR(loaded[0], c.g, 2e-15 * std::fabs(c.g) + 1e-300);
  EXPECT_EQ(loaded[1], -loaded[0]);
  EXPECT_EQ(loaded[2], -loaded[0]);
  EXPECT_EQ(loaded[3], loaded[0]);
}

const double pi = std::numbers::pi;

INSTANTIATE_TEST_SUITE_P(
    Points, SoftLimitedSource,
    ::testing::Values(SourceCase{-2 * vsc, 0.0, 0.0},
                      SourceCase{0.0, 0.0, 3 * isc / (2 * pi * vsc)},
                      SourceCase{vsc, isc / pi* std::atan(3.0), 3 * isc / (pi * vsc) / 10},
                      SourceCase{1e9, isc / pi* std::atan(3e9 / vsc),
                                 3 * isc / (pi * vsc) / (1 + 9e18 / (vsc * vsc))}));

TEST_F(AnalogProtocol, SoftLimitedSourceFlagZeroLoadsNoMatrix) {
  host::Instance& instance = elaborated("DEFAULT-ZEB_ISRC");
  pins_.voltage = {0.0, 0.5, 0.0};
  iterate(instance, 0);
  iterate_ac(instance, 0);
  for (const std::string& call : take_calls()) EXPECT_FALSE(call.starts_with("fas_add")) << call;
}

// With a negative real part, |V| is (0.5, 0): the even and odd terms no longer cancel.
TEST_F(AnalogProtocol, SoftLimitedSourceSmallSignalNegativeVoltage) {
  host::Instance& instance = elaborated("DEFAULT-ZEB_ISRC");
  pins_.ac_voltage = {ac_value{}, ac_value{-0.5, 0.2}, ac_value{}};
  iterate_ac(instance, 1);
  const ac_value vabs = *instance.quantity(5)->ac;
  EXPECT_EQ(vabs.re, 0.5);
  EXPECT_EQ(vabs.im, 0.0);
  const ac_value I = *instance.quantity(1)->ac;
  EXPECT_TRUE(I.re != 0.0 || I.im != 0.0);
}

TEST_F(AnalogProtocol, EndComputedFollowsTheMode) {
  host::Instance& instance = elaborated("LEVEL_0-ZEB_RES_2P");
  instance.record->object_index = 4;
  pins_.voltage = {0.0, 1.5, 0.5};
  pins_.ac_voltage = {ac_value{}, ac_value{1.0, 1.0}, ac_value{}};
  auto callback = host::kernel().end_computed.at(0).callback;

  callback(instance.record);
  EXPECT_EQ(take_calls(),
            (Lines{"vhdl_update_fas_envir(4)", "IS_AC_MODE()", "VPin(1)", "VPin(2)"}));
  EXPECT_EQ(*instance.quantity(0)->value, 1.0);

  pins_.ac_mode = true;
  pins_.voltage = {0.0, 9.0, 0.0};
  callback(instance.record);
  EXPECT_EQ(take_calls(), (Lines{"vhdl_update_fas_envir(4)", "IS_AC_MODE()", "VPin_Complex(1)",
                                 "VPin_Complex(2)"}));
  EXPECT_EQ(*instance.quantity(0)->value, 1.0);  // the real values stay
  EXPECT_EQ(instance.quantity(0)->ac->re, 1.0);
  EXPECT_EQ(host::kernel().current_object, 4);
}

// A second evaluation on the same solution rebuilds the pin sums from zero.
TEST_F(AnalogProtocol, RepeatedEvaluationGivesTheSameSums) {
  host::Instance& instance = elaborated("LEVEL_2-ZEB_RES_2P");
  pins_.voltage = {0.0, 1.0, 0.0};
  pins_.slope = {0.0, 5.0, 7.0};
  *instance.quantity(1)->value = 0.5;
  iterate(instance, 0);
  const double first = instance.pin(1)->current;
  iterate(instance, 0);
  EXPECT_EQ(instance.pin(1)->current, first);
  // Null minus terminal: I1 lands on pin 1 only, I2 on pin 2 only.
  EXPECT_EQ(instance.pin(1)->current, 0.5 + *instance.quantity(3)->value);
  EXPECT_EQ(instance.pin(2)->current, -0.5 + *instance.quantity(5)->value);
}

}  // namespace
