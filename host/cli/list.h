// `zebsim list`: every deliverable, loaded and elaborated through its set-up and check phases.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace host::cli {

// Prints the table; returns the number of deliverables that failed.
int list_deliverables(const std::filesystem::path& plugin_dir, std::ostream& out);

}  // namespace host::cli
