// Numbers as SPICE writes them: a decimal number, an optional engineering suffix
// (f p n u m k meg g t, any case) and letters of a unit that are ignored ("10pF", "5V").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace host::netlist {

// The value, or why the text is no number. "mil" is refused rather than read as milli.
std::optional<double> parse_number(std::string_view text, std::string* problem = nullptr);

}  // namespace host::netlist
