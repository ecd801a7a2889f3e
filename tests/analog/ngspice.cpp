#include "tests/analog/ngspice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace test {

std::optional<std::vector<std::vector<double>>> run_ngspice(const std::string& elements,
                                                            const std::string& analysis,
                                                            const std::string& vectors) {
  if (std::system("command -v ngspice > /dev/null 2>&1") != 0) return std::nullopt;
  const auto directory =
      std::filesystem::temp_directory_path() / ("zeb-ngspice-" + std::to_string(::getpid()));
  std::filesystem::create_directories(directory);
  const auto netlist = directory / "circuit.cir";
  const auto data = directory / "data.txt";
  {
    std::ofstream out(netlist);
    out << "oracle\n"
        << elements << "\n.control\nset wr_singlescale\noption numdgt=15\n"
        << analysis << "\nwrdata " << data.string() << " " << vectors << "\n.endc\n.end\n";
  }
  const std::string command =
      "ngspice -b " + netlist.string() + " > " + (directory / "log.txt").string() + " 2>&1";
  // ngspice's exit status is 1 for a batch run without .print lines; the data tells.
  [[maybe_unused]] const int status = std::system(command.c_str());
  std::vector<std::vector<double>> rows;
  std::ifstream in(data);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::vector<double> row;
    for (double v; fields >> v;) row.push_back(v);
    if (!row.empty()) rows.push_back(std::move(row));
  }
  EXPECT_FALSE(rows.empty()) << "ngspice wrote no data; see " << directory;
  if (!rows.empty()) std::filesystem::remove_all(directory);
  return rows;
}

double interpolate(const std::vector<std::vector<double>>& rows, double x, std::size_t column) {
  if (rows.empty()) return 0.0;
  if (x <= rows.front()[0]) return rows.front()[column];
  for (std::size_t k = 1; k < rows.size(); ++k) {
    if (x <= rows[k][0]) {
      const double x0 = rows[k - 1][0];
      const double x1 = rows[k][0];
      const double w = x1 == x0 ? 1.0 : (x - x0) / (x1 - x0);
      return rows[k - 1][column] + w * (rows[k][column] - rows[k - 1][column]);
    }
  }
  return rows.back()[column];
}

}  // namespace test
