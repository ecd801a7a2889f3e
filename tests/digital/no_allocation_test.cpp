// Once its queues have grown to the design's needs, the kernel allocates nothing per event.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "host/generics.h"
#include "tests/digital/support/logic_fixture.h"

namespace {

bool counting = false;
long allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* block) noexcept {
  std::free(block);
}
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}

namespace {

using NoAllocation = test::LogicTest;

// A ring of delayed and zero-delay cells and a clocked shift register, with a timed input.
TEST_F(NoAllocation, WarmSimulationAllocatesNothing) {
  auto& s = sim();
  s.set_tick_length(1000);
  const auto en = s.add_signal("en"), zero = s.add_signal("zero");
  const auto n1 = s.add_signal("n1"), n2 = s.add_signal("n2"), n3 = s.add_signal("n3");
  const auto clk = s.add_signal("clk"), rn = s.add_signal("rn"), fb = s.add_signal("fb");
  const auto q0 = s.add_signal("q0"), q1 = s.add_signal("q1");
  s.add_cell("G1", "LEVEL_2-ZEB_DL_AOI21", {n3, en, zero, n1});
  s.add_cell("G2", "LEVEL_0-ZEB_DL_INVX2", {n1, n2});
  host::set_generic(s.add_cell("G3", "LEVEL_2-ZEB_DL_XNOR2", {n2, zero, n3}), "DELAY", 0.5e-9);
  s.add_cell("F0", "LEVEL_0-ZEB_DL_DFFR", {fb, clk, rn, q0});
  s.add_cell("F1", "LEVEL_0-ZEB_DL_DFFR", {q0, clk, rn, q1});
  s.add_cell("X", "LEVEL_0-ZEB_DL_XNOR2", {q1, n1, fb});
  s.drive_constant(zero, '0');
  s.drive_timed(en, {{0, '0'}, {3000, '1'}});
  s.drive_timed(rn, {{0, '0'}, {2500, '1'}, {400000, '0'}, {400700, '1'}});
  s.drive_clock(clk, {700, 300, 100});
  s.run_until(100000);

  const std::size_t blocks = host::kernel().memory.block_count();
  const std::string before{s.value(q1), s.value(n1)};
  counting = true;
  s.run_until(2000000);
  counting = false;
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(host::kernel().memory.block_count(), blocks);
  EXPECT_NE(s.value(n1), 'U');
  EXPECT_NE(s.value(q1), 'U');
}

}  // namespace
