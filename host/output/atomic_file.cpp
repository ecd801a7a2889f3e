#include "host/output/atomic_file.h"

#include <unistd.h>

#include <mutex>
#include <set>
#include <string>

namespace host::output {

namespace {

std::mutex open_mutex;
std::set<std::filesystem::path>& open_files() {
  static std::set<std::filesystem::path> files;
  return files;
}

}  // namespace

std::filesystem::path temporary_name(const std::filesystem::path& path) {
  return path.parent_path() /
         ("." + path.filename().string() + ".tmp" + std::to_string(::getpid()));
}

void write_atomically(const std::filesystem::path& path,
                      const std::function<void(std::ostream&)>& write) {
  const std::filesystem::path temporary = temporary_name(path);
  {
    const std::lock_guard lock(open_mutex);
    open_files().insert(temporary);
  }
  const auto forget = [&] {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    const std::lock_guard lock(open_mutex);
    open_files().erase(temporary);
  };
  try {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) throw OutputError("cannot write " + temporary.string());
    write(out);
    out.flush();
    if (!out) throw OutputError("cannot write " + temporary.string() + " (disk full?)");
    out.close();
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) throw OutputError("cannot rename to " + path.string() + ": " + error.message());
  } catch (...) {
    forget();
    throw;
  }
  const std::lock_guard lock(open_mutex);
  open_files().erase(temporary);
}

void remove_temporary_files() {
  const std::lock_guard lock(open_mutex);
  for (const std::filesystem::path& file : open_files()) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
  }
  open_files().clear();
}

}  // namespace host::output
