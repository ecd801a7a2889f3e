// Writes the results of each analysis into the output directory: CSV, ngspice raw (ASCII),
// VCD of the digital signals, and a PNG plot through gnuplot. A complete analysis goes to
// NAME.EXT, one that stopped early to NAME.incomplete.EXT; each file is written atomically
// and the file of the other kind left by an earlier run is removed.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <set>
#include <string>
#include <vector>

#include "host/netlist/results.h"

namespace host::output {

enum class Format { csv, raw, vcd };

struct OutputOptions {
  std::filesystem::path directory;
  std::set<Format> formats{Format::csv, Format::raw, Format::vcd};
  bool plot = false;
  std::string title;  // the netlist, for the raw file's title
};

void write_csv(std::ostream& out, const netlist::ResultTable& table);
void write_raw(std::ostream& out, const netlist::ResultTable& table, const std::string& title);

class ResultFiles {
 public:
  explicit ResultFiles(OutputOptions options);

  // Writes the table's files; throws OutputError.
  void write(const netlist::ResultTable& table);
  const std::vector<std::filesystem::path>& written() const { return written_; }

 private:
  void put(const netlist::ResultTable& table, const std::string& extension,
           const std::function<void(std::ostream&)>& write);

  OutputOptions options_;
  std::vector<std::filesystem::path> written_;
};

}  // namespace host::output
