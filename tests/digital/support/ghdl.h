// GHDL as the reference simulator: a generated testbench is analysed, elaborated and run in a
// temporary directory of its own.
#pragma once

#include <cstdint>
#include <string>

namespace test {

// The VCD that GHDL dumps for `top` run until stop_fs femtoseconds. Throws std::runtime_error
// with GHDL's messages when a step fails.
std::string ghdl_vcd(const std::string& vhdl, const std::string& top, std::int64_t stop_fs);

}  // namespace test
