// The value change dump: timescales, identifiers and the folding of delta cycles.
#include "host/event/vcd_writer.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <sstream>

namespace {

using host::event::vcd_identifier;
using host::event::vcd_timescale;

TEST(VcdWriter, TimescaleIsTheCoarsestThatHoldsATick) {
  const struct {
    std::int64_t tick_fs;
    std::string unit;
    std::int64_t multiplier;
  } cases[] = {
      {1, "1 fs", 1},
      {10, "10 fs", 1},
      {100, "100 fs", 1},
      {1000, "1 ps", 1},
      {3, "1 fs", 3},
      {3000, "1 ps", 3},
      {25000, "1 ps", 25},
      {1000000000000000, "1 s", 1},
      {2000000000000000, "1 s", 2},
      {1000000000000000000, "1 s", 1000},
  };
  for (const auto& c : cases) {
    const auto timescale = vcd_timescale(c.tick_fs);
    EXPECT_EQ(timescale.unit, c.unit) << c.tick_fs;
    EXPECT_EQ(timescale.multiplier, c.multiplier) << c.tick_fs;
  }
}

TEST(VcdWriter, IdentifiersArePrintableAndDistinct) {
  EXPECT_EQ(vcd_identifier(0), "!");
  EXPECT_EQ(vcd_identifier(93), "~");
  EXPECT_EQ(vcd_identifier(94), "!!");
  std::set<std::string> seen;
  for (std::size_t n = 0; n < 20000; ++n) {
    const std::string id = vcd_identifier(n);
    for (char c : id) ASSERT_TRUE(c >= '!' && c <= '~') << n;
    ASSERT_TRUE(seen.insert(id).second) << n;
  }
}

// Each time stamp holds the values at the end of its step: a glitch within one time shows
// nothing, a step ending elsewhere shows its last value, time 0 its value after its deltas.
TEST(VcdWriter, FoldsDeltaCyclesIntoTheirTimeStep) {
  host::event::WaveformRecorder recorder;
  recorder.start({0, 2});  // a 'U', b '0'
  recorder.change(0, 0, 1, 1);
  recorder.change(0, 0, 2, 2);
  recorder.change(0, 5, 0, 3);
  recorder.change(0, 5, 1, 2);
  recorder.change(0, 5, 2, 3);
  recorder.change(1, 7, 0, 3);
  recorder.change(1, 7, 1, 2);
  recorder.change(1, 8, 0, 8);
  std::ostringstream out;
  host::event::write_vcd(out, recorder, {"a", "b"}, 1000, 12);
  EXPECT_EQ(out.str(),
            "$version zebsim $end\n$timescale 1 ps $end\n$scope module top $end\n"
            "$var wire 1 ! a $end\n$var wire 1 \" b $end\n$upscope $end\n$enddefinitions $end\n"
            "#0\n$dumpvars\n0!\n0\"\n$end\n#5\n1!\n#8\n-\"\n#12\n");
  EXPECT_EQ(recorder.value_at(0, 4), 2);
  EXPECT_EQ(recorder.value_at(1, 7), 2);
}

TEST(VcdWriter, RefusesATimeBeyondTheTimescale) {
  host::event::WaveformRecorder recorder;
  recorder.start({0});
  recorder.change(0, std::numeric_limits<std::int64_t>::max() / 2, 0, 3);
  std::ostringstream out;
  EXPECT_THROW(host::event::write_vcd(out, recorder, {"a"}, 3, 0), std::overflow_error);
}

}  // namespace
