// Computed generic defaults: the corner request with its rounding and range copy, the
// per-corner parameter requests, the corner resistor's arithmetic and resistance requests.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "frame/host_services.h"
#include "host/elaborate.h"
#include "host/generics.h"
#include "tests/support/host_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class GenericEvaluation : public test::HostTest {
 protected:
  host::Instance& set_up(std::string_view unit) {
    host::Instance& instance = design().add("U1", unit);
    host::run_phase(instance, 0);
    host::prepare_scratch();
    take_calls();
    return instance;
  }
  // The 8 bytes a request writes, starting from a fill pattern.
  struct Answer {
    unsigned char bytes[8];
    std::int64_t integer() const {
      std::int64_t v;
      std::memcpy(&v, bytes, sizeof v);
      return v;
    }
    double real() const {
      double v;
      std::memcpy(&v, bytes, sizeof v);
      return v;
    }
    bool untouched() const {
      for (unsigned char b : bytes) {
        if (b != 0xAB) return false;
      }
      return true;
    }
  };
  Answer request(host::Instance& instance, std::int32_t number, range_record** range_out) {
    Answer answer;
    std::memset(answer.bytes, 0xAB, sizeof answer.bytes);
    host::request_default(instance, number, answer.bytes, range_out);
    return answer;
  }
  void TearDown() override {
    host::kernel().settings.corner_answer.reset();
    host::kernel().settings.corner = 0;
    HostTest::TearDown();
  }
};

struct RoundingCase {
  double answer;
  std::int64_t corner;
};

class CornerRounding : public GenericEvaluation,
                       public ::testing::WithParamInterface<RoundingCase> {};

TEST_P(CornerRounding, HalfAwayFromZeroWithRangeCopy) {
  for (std::string_view unit : {"LEVEL_2-ZEB_RES_2P", "LEVEL_0-ZEB_NMOS20HS_W5UL1P8U",
                                "LEVEL_0-PMOS50Y_W100UL1U", "LEVEL_2-ZEB_DL_AOI21"}) {
    host::Instance& instance = set_up(unit);
    host::kernel().settings.corner_answer = GetParam().answer;
    tmp_extra[0]->kind_flags = 0xFF;
    range_record* range = nullptr;
    const Answer answer = request(instance, 1, &range);
    EXPECT_EQ(answer.integer(), GetParam().corner) << unit;
    EXPECT_EQ(take_calls(), (Lines{"corner_lookup(\"PROCESS_CORNER\")",
                                   "corner_lookup(\"PROCESS_CORNER\")", "vams_malloc(12)"}))
        << unit;
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->kind_flags, 0xE1);  // kind 1, flags cleared, bits 5-7 kept
    EXPECT_EQ(range->left, 1);
    EXPECT_EQ(range->right, 14);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CornerRounding,
    ::testing::Values(RoundingCase{1.5, 2}, RoundingCase{0.5, 1}, RoundingCase{-0.5, -1},
                      RoundingCase{0.0, 0}, RoundingCase{2.49, 2}, RoundingCase{-1.5, -2},
                      // No integer: the host reads 0 rather than an
                      // undefined conversion.
                      RoundingCase{std::nan(""), 0},
                      RoundingCase{1e300, std::numeric_limits<std::int64_t>::max()}));

TEST_F(GenericEvaluation, CornerRequestWithoutRangeWritesOnlyTheResult) {
  host::Instance& instance = set_up("LEVEL_2-ZEB_DL_OR2");
  host::kernel().settings.corner = 2;
  EXPECT_EQ(request(instance, 1, nullptr).integer(), 2);
  EXPECT_EQ(take_calls(),
            (Lines{"corner_lookup(\"PROCESS_CORNER\")", "corner_lookup(\"PROCESS_CORNER\")"}));
}

TEST_F(GenericEvaluation, UnknownRequestsWriteNothingAndCallNothing) {
  const std::vector<std::pair<std::string_view, std::int32_t>> unknown{
      {"LEVEL_0-PMOS50Y_W100UL1U", 2},      {"LEVEL_0-NMOSI50Y_W100UL0U5", 4},
      {"LEVEL_2-ZEB_DL_BUFX2", 2},          {"LEVEL_2-ZEB_RES_2P", 5},
      {"LEVEL_2-ZEB_NMOS20HS_W5UL1P8U", 0}, {"LEVEL_2-PMOS50Y_W100UL1U", -1}};
  for (const auto& [unit, number] : unknown) {
    host::Instance& instance = set_up(unit);
    range_record* range = nullptr;
    EXPECT_TRUE(request(instance, number, &range).untouched()) << unit << " " << number;
    EXPECT_EQ(range, nullptr);
    EXPECT_EQ(take_calls(), Lines{}) << unit << " " << number;
  }
}

// Requests 2 and 3 stage the table value and ask the corner parameter subprogram.
struct ParameterCase {
  std::string unit;
  std::int64_t corner;  // stored in generic 11
  std::int32_t request;
  double value;  // the table element passed on
  std::string spread, name, unit_name;
  bool reports;
};

void PrintTo(const ParameterCase& c, std::ostream* os) {
  *os << c.unit << " corner " << c.corner << " request " << c.request;
}

class CornerParameter : public GenericEvaluation,
                        public ::testing::WithParamInterface<ParameterCase> {};

TEST_P(CornerParameter, StagesTheSelectedElement) {
  const ParameterCase& c = GetParam();
  host::Instance& instance = set_up(c.unit);
  host::set_generic_table(instance, "GFS_TABLE", {10.0, 11.0, 12.0});
  host::set_generic_table(instance, "VTH_TABLE", {20.0, 21.0, 22.0});
  instance.generic(11)->value.integer = c.corner;
  range_record* range = nullptr;
  const Answer answer = request(instance, c.request, &range);
  EXPECT_EQ(answer.real(), c.value);
  EXPECT_EQ(*tmp_value_scal, c.value);
  Lines expected;
  if (c.reports) expected.push_back("vams_error(4, " + std::to_string(c.corner) + ", 0, 2)");
  expected.push_back("corner_parameter(" + host::format_double(c.value) + ", " + c.spread + ", \"" +
                     c.name + "\", \"" + c.unit_name + "\", 1, 1)");
  expected.push_back("vams_malloc(12)");
  EXPECT_EQ(take_calls(), expected);
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->right, static_cast<std::int32_t>(c.name.size()));
  EXPECT_EQ(tmp_extra[1]->right, static_cast<std::int32_t>(c.unit_name.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Units, CornerParameter,
    ::testing::Values(
        ParameterCase{"LEVEL_2-ZEB_PMOS20HS_W5UL1P8U", 1, 2, 11.0, "0", "gfs_c", "real", false},
        ParameterCase{"LEVEL_0-ZEB_PMOS20HS_W5UL1P8U", 2, 3, 22.0, "0", "vgs_th_c", "V", false},
        ParameterCase{"LEVEL_2-ZEB_NMOS20HS_W5UL1P8U", 3, 2, 10.0, "0", "gfs_c", "real", true},
        ParameterCase{"LEVEL_2-ZEB_NMOS20HS_W5UL1P8U", -1, 3, 20.0, "0", "vgs_th_c", "V", true},
        // The LEVEL_0 N unit takes the first element for any stored corner, silently.
        ParameterCase{"LEVEL_0-ZEB_NMOS20HS_W5UL1P8U", 2, 2, 10.0, "0", "gfs_c", "real", false},
        ParameterCase{"LEVEL_0-ZEB_NMOS20HS_W5UL1P8U", 7, 3, 20.0, "0", "vgs_th_c", "V", false},
        ParameterCase{"LEVEL_2-PMOS50Y_W100UL1U", 2, 2, 12.0, "0.05", "gfs_c", "A/V", false},
        ParameterCase{"LEVEL_2-NMOSI50Y_W100UL0U5", 0, 3, 20.0, "0.05", "vgs_th_c", "V", false},
        ParameterCase{"LEVEL_2-NMOSI50Y_W100UL0U5", std::int64_t{1} << 32, 2, 10.0, "0.05", "gfs_c",
                      "A/V", true}));

TEST_F(GenericEvaluation, CornerResistorDeviationsAndResistance) {
  host::Instance& instance = set_up("LEVEL_2-ZEB_RES_2P");
  host::set_generic(instance, "AREA", 4.0);
  host::set_generic(instance, "MISMATCH", 2.0);
  EXPECT_EQ(request(instance, 2, nullptr).real(), 0.02 / 2.0);
  EXPECT_EQ(request(instance, 3, nullptr).real(), -0.02 / 2.0);
  EXPECT_EQ(take_calls(), (Lines{"real_div_f(0.02, 2)", "real_div_f(-0.02, 2)"}));

  host::set_generic(instance, "DEV_HI", 0.25);
  host::set_generic(instance, "DEV_LO", -0.5);
  range_record* range = nullptr;
  EXPECT_EQ(request(instance, 4, &range).real(), host::kernel().settings.nominal_resistance);
  EXPECT_EQ(take_calls(), (Lines{"resistance_parameter(0, 0.25, -0.5, \"res\", \"ohms\", 1, 1)",
                                 "vams_malloc(12)"}));
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->right, 3);
}

TEST_F(GenericEvaluation, NegativeAreaReportsAndStoresNaN) {
  host::Instance& instance = set_up("LEVEL_2-ZEB_RES_2P");
  host::set_generic(instance, "AREA", -4.0);
  range_record* range = nullptr;
  EXPECT_TRUE(std::isnan(request(instance, 2, &range).real()));
  EXPECT_EQ(range, nullptr);
  const Lines calls = take_calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(),
            "ac_gcc_error_message(0, \"X < 0.0 and Y non integer in function X**Y\")");
}

// The host evaluates the computed defaults a user did not give, the corner first.
TEST_F(GenericEvaluation, ElaborationFillsComputedDefaults) {
  host::kernel().settings.corner = 2;
  host::Instance& instance = design().add("U1", "LEVEL_2-ZEB_PMOS20HS_W5UL1P8U");
  host::set_generic_table(instance, "GFS_TABLE", {1.0, 2.0, 3.0});
  host::set_generic(instance, "VGS_TH_C", 0.75);
  host::elaborate(instance);
  EXPECT_EQ(instance.generic(11)->value.integer, 2);
  EXPECT_EQ(instance.generic(16)->value.real, 3.0);
  EXPECT_EQ(instance.generic(15)->value.real, 0.75);
}

}  // namespace
