// zebsim: the command-line front of the stand-in kernel.
#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "host/cli/list.h"
#include "host/cli/run.h"

#ifndef ZEB_DEFAULT_PLUGIN_DIR
#define ZEB_DEFAULT_PLUGIN_DIR "plugins"
#endif

namespace {

std::filesystem::path default_plugin_dir() {
  if (const char* dir = std::getenv("ZEBSIM_PLUGINS")) return dir;
  return ZEB_DEFAULT_PLUGIN_DIR;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"zebsim: runs the compiled behavioural models of the ZEB library"};
  app.require_subcommand(1);
  std::filesystem::path plugin_dir = default_plugin_dir();
  app.add_option("--plugins", plugin_dir, "directory of the plug-ins (default: the build's)")
      ->check(CLI::ExistingDirectory);

  CLI::App* list = app.add_subcommand(
      "list", "load every deliverable, elaborate one instance of each, print a table");

  host::cli::RunOptions run_options;
  std::filesystem::path output_dir;
  bool quiet = false;
  CLI::App* run = app.add_subcommand("run", "read a netlist, run its analyses, write the results");
  run->add_option("NETLIST", run_options.netlist, "the netlist file")->required();
  run->add_option("-o,--output", output_dir,
                  "directory of the results (default: zebsim-out/NETLIST_NAME)");
  run->add_option("--format", run_options.formats,
                  "result formats, comma-separated: csv, raw (ngspice ASCII), vcd")
      ->capture_default_str();
  run->add_flag("--plot", run_options.plot, "also write a PNG of each analysis through gnuplot");
  run->add_option("--trace", run_options.trace,
                  "print the service calls of these instances (elaboration and simulation)");
  run->add_flag("-q,--quiet", quiet, "no progress bar");

  CLI11_PARSE(app, argc, argv);

  try {
    if (*list) return host::cli::list_deliverables(plugin_dir, std::cout) == 0 ? 0 : 1;
    if (*run) {
      if (!output_dir.empty()) run_options.output_dir = output_dir;
      run_options.plugin_dir = plugin_dir;
      run_options.progress = !quiet;
      return host::cli::run_command(run_options, std::cout, std::cerr);
    }
  } catch (const std::exception& error) {
    std::cerr << "zebsim: " << error.what() << '\n';
    return 2;
  }
  return 0;
}
