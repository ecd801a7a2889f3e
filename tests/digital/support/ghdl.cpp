#include "tests/digital/support/ghdl.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace test {

namespace {

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zeb-ghdl-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create " + pattern);
    path_ = pattern;
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

std::string ghdl_vcd(const std::string& vhdl, const std::string& top, std::int64_t stop_fs) {
  const TemporaryDirectory dir;
  std::ofstream(dir.path() / "bench.vhd") << vhdl;
  const std::string command =
      "cd '" + dir.path().string() + "' && { ghdl -a bench.vhd && ghdl -e " + top + " && ghdl -r " +
      top + " --vcd=out.vcd --stop-time=" + std::to_string(stop_fs) + "fs; } > log.txt 2>&1";
  const int status = std::system(command.c_str());
  if (status != 0) {
    throw std::runtime_error(
        "GHDL failed (is ghdl installed? scripts/install-deps.sh installs "
        "it):\n" +
        read_file(dir.path() / "log.txt"));
  }
  return read_file(dir.path() / "out.vcd");
}

}  // namespace test
