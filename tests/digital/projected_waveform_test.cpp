// The VHDL rules for editing a driver's pending transactions.
#include "host/event/projected_waveform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using host::event::ProjectedWaveform;
using host::event::Transaction;

enum class Rule { transport, inertial, insert };

struct EditCase {
  std::string name;
  std::vector<Transaction> pending;
  Rule rule;
  Transaction next;
  std::int64_t reject;
  std::vector<Transaction> expected;
};

void PrintTo(const EditCase& c, std::ostream* os) {
  *os << c.name;
}

std::vector<std::pair<std::int64_t, std::int64_t>> pairs(std::span<const Transaction> ts) {
  std::vector<std::pair<std::int64_t, std::int64_t>> out;
  for (const Transaction& t : ts) out.emplace_back(t.time, t.value);
  return out;
}

// Values: 2 is '0', 3 is '1', 1 is 'X'. The current time is 10 in the inertial cases, whose
// rejection limit is their delay.
const std::vector<EditCase> edit_cases = {
    {"TransportDeletesFromTheNewTime",
     {{10, 3}, {20, 2}, {30, 3}},
     Rule::transport,
     {20, 1},
     0,
     {{10, 3}, {20, 1}}},
    {"TransportAppendsAfterEarlier", {{10, 3}}, Rule::transport, {15, 2}, 0, {{10, 3}, {15, 2}}},
    {"InertialRejectsADifferentValue", {{15, 3}}, Rule::inertial, {20, 2}, 10, {{20, 2}}},
    {"InertialKeepsTheRunOfItsValue",
     {{12, 2}, {15, 3}, {18, 3}},
     Rule::inertial,
     {20, 3},
     10,
     {{15, 3}, {18, 3}, {20, 3}}},
    {"InertialKeepsWhatPrecedesTheWindow",
     {{5, 2}, {12, 3}},
     Rule::inertial,
     {20, 2},
     8,
     {{5, 2}, {20, 2}}},
    {"InertialRunStopsAtTheFirstOtherValue",
     {{12, 3}, {14, 2}, {16, 3}},
     Rule::inertial,
     {20, 3},
     10,
     {{16, 3}, {20, 3}}},
    {"InertialDeletesLaterTransactions", {{30, 3}}, Rule::inertial, {20, 3}, 10, {{20, 3}}},
    {"ZeroDelayReplacesEverything", {{10, 3}, {20, 2}}, Rule::inertial, {10, 3}, 0, {{10, 3}}},
    {"InsertKeepsTimeOrder",
     {{10, 3}, {30, 2}},
     Rule::insert,
     {20, 1},
     0,
     {{10, 3}, {20, 1}, {30, 2}}},
    {"InsertReplacesTheSameTime", {{10, 3}, {30, 2}}, Rule::insert, {30, 3}, 0, {{10, 3}, {30, 3}}},
};

class Edit : public ::testing::TestWithParam<EditCase> {};

TEST_P(Edit, LeavesThePendingTransactions) {
  const EditCase& c = GetParam();
  ProjectedWaveform waveform;
  for (const Transaction& t : c.pending) waveform.transport(t);
  switch (c.rule) {
    case Rule::transport:
      waveform.transport(c.next);
      break;
    case Rule::inertial:
      waveform.inertial(c.next, c.reject);
      break;
    case Rule::insert:
      waveform.insert(c.next);
      break;
  }
  EXPECT_EQ(pairs(waveform.pending()), pairs(c.expected));
}

INSTANTIATE_TEST_SUITE_P(VhdlRules, Edit, ::testing::ValuesIn(edit_cases),
                         [](const auto& param_info) { return param_info.param.name; });

// Applied transactions leave the front; the rest keep their order through the reclaiming of
// storage, and edits reach only what is pending.
TEST(ProjectedWaveform, PopsInOrderAndEditsOnlyThePending) {
  ProjectedWaveform waveform;
  for (std::int64_t t = 0; t < 100; ++t) waveform.transport({t, t % 2 + 2});
  for (std::int64_t t = 0; t < 70; ++t) {
    ASSERT_EQ(waveform.front().time, t);
    waveform.pop_front();
  }
  ASSERT_EQ(waveform.pending().size(), 30u);
  EXPECT_EQ(waveform.front().time, 70);
  waveform.inertial({75, 3}, 3);  // window from 72: 72 to 74 go, 70 and 71 stay
  EXPECT_EQ(pairs(waveform.pending()),
            (pairs(std::vector<Transaction>{{70, 2}, {71, 3}, {75, 3}})));
  for (int i = 0; i < 3; ++i) waveform.pop_front();
  EXPECT_TRUE(waveform.empty());
}

}  // namespace
