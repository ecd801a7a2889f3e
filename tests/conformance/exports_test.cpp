// Every deliverable exists under its exact file name and exports elab_funcs alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "host/catalog.h"

namespace {

std::string run(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  pclose(pipe);
  return output;
}

TEST(Exports, EachPluginDefinesOnlyElabFuncs) {
  const std::filesystem::path dir = ZEB_PLUGIN_DIR;
  for (const host::CatalogEntry& entry : host::catalog()) {
    const std::filesystem::path file = dir / (std::string(entry.name) + ".so");
    ASSERT_TRUE(std::filesystem::exists(file)) << file;
    std::istringstream symbols(run("nm -D --defined-only '" + file.string() + "'"));
    std::string address, type, name, line;
    std::vector<std::string> defined;
    while (std::getline(symbols, line)) {
      std::istringstream fields(line);
      if (fields >> address >> type >> name) defined.push_back(name);
    }
    EXPECT_EQ(defined, std::vector<std::string>{"elab_funcs"}) << file;
  }
}

TEST(Exports, PluginDirectoryHoldsTheFortyNineDeliverables) {
  std::size_t plugins = 0;
  for (const auto& file : std::filesystem::directory_iterator(ZEB_PLUGIN_DIR)) {
    if (file.path().extension() == ".so") ++plugins;
  }
  EXPECT_EQ(plugins, host::catalog().size());
  EXPECT_EQ(host::catalog().size(), 49u);
}

}  // namespace
