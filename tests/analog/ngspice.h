// ngspice as an oracle: runs a netlist in batch mode and reads back the vectors it wrote.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace test {

// Runs `elements` (netlist lines without title or .end) with one `analysis` command in a
// control block and returns the rows ngspice writes for `vectors` (for example
// "v(out) i(V1)"): the scale, then each vector, complex ones as real and imaginary columns.
// Nothing when ngspice is not installed; a test then skips.
std::optional<std::vector<std::vector<double>>> run_ngspice(const std::string& elements,
                                                            const std::string& analysis,
                                                            const std::string& vectors);

// Linear interpolation in a table of rows by its first column.
double interpolate(const std::vector<std::vector<double>>& rows, double x, std::size_t column);

}  // namespace test
