// `zebsim run NETLIST`: reads the netlist, runs its analyses, writes the results and prints
// a summary.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace host::cli {

struct RunOptions {
  std::filesystem::path netlist;
  std::optional<std::filesystem::path> output_dir;  // default: zebsim-out/NETLIST_STEM
  std::string formats = "csv,raw,vcd";
  bool plot = false;
  std::vector<std::string> trace;  // instances whose service calls are printed
  std::filesystem::path plugin_dir;
  bool progress = true;  // a progress bar when stderr is a terminal
};

// The output directory for a netlist when none is given.
std::filesystem::path default_output_dir(const std::filesystem::path& netlist);

// Returns the exit status: 0, 1 for a netlist or analysis error, 128 + signal when
// interrupted. Errors go to err as one line each.
int run_command(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace host::cli
