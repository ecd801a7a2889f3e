// Result files written under a temporary name in their directory and renamed when complete,
// so that no reader ever sees a truncated file under the final name.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <stdexcept>

namespace host::output {

class OutputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes `path` through `write`: into a temporary file beside it, then renamed over it. A
// temporary file that exists is listed, so that a signal handler's caller can remove it
// (remove_temporary_files). Throws OutputError naming the file.
void write_atomically(const std::filesystem::path& path,
                      const std::function<void(std::ostream&)>& write);

// The temporary name write_atomically uses for `path`.
std::filesystem::path temporary_name(const std::filesystem::path& path);

// Removes the temporary files of writes in progress.
void remove_temporary_files();

}  // namespace host::output
