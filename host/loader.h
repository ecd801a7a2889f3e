// Loads plug-ins by file name from a library directory and checks the table it finds.
#pragma once

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

#include "frame/export_tables.h"
#include "host/catalog.h"

namespace host {

// A plug-in that cannot be used; the message names the file and the problem.
class LoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Plugin {
  std::string name;
  std::filesystem::path path;
  const elab_funcs_table* table = nullptr;
};

// The elab_funcs slots a table fills, as bits (catalog.h, namespace slot).
unsigned filled_slots(const elab_funcs_table& table);
std::string describe_slots(unsigned slots);

class Loader {
 public:
  explicit Loader(std::filesystem::path directory) : directory_(std::move(directory)) {}
  Loader(const Loader&) = delete;
  Loader& operator=(const Loader&) = delete;

  const std::filesystem::path& directory() const { return directory_; }

  // Loads NAME.so once and checks its table against the catalog entry; throws LoadError.
  const Plugin& load(const CatalogEntry& entry);
  // Loads a file and reads its elab_funcs, without checking the table's shape.
  static Plugin open(const std::filesystem::path& path, const std::string& name);

 private:
  std::filesystem::path directory_;
  std::map<std::string, Plugin, std::less<>> loaded_;
};

}  // namespace host
