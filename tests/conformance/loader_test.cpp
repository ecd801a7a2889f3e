// The loader names the file and the problem for every plug-in it cannot use.
#include "host/loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host/catalog.h"

namespace {

namespace fs = std::filesystem;

class LoaderErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("zeb-loader-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The message of the LoadError that loading `deliverable` from the directory raises.
  std::string load_error(std::string_view deliverable) {
    host::Loader loader(dir_);
    try {
      loader.load(*host::find_entry(deliverable));
    } catch (const host::LoadError& error) {
      return error.what();
    }
    return "";
  }
  fs::path plugin(std::string_view name) const { return dir_ / (std::string(name) + ".so"); }

  fs::path dir_;
};

TEST_F(LoaderErrors, MissingFile) {
  const std::string message = load_error("LEVEL_0-ZEB_RES_2P");
  EXPECT_NE(message.find(plugin("LEVEL_0-ZEB_RES_2P").string()), std::string::npos) << message;
  EXPECT_NE(message.find("no such plug-in file"), std::string::npos) << message;
}

TEST_F(LoaderErrors, LibraryWithoutElabFuncs) {
  fs::copy_file(NO_ELAB_FUNCS_LIBRARY, plugin("LEVEL_0-ZEB_RES_2P"));
  EXPECT_NE(load_error("LEVEL_0-ZEB_RES_2P").find("no elab_funcs"), std::string::npos);
}

TEST_F(LoaderErrors, TruncatedAndCorruptFiles) {
  const fs::path real = fs::path(ZEB_PLUGIN_DIR) / "LEVEL_0-ZEB_RES_2P.so";
  std::ifstream in(real, std::ios::binary);
  std::string head(200, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  std::ofstream(plugin("LEVEL_0-ZEB_RES_2P"), std::ios::binary) << head;
  std::ofstream(plugin("LEVEL_0-ZEB_CAP_2P"), std::ios::binary) << "not a shared library";
  for (std::string_view name : {"LEVEL_0-ZEB_RES_2P", "LEVEL_0-ZEB_CAP_2P"}) {
    const std::string message = load_error(name);
    EXPECT_NE(message.find(plugin(name).string() + ": cannot load plug-in"), std::string::npos)
        << message;
  }
}

// An analog plug-in's table under a logic cell's name does not fit that kind of unit.
TEST_F(LoaderErrors, TableOfTheWrongKind) {
  fs::copy_file(fs::path(ZEB_PLUGIN_DIR) / "LEVEL_0-ZEB_RES_2P.so", plugin("LEVEL_0-ZEB_DL_INVX2"));
  const std::string message = load_error("LEVEL_0-ZEB_DL_INVX2");
  EXPECT_NE(message.find("does not fit a digital unit: slots 0,4,5 filled, expected 0"),
            std::string::npos)
      << message;
}

TEST(Loader, EveryDeliverableLoadsAndFitsItsKind) {
  host::Loader loader(ZEB_PLUGIN_DIR);
  for (const host::CatalogEntry& entry : host::catalog()) {
    EXPECT_NO_THROW(loader.load(entry)) << entry.name;
  }
}

}  // namespace
