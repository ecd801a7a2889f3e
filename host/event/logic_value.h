// std_ulogic values as the kernel holds them: positions 0 to 8 of the IEEE 1164 enumeration.
#pragma once

#include <cstdint>
#include <string_view>

namespace host::event {

inline constexpr std::string_view logic_chars = "UX01ZWLH-";
inline constexpr std::int32_t logic_u = 0;
inline constexpr std::int32_t logic_0 = 2;
inline constexpr std::int32_t logic_1 = 3;

// A value a plug-in may pass: the position in the low word, zero in the high word.
inline bool is_logic_value(std::int64_t value) {
  return value >= 0 && value < static_cast<std::int64_t>(logic_chars.size());
}

// The position of an IEEE 1164 character ('U', 'X', '0', ...), or -1.
inline std::int32_t logic_position(char c) {
  const auto at = logic_chars.find(c);
  return at == std::string_view::npos ? -1 : static_cast<std::int32_t>(at);
}

// The character of a position; '?' for anything else.
inline char logic_char(std::int64_t value) {
  return is_logic_value(value) ? logic_chars[static_cast<std::size_t>(value)] : '?';
}

}  // namespace host::event
