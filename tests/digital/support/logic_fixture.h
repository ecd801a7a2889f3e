// A design with a logic simulation over it; the kernel's tick length and derating value are
// restored after each test.
#pragma once

#include <memory>

#include "frame/host_services.h"
#include "host/event/logic_simulation.h"
#include "tests/support/host_fixture.h"

namespace test {

class LogicTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    host::kernel().trace.enable(false);
    sim_ = std::make_unique<host::event::LogicSimulation>(design());
  }
  void TearDown() override {
    sim_.reset();
    HostTest::TearDown();
    quel_mintr = 1;
    host::kernel().settings.tick_fs = 1;
    host::kernel().settings.temperature = 27.0;
  }
  host::event::LogicSimulation& sim() { return *sim_; }

 private:
  std::unique_ptr<host::event::LogicSimulation> sim_;
};

}  // namespace test
