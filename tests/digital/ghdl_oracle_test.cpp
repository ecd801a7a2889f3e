// The cells in the stand-in kernel against GHDL running their VHDL on std_ulogic with the same
// stimuli: truth tables over all nine values, the flip-flop, inertial rejection, and a ring
// and a chain over many events.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/digital/support/bench.h"
#include "tests/digital/support/ghdl.h"
#include "tests/digital/support/logic_fixture.h"
#include "tests/digital/support/vcd_reader.h"

namespace {

using test::Bench;
using test::BenchCell;
using test::VcdChanges;
using Timed = std::vector<std::pair<std::int64_t, char>>;

constexpr char nine[] = "UX01ZWLH-";

std::string describe(const VcdChanges& changes, std::size_t from) {
  std::string text;
  for (std::size_t i = from; i < changes.size() && i < from + 4; ++i) {
    text += " " + std::to_string(changes[i].first) + ":" + changes[i].second;
  }
  return text.empty() ? " (none)" : text;
}

class GhdlOracle : public test::LogicTest {
 protected:
  // Runs the bench in both simulators; returns the kernel's waveforms, in femtoseconds.
  std::map<std::string, VcdChanges> expect_same_as_ghdl(const Bench& bench) {
    const auto ours = test::read_vcd(test::run_in_kernel(sim(), bench));
    const std::int64_t stop_fs = bench.stop * bench.tick_fs;
    const auto ghdl = test::read_vcd(test::ghdl_vcd(test::to_vhdl(bench), "bench", stop_fs));
    for (const std::string& name : bench.signals) {
      if (!ours.contains(name) || !ghdl.contains(name)) {
        ADD_FAILURE() << name << " missing from a dump";
        continue;
      }
      const VcdChanges a = test::before(ours.at(name), stop_fs);
      const VcdChanges b = test::before(ghdl.at(name), stop_fs);
      std::size_t i = 0;
      while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
      EXPECT_TRUE(i == a.size() && i == b.size())
          << name << " differs from change " << i << ": kernel" << describe(a, i) << ", GHDL"
          << describe(b, i);
    }
    return ours;
  }
};

// Inputs step through every combination of the nine values, one per `step` ticks.
void all_combinations(Bench& bench, const std::vector<std::string>& inputs, std::int64_t step) {
  std::int64_t total = 1;
  for (std::size_t i = 0; i < inputs.size(); ++i) total *= 9;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    std::int64_t weight = 1;
    for (std::size_t j = i + 1; j < inputs.size(); ++j) weight *= 9;
    Timed values;
    for (std::int64_t k = 0; k < total; ++k) {
      const char v = nine[(k / weight) % 9];
      if (values.empty() || values.back().second != v) values.emplace_back(k * step, v);
    }
    bench.timed.emplace_back(inputs[i], values);
  }
}

// The flip-flop sees every (d, clk, rn) after a clock change with its output held at '0' and
// at '1', and after a change of d and rn alone with the clock already at its value.
void flip_flop_combinations(Bench& bench, const std::string& d, const std::string& clk,
                            const std::string& rn, std::int64_t step) {
  Timed dv, cv, rv;
  std::int64_t slot = 0;
  auto at = [&](char dn, char cn, char rnv) {
    const std::int64_t t = slot++ * step;
    for (auto [list, v] : {std::pair{&dv, dn}, {&cv, cn}, {&rv, rnv}}) {
      if (list->empty() || list->back().second != v) list->emplace_back(t, v);
    }
  };
  for (char dk : std::string(nine, 9)) {
    for (char ck : std::string(nine, 9)) {
      for (char rk : std::string(nine, 9)) {
        const char pre = ck == '0' ? 'X' : '0';
        at('0', pre, '0');  // held at '0' by the reset
        at(dk, ck, rk);
        at('1', '0', '1');  // held at '1' by a clock edge
        at('1', '1', '1');
        at('1', pre, '1');
        at(dk, ck, rk);
        at('1', '0', '1');  // held at '1', the clock settles first
        at('1', '1', '1');
        at('0', ck, '1');
        at(dk, ck, rk);
      }
    }
  }
  bench.timed.insert(bench.timed.end(), {{d, dv}, {clk, cv}, {rn, rv}});
}

TEST_F(GhdlOracle, TruthTablesOfAllThirteenCells) {
  Bench bench;
  bench.tick_fs = 1000;
  const std::int64_t step = 1000;
  const struct {
    std::string tag, deliverable;
    int inputs, outputs;
  } cells[] = {
      {"l0_nand3", "LEVEL_0-ZEB_DL_NAND3", 3, 1}, {"l0_invx3", "LEVEL_0-ZEB_DL_INVX3", 1, 1},
      {"l0_invx2", "LEVEL_0-ZEB_DL_INVX2", 1, 1}, {"l0_nor2i1", "LEVEL_0-ZEB_DL_NOR2I1", 2, 1},
      {"l0_aoi21", "LEVEL_0-ZEB_DL_AOI21", 3, 1}, {"l0_xor2", "LEVEL_0-ZEB_DL_XOR2", 2, 1},
      {"l0_xnor2", "LEVEL_0-ZEB_DL_XNOR2", 2, 1}, {"l0_dbufx1", "LEVEL_0-ZEB_DL_DBUFX1", 1, 2},
      {"l0_dffr", "LEVEL_0-ZEB_DL_DFFR", 3, 1},   {"l2_aoi21", "LEVEL_2-ZEB_DL_AOI21", 3, 1},
      {"l2_xnor2", "LEVEL_2-ZEB_DL_XNOR2", 2, 1}, {"l2_bufx2", "LEVEL_2-ZEB_DL_BUFX2", 1, 1},
      {"l2_or2", "LEVEL_2-ZEB_DL_OR2", 2, 1},
  };
  std::vector<std::string> outputs;
  for (const auto& c : cells) {
    BenchCell cell{"u_" + c.tag, c.deliverable, {}, c.deliverable.starts_with("LEVEL_2") ? 500 : 0};
    std::vector<std::string> inputs;
    for (int p = 0; p < c.inputs + c.outputs; ++p) {
      cell.signals.push_back(c.tag + "_p" + std::to_string(p));
      bench.signals.push_back(cell.signals.back());
      (p < c.inputs ? inputs : outputs).push_back(cell.signals.back());
    }
    if (c.tag == "l0_dffr") {
      flip_flop_combinations(bench, inputs[0], inputs[1], inputs[2], step);
    } else {
      all_combinations(bench, inputs, step);
    }
    bench.cells.push_back(cell);
  }
  bench.stop = 7290 * step + step / 2 + 1;
  const auto ours = expect_same_as_ghdl(bench);
  for (const std::string& output : outputs) {
    EXPECT_GE(ours.at(output).size(), 4u) << output << " hardly changes";
  }
}

TEST_F(GhdlOracle, FlipFlopEdgesAndReset) {
  Bench bench;
  bench.tick_fs = 1000;
  bench.signals = {"d", "clk", "rn", "q"};
  bench.cells = {{"ff", "LEVEL_0-ZEB_DL_DFFR", {"d", "clk", "rn", "q"}}};
  const std::int64_t u = 1000;
  bench.timed = {
      {"rn", {{0, '0'}, {1 * u, '1'}, {10 * u, 'L'}, {11 * u, '0'}, {14 * u, '1'}}},
      {"clk",
       {{0, 'U'},
        {2 * u, '1'},
        {4 * u, 'H'},
        {5 * u, '1'},
        {6 * u, '0'},
        {7 * u, 'H'},
        {8 * u, 'X'},
        {9 * u, '1'},
        {12 * u, '0'},
        {13 * u, '1'},
        {15 * u, '0'},
        {16 * u, '1'},
        {17 * u, '0'},
        {18 * u, '1'}}},
      {"d", {{0, '1'}, {3 * u, '0'}, {6 * u, '1'}, {15 * u, 'W'}, {18 * u, '0'}}},
  };
  bench.stop = 20 * u + 1;
  const auto ours = expect_same_as_ghdl(bench);
  // Reset on '0' only and over the clock; edges to '1' from 'U', 'H' and 'X'; '0' to 'H' and
  // a change of d alone sample nothing; d changing with the edge is sampled new.
  const VcdChanges q{{0, '0'},
                     {2 * u * 1000, '1'},
                     {5 * u * 1000, '0'},
                     {9 * u * 1000, '1'},
                     {11 * u * 1000, '0'},
                     {16 * u * 1000, 'W'},
                     {18 * u * 1000, '0'}};
  EXPECT_EQ(ours.at("q"), q);
}

TEST_F(GhdlOracle, InertialDelaySwallowsShortPulses) {
  Bench bench;
  bench.tick_fs = 1000;
  bench.signals = {"a", "b", "y", "ya"};
  bench.cells = {{"g", "LEVEL_2-ZEB_DL_OR2", {"a", "b", "y"}, 1000},
                 {"buf", "LEVEL_2-ZEB_DL_BUFX2", {"a", "ya"}, 1000}};
  bench.timed = {
      {"a",
       {{0, '0'},
        {5000, '1'},
        {5300, '0'},
        {10000, '1'},
        {11500, '0'},
        {15000, '1'},
        {16000, '0'},
        {20000, '1'},
        {20999, '0'},
        {25000, 'X'},
        {25400, '1'},
        {30000, '0'},
        {45000, '1'},
        {47000, '0'}}},
      {"b", {{0, '0'}, {45500, '1'}, {45700, '0'}}},
  };
  bench.stop = 50001;
  const auto ours = expect_same_as_ghdl(bench);
  // Pulses of 300 and 999 ticks vanish, 1000 and 1500 pass; an 'X' pulse shorter than the
  // delay is replaced by the value after it; a glitch on b under a = '1' leaves y at '1'.
  const auto ns = [](std::int64_t ticks) { return ticks * 1000; };
  const VcdChanges ya{{0, 'U'},         {ns(1000), '0'},  {ns(11000), '1'}, {ns(12500), '0'},
                      {ns(16000), '1'}, {ns(17000), '0'}, {ns(26400), '1'}, {ns(31000), '0'},
                      {ns(46000), '1'}, {ns(48000), '0'}};
  EXPECT_EQ(ours.at("ya"), ya);
  EXPECT_EQ(ours.at("y"), ya);
}

TEST_F(GhdlOracle, RingOscillatorOverManyEvents) {
  Bench bench;
  bench.tick_fs = 1000;
  bench.signals = {"en", "zero", "n1", "n2", "n3", "n4"};
  bench.cells = {{"g1", "LEVEL_2-ZEB_DL_AOI21", {"n4", "en", "zero", "n1"}, 1500},
                 {"g2", "LEVEL_0-ZEB_DL_INVX2", {"n1", "n2"}},
                 {"g3", "LEVEL_0-ZEB_DL_INVX3", {"n2", "n3"}},
                 {"g4", "LEVEL_2-ZEB_DL_BUFX2", {"n3", "n4"}, 500}};
  bench.constants = {{"zero", '0'}};
  bench.timed = {{"en", {{0, '0'}, {5000, '1'}}}};
  bench.stop = 5000 + 500 * 4000 + 1;
  const auto ours = expect_same_as_ghdl(bench);
  // Held at '1' while disabled, then a period of twice the loop delay.
  const VcdChanges& n1 = ours.at("n1");
  ASSERT_GT(n1.size(), 900u);
  EXPECT_EQ(n1[1], std::make_pair(std::int64_t{1500 * 1000}, '1'));
  for (std::size_t i = 3; i < n1.size(); ++i) {
    EXPECT_EQ(n1[i].first - n1[i - 1].first, 2000 * 1000) << i;
  }
}

TEST_F(GhdlOracle, ShiftRegisterChainOverManyClocks) {
  Bench bench;
  bench.signals = {"clk", "rn", "fb", "q0", "q1", "q2", "q3", "tap", "tapn"};
  bench.cells = {{"ff0", "LEVEL_0-ZEB_DL_DFFR", {"fb", "clk", "rn", "q0"}},
                 {"ff1", "LEVEL_0-ZEB_DL_DFFR", {"q0", "clk", "rn", "q1"}},
                 {"ff2", "LEVEL_0-ZEB_DL_DFFR", {"q1", "clk", "rn", "q2"}},
                 {"ff3", "LEVEL_0-ZEB_DL_DFFR", {"q2", "clk", "rn", "q3"}},
                 {"x", "LEVEL_0-ZEB_DL_XNOR2", {"q3", "q2", "fb"}},
                 {"b", "LEVEL_0-ZEB_DL_DBUFX1", {"q3", "tap", "tapn"}}};
  bench.clocks = {{"clk", {100, 50, 50}}};
  bench.timed = {{"rn", {{0, '0'}, {230, '1'}}}};
  bench.stop = 100 * 300 + 37;
  expect_same_as_ghdl(bench);
  // A four-bit XNOR shift register from all zeros repeats after 15 clocks.
  std::string sampled;
  for (std::int64_t edge = 350; edge < bench.stop; edge += 100) {
    sampled += sim().value_at(sim().signal("q3"), edge + 10);
  }
  EXPECT_EQ(sampled.substr(0, 15), sampled.substr(15, 15));
  EXPECT_NE(sampled.substr(0, 15).find('1'), std::string::npos);
  EXPECT_NE(sampled.substr(1, 15), sampled.substr(0, 15));
}

}  // namespace
