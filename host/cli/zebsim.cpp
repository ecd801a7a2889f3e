// zebsim: the command-line front of the stand-in kernel.
#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "host/cli/list.h"

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

  CLI11_PARSE(app, argc, argv);

  try {
    if (*list) return host::cli::list_deliverables(plugin_dir, std::cout) == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "zebsim: " << error.what() << '\n';
    return 2;
  }
  return 0;
}
