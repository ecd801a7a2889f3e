// The iteration paths allocate nothing: neither the plug-ins (the host's blocks) nor the
// engine (the process's heap) across a thousand Newton iterations, transient loads and
// small-signal solutions. malloc and its kin are interposed here to count.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "host/analog/newton.h"
#include "host/analog/operating_point.h"
#include "host/analog/system.h"
#include "host/kernel.h"
#include "tests/analog/analog_fixture.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {

bool counting = false;
long heap_allocations = 0;

}  // namespace

extern "C" {

void* malloc(std::size_t size) {
  if (counting) ++heap_allocations;
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  if (counting) ++heap_allocations;
  return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
  if (counting) ++heap_allocations;
  return __libc_realloc(block, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  if (counting) ++heap_allocations;
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** block, std::size_t alignment, std::size_t size) {
  if (counting) ++heap_allocations;
  *block = __libc_memalign(alignment, size);
  return *block == nullptr ? 12 : 0;
}
void free(void* block) {
  __libc_free(block);
}

}  // extern "C"

namespace {

using host::analog::LoadPoint;
using host::analog::System;
using host::analog::Waveform;

// The 32-bit build factors with Eigen's SparseLU, which allocates in every numeric
// factorisation; there only the loads are counted.
constexpr bool factor_allocation_free = UINTPTR_MAX != 0xFFFFFFFFu;

struct Counts {
  long heap;
  std::size_t host_blocks;
};

template <class F>
Counts count(F&& work) {
  const std::size_t blocks = host::kernel().memory.block_count();
  heap_allocations = 0;
  counting = true;
  work();
  counting = false;
  return {heap_allocations, host::kernel().memory.block_count() - blocks};
}

class AllocationTest : public test::AnalogTest {
 protected:
  void SetUp() override {
    AnalogTest::SetUp();
    circuit().voltage_source("V1", "in", "0", Waveform::dc(1.0).with_ac(1.0));
    circuit().unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "a"}, {{"R", 1e3}});
    circuit().unit("R2", "LEVEL_2-ZEB_RES_2P", {"a", "b"},
                   {{"R", 1e3},
                    {"C1", std::vector<double>{1e-12, 1e-12, 1e-12}},
                    {"C2", std::vector<double>{1e-12, 1e-12, 1e-12}}});
    circuit().unit("C1", "LEVEL_0-ZEB_CAP_2P", {"b", "0"}, {{18, 1e-9}});
    circuit().unit("X1", "DEFAULT-ZEB_ISRC", {"b", "0"}, {{"VSC", 1.0}, {"ISC", 1e-4}});
    add("D1", test::diode(), {"a", "0"}, {{0, 1e-14}, {1, 0.025865}});
    const auto op = host::analog::operating_point(circuit()).unknowns();
    op_.assign(op.begin(), op.end());
  }
  std::vector<double> op_;
};

TEST_F(AllocationTest, NewtonIterationsAllocateNothing) {
  System& system = circuit().system();
  std::vector<double> x = op_;
  const Counts loads = count([&] {
    for (int k = 0; k < 1000; ++k) system.load(x, LoadPoint{});
  });
  EXPECT_EQ(loads.heap, 0);
  EXPECT_EQ(loads.host_blocks, 0u);

  if (!factor_allocation_free) GTEST_SKIP() << "Eigen's SparseLU allocates when it factors";
  const Counts iterations = count([&] {
    for (int k = 0; k < 1000; ++k) {
      system.load(x, LoadPoint{});
      ASSERT_TRUE(system.jacobian().factor());
      std::span<double> dx = system.scratch();
      for (std::size_t u = 0; u < dx.size(); ++u) dx[u] = -system.residual()[u];
      system.jacobian().solve(dx);
    }
    host::analog::solve_newton(system, x, LoadPoint{}, {});
  });
  EXPECT_EQ(iterations.heap, 0);
  EXPECT_EQ(iterations.host_blocks, 0u);
}

TEST_F(AllocationTest, TransientLoadsAndAcSolutionsAllocateNothing) {
  System& system = circuit().system();
  const System::Scope scope(system);
  std::vector<double> x = op_;
  std::vector<double> history(x.size(), -1e3);
  system.set_integration(1e6, history);
  const Counts transient = count([&] {
    for (int k = 0; k < 1000; ++k) system.load(x, LoadPoint{true, 1e-6});
  });
  system.clear_integration();
  EXPECT_EQ(transient.heap, 0);
  EXPECT_EQ(transient.host_blocks, 0u);

  std::vector<std::complex<double>> v(x.size());
  // The first factorisation chooses the pivots and allocates the factors.
  system.load_ac(op_, 1e3);
  ASSERT_TRUE(system.ac_matrix().factor());
  const Counts ac = count([&] {
    for (int k = 0; k < 1000; ++k) {
      system.load_ac(op_, 1e3 * (k + 1));
      if (!factor_allocation_free) continue;
      ASSERT_TRUE(system.ac_matrix().factor());
      std::copy(system.ac_rhs().begin(), system.ac_rhs().end(), v.begin());
      system.ac_matrix().solve(v);
    }
  });
  EXPECT_EQ(ac.heap, 0);
  EXPECT_EQ(ac.host_blocks, 0u);
}

}  // namespace
