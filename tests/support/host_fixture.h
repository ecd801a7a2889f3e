// A design in the stand-in kernel, loading plug-ins from the build's plug-in directory.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "host/design.h"
#include "host/kernel.h"
#include "host/loader.h"

namespace test {

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::kernel().reset();
    design_ = std::make_unique<host::Design>(loader());
    host::kernel().trace.enable(true);
  }
  void TearDown() override {
    design_.reset();
    host::kernel().trace.enable(false);
  }

  static host::Loader& loader() {
    static host::Loader shared(ZEB_PLUGIN_DIR);
    return shared;
  }
  host::Design& design() { return *design_; }
  static const std::vector<std::string>& calls() { return host::kernel().trace.calls(); }
  // The calls recorded since the last take, and the trace cleared.
  static std::vector<std::string> take_calls() {
    std::vector<std::string> taken = calls();
    host::kernel().trace.clear();
    return taken;
  }

 private:
  std::unique_ptr<host::Design> design_;
};

}  // namespace test
