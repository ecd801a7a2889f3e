// The MOS units: channel currents of the 20HS and 50 V families through their published
// subprograms, their iterations, and the conduction cases of the MOS base units.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "frame/host_services.h"
#include "host/elaborate.h"
#include "host/generics.h"
#include "tests/support/host_fixture.h"

namespace {

using Lines = std::vector<std::string>;
using channel20 = double (*)(double, double, double, double, double, double, double,
                             instance_record*);
using channel50 = double (*)(double, double, double, instance_record*);

void set(host::Instance& instance, std::int32_t position, double value) {
  instance.generic(position)->value.real = value;
}

class Mos : public test::HostTest {
 protected:
  host::Instance& elaborated(std::string_view unit) {
    host::Instance& instance = design().add("U1", unit);
    host::elaborate(instance);
    host::kernel().fixed_pins = &pins_;
    take_calls();
    return instance;
  }
  // 20HS channel current for (control a, reverse control b, shift c, channel e, reverse
  // shift f, reverse channel g).
  static double current20(host::Instance& instance, double a, double b, double c, double e,
                          double f, double g) {
    auto fn = reinterpret_cast<channel20>(instance.plugin->table->code_suprgs[0]);
    return fn(a, b, c, 0.0, e, f, g, instance.record);
  }
  static double current50(host::Instance& instance, double control, double channel) {
    auto fn = reinterpret_cast<channel50>(instance.plugin->table->code_suprgs[0]);
    return fn(control, 0.0, channel, instance.record);
  }
  host::FixedPins pins_;
};

// Generics of a 20HS unit: linear gain 2, divisors 5 (reverse) and 4 (forward), threshold
// 0.5, transconductance 1e-3.
void set_20hs(host::Instance& u, bool p_unit) {
  set(u, p_unit ? 9 : 7, 2.0);
  set(u, 5, 5.0);
  set(u, 6, 4.0);
  set(u, 15, 0.5);
  set(u, 16, 1e-3);
}

TEST_F(Mos, Mos20hsDirectionAndDivisor) {
  for (std::string_view unit : {"LEVEL_2-ZEB_PMOS20HS_W5UL1P8U", "LEVEL_2-ZEB_NMOS20HS_W5UL1P8U"}) {
    host::Instance& u = elaborated(unit);
    set_20hs(u, unit.find("PMOS") != std::string_view::npos);
    // Equal control voltages take the forward branch: the off-state divisor holds the
    // forward divisor 4.
    current20(u, 0.0, 0.0, 20.0, 0.5, 20.0, 0.25);
    Lines calls = take_calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_NE(calls.front().find(", 4e-15)"), std::string::npos) << unit << ": " << calls.front();
  }
}

TEST_F(Mos, PmosOffAtTheThresholdStaysBelowTheFloor) {
  host::Instance& u = elaborated("LEVEL_2-ZEB_PMOS20HS_W5UL1P8U");
  set_20hs(u, true);
  set(u, 15, -1.5);
  const double I = current20(u, -1.5, 0.0, 20.0, -3.0, 20.0, 0.0);
  EXPECT_LE(std::fabs(I), 1e-3 * 1e-12);
}

TEST_F(Mos, PmosForwardOnLimits) {
  host::Instance& u = elaborated("LEVEL_0-ZEB_PMOS20HS_W5UL1P8U");
  set_20hs(u, true);
  // shift 20: t = |0 + 0.5| = 0.5; control -2.5 is on with S = 1e-3 * (0.5 - 2.5)^2.
  EXPECT_EQ(current20(u, -2.5, 0.0, 20.0, 0.0, 20.0, 0.0), 0.0);
  const double S = 1e-3 * 4.0;
  const double I = current20(u, -2.5, 0.0, 20.0, -1e9, 20.0, 0.0);
  EXPECT_NEAR(I, -S, 1e-9 * S);
  // Small channel voltage: 20 * gain * v / divisor.
  const double small = current20(u, -2.5, 0.0, 20.0, 1e-9, 20.0, 0.0);
  EXPECT_NEAR(small, 20.0 * 2.0 * 1e-9 / 4.0, 1e-15);
}

TEST_F(Mos, NmosJustOnAndReverse) {
  host::Instance& u = elaborated("LEVEL_2-ZEB_NMOS20HS_W5UL1P8U");
  set_20hs(u, false);
  // shift 0: t = 0.5; control t + 2e-6 is on, saturating at g16 * (2e-6)^2.
  const double S = 1e-3 * 2e-6 * 2e-6;
  EXPECT_NEAR(current20(u, 0.5 + 2e-6, 0.0, 0.0, 1e6, 0.0, 0.0), S, 1e-9 * S);
  // Reverse (b > a): the negated form with the reverse divisor and voltages.
  const double forward = current20(u, 2.0, 0.0, 0.0, 0.3, 0.0, 0.0);
  const double reverse = current20(u, 0.0, 2.0, 0.0, 0.0, 0.0, 0.3);
  EXPECT_LT(reverse, 0.0);
  EXPECT_GT(forward, 0.0);
  EXPECT_NE(-reverse, forward);  // divisor 5 instead of 4
  // The reverse saturation current 1e-3 * (2 - 0.5)^2 meets the reverse divisor 5.
  const std::string reverse_divisor = ", " + host::format_double(5.0 * (2.25 * 1e-3)) + ")";
  const Lines calls = take_calls();
  EXPECT_NE(std::find_if(calls.begin(), calls.end(),
                         [&](const std::string& c) { return c.ends_with(reverse_divisor); }),
            calls.end());
}

TEST_F(Mos, Mos20hsCapacitiveCurrentsScaleWithTheMultiplier) {
  host::Instance& u = elaborated("LEVEL_2-ZEB_NMOS20HS_W5UL1P8U");
  set_20hs(u, false);
  set(u, 8, 2e-12);  // C21
  set(u, 9, 3e-12);  // C23
  pins_.slope = {0.0, 1.0, 5.0, 2.0};
  for (std::int64_t m : {0, 1, 3}) {
    u.generic(10)->value.integer = m;
    u.plugin->table->ams_each_iter->each_iter(u.record, 0);
    EXPECT_EQ(*u.quantity(5)->value, (static_cast<double>(m) * 2e-12) * 4.0) << m;
    EXPECT_EQ(*u.quantity(3)->value, (static_cast<double>(m) * 3e-12) * 3.0) << m;
  }
  const Lines calls = take_calls();
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const std::string& c) { return c.starts_with("fas_add"); }),
            0);
}

// 50 V: the P threshold is |g15|; the N threshold keeps its sign.
struct Threshold50Case {
  std::string unit;
  double vth, control;
  bool on;
};

void PrintTo(const Threshold50Case& c, std::ostream* os) {
  *os << c.unit << " vth " << c.vth << " control " << c.control;
}

class Mos50Threshold : public Mos, public ::testing::WithParamInterface<Threshold50Case> {};

TEST_P(Mos50Threshold, OnOrOff) {
  const Threshold50Case& c = GetParam();
  host::Instance& u = elaborated(c.unit);
  set(u, 5, 2.0);
  set(u, 6, 1.0);
  set(u, 15, c.vth);
  set(u, 16, 1e-2);
  const double I = current50(u, c.control, 100.0);
  if (c.on) {
    EXPECT_GT(std::fabs(I), 1e-2 * 1e-12) << I;
  } else {
    EXPECT_LE(std::fabs(I), 1e-2 * 1e-12) << I;
  }
  EXPECT_EQ(current50(u, c.control, -100.0), -I);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Mos50Threshold,
    ::testing::Values(Threshold50Case{"LEVEL_2-PMOS50Y_W100UL1U", -2.0, -2.00001, true},
                      Threshold50Case{"LEVEL_2-PMOS50Y_W100UL1U", 2.0, -2.00001, true},
                      Threshold50Case{"LEVEL_0-PMOS50Y_W100UL1U", 2.0, -2.0000005, false},
                      Threshold50Case{"LEVEL_2-NMOSI50Y_W100UL0U5", -2.0, 0.0, true},
                      Threshold50Case{"LEVEL_2-NMOSI50Y_W100UL0U5", -2.0, -1.9999995, false},
                      Threshold50Case{"LEVEL_0-NMOSI50Y_W100UL0U5", 2.0, 2.00001, true},
                      Threshold50Case{"LEVEL_0-NMOSI50Y_W100UL0U5", 2.0, 1.0, false}));

TEST_F(Mos, Mos50ResidualsChannelFirstThenResistiveBranch) {
  for (std::string_view unit : {"LEVEL_0-NMOSI50Y_W100UL0U5", "LEVEL_2-NMOSI50Y_W100UL0U5"}) {
    host::Instance& u = elaborated(unit);
    set(u, 17, 100.0);
    set(u, 15, 1.0);
    set(u, 16, 1e-2);
    set(u, 5, 1.0);
    set(u, 6, 1.0);
    *u.quantity(1)->value = 1e-3;
    *u.quantity(5)->value = 0.0;
    pins_.voltage = {0.0, 1.0, 3.0, 0.0, 1.5};  // di, g, s, d
    u.plugin->table->ams_each_iter->each_iter(u.record, 1);
    Lines solved;
    for (const std::string& call : take_calls()) {
      if (call.starts_with("Solve_State")) solved.push_back(call);
    }
    ASSERT_EQ(solved.size(), 2u);
    const double I = current50(u, 3.0, 1.0);
    take_calls();
    EXPECT_EQ(solved[0], "Solve_State(1, " + host::format_double(0.0 - I) + ")") << unit;
    EXPECT_EQ(solved[1], "Solve_State(2, " + host::format_double(0.5 - 1e-3 * 100.0) + ")");
  }
}

// MOS base generics with gain K = 10 * C_OX * 2 / 4, and source 0 V, drain 2 V, gate 3 V.
void conducting_base(host::Instance& u, host::FixedPins& pins) {
  set(u, 0, 10.0);
  set(u, 1, 2.0);
  set(u, 2, 4.0);
  set(u, 4, 1e3);
  set(u, 10, 1.0);
  set(u, 11, 1.0);
  set(u, 12, 0.0);
  pins.voltage = {0.0, 0.0, 2.0, 3.0};
}

// MOS base: the case from the above signals, read in order until decided.
struct CaseSelection {
  std::array<int, 4> signals;
  Lines reads;
  char conduction;  // 'A', 'B' or '0'
};

void PrintTo(const CaseSelection& c, std::ostream* os) {
  *os << c.signals[0] << c.signals[1] << c.signals[2] << c.signals[3];
}

class MosBase : public Mos, public ::testing::WithParamInterface<CaseSelection> {};

TEST_P(MosBase, SelectsTheConductionCase) {
  const CaseSelection& c = GetParam();
  for (std::string_view unit : {"DEFAULT-ZEB_PMOS_MOD_BASE", "DEFAULT-ZEB_NMOS_MOD_BASE"}) {
    host::Instance& u = elaborated(unit);
    for (int k = 0; k < 4; ++k) u.above(k)->state = c.signals[static_cast<std::size_t>(k)];
    conducting_base(u, pins_);
    *u.quantity(2)->value = 0.25;
    u.plugin->table->ams_each_iter->each_iter(u.record, 0);
    const Lines calls = take_calls();
    Lines reads, watches, solved;
    for (const std::string& call : calls) {
      if (call.starts_with("read_blk")) reads.push_back(call);
      if (call.starts_with("watching")) watches.push_back(call);
      if (call.starts_with("Solve_State(2")) solved.push_back(call);
      EXPECT_FALSE(call.starts_with("Set_Ipin_Real(3")) << unit;
    }
    EXPECT_EQ(reads, c.reads) << unit;
    EXPECT_EQ(watches, (Lines{"watching_on_quantity(U1, 0)", "watching_on_quantity(U1, 1)",
                              "watching_on_quantity(U1, 2)", "watching_on_quantity(U1, 3)"}));
    ASSERT_EQ(solved.size(), 1u);
    // Off leaves the residual at q2 itself.
    EXPECT_EQ(solved[0] == "Solve_State(2, 0.25)", c.conduction == '0') << unit << solved[0];

    u.plugin->table->ams_each_iter->each_iter_ac(u.record, 0);
    Lines ac_reads;
    for (const std::string& call : take_calls()) {
      EXPECT_FALSE(call.starts_with("watching")) << unit;
      if (call.starts_with("read_blk")) ac_reads.push_back(call);
    }
    EXPECT_EQ(ac_reads, c.reads) << unit;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Signals, MosBase,
    ::testing::Values(
        CaseSelection{
            {0, 0, 0, 0}, {"read_blk_above_sig(U1.above0)", "read_blk_above_sig(U1.above2)"}, '0'},
        CaseSelection{{0, 1, 1, 1},
                      {"read_blk_above_sig(U1.above0)", "read_blk_above_sig(U1.above2)",
                       "read_blk_above_sig(U1.above3)"},
                      'B'},
        CaseSelection{
            {1, 1, 1, 1}, {"read_blk_above_sig(U1.above0)", "read_blk_above_sig(U1.above1)"}, 'A'},
        CaseSelection{{1, 0, 1, 0},
                      {"read_blk_above_sig(U1.above0)", "read_blk_above_sig(U1.above1)",
                       "read_blk_above_sig(U1.above2)", "read_blk_above_sig(U1.above3)"},
                      '0'}));

// With g12 = 0 the P and N units drive channel currents of opposite sign.
TEST_F(Mos, MosBasePAndNAreMirrored) {
  double residual[2];
  int i = 0;
  for (std::string_view unit : {"DEFAULT-ZEB_PMOS_MOD_BASE", "DEFAULT-ZEB_NMOS_MOD_BASE"}) {
    host::Instance& u = elaborated(unit);
    for (int k = 0; k < 4; ++k) u.above(k)->state = 1;
    conducting_base(u, pins_);
    *u.quantity(2)->value = 0.0;
    u.plugin->table->ams_each_iter->each_iter(u.record, 0);
    for (const std::string& call : take_calls()) {
      if (call.starts_with("Solve_State(2")) residual[i] = std::stod(call.substr(14));
    }
    ++i;
  }
  EXPECT_NE(residual[0], 0.0);
  EXPECT_EQ(residual[0], -residual[1]);
}

}  // namespace
