// A circuit in a fresh design, with the call trace off (analyses make many calls).
#pragma once

#include <memory>

#include "host/analog/circuit.h"
#include "tests/analog/test_units.h"
#include "tests/support/host_fixture.h"

namespace test {

class AnalogTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    host::kernel().trace.enable(false);
    circuit_ = std::make_unique<host::analog::Circuit>(design());
  }
  void TearDown() override {
    circuit_.reset();
    HostTest::TearDown();
  }
  host::analog::Circuit& circuit() { return *circuit_; }

 public:
  // An instance of a test unit.
  host::Instance& add(const std::string& name, const TestUnit& unit,
                      const std::vector<std::string>& nodes,
                      const std::vector<host::analog::GenericValue>& generics = {}) {
    return circuit().unit(name, unit.entry, unit.plugin, nodes, generics);
  }

 private:
  std::unique_ptr<host::analog::Circuit> circuit_;
};

// Worst relative deviation of `actual` from `expected`, relative to max(|expected|, floor).
inline double relative_deviation(double actual, double expected, double floor = 0.0) {
  const double scale = std::max(std::abs(expected), floor);
  return scale == 0.0 ? std::abs(actual) : std::abs(actual - expected) / scale;
}

}  // namespace test
