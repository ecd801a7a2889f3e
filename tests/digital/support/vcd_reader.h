// Reads the scalar variables of a value change dump, for comparing two simulators' dumps.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace test {

// (time in femtoseconds, value character in upper case), a change only where the value differs.
using VcdChanges = std::vector<std::pair<std::int64_t, char>>;

// By variable name (without scope). Throws std::runtime_error on what it cannot read.
std::map<std::string, VcdChanges> read_vcd(const std::string& text);

// The changes before a time.
VcdChanges before(const VcdChanges& changes, std::int64_t time_fs);

}  // namespace test
