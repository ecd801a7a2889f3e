#include "host/netlist/number.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace host::netlist {

namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_letter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
char lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (lower(text[i]) != prefix[i]) return false;
  }
  return true;
}

// The length of the decimal number at the start: sign, digits, point, exponent.
std::size_t mantissa_length(std::string_view text) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  std::size_t digits = 0;
  while (at < text.size() && is_digit(text[at])) ++at, ++digits;
  if (at < text.size() && text[at] == '.') {
    ++at;
    while (at < text.size() && is_digit(text[at])) ++at, ++digits;
  }
  if (digits == 0) return 0;
  // An exponent only where digits follow the 'e', so that "1e" stays 1 with a unit "e".
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    std::size_t e = at + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    if (e < text.size() && is_digit(text[e])) {
      while (e < text.size() && is_digit(text[e])) ++e;
      at = e;
    }
  }
  return at;
}

}  // namespace

std::optional<double> parse_number(std::string_view text, std::string* problem) {
  const auto fail = [&](std::string why) -> std::optional<double> {
    if (problem != nullptr) *problem = std::move(why);
    return std::nullopt;
  };
  const std::size_t length = mantissa_length(text);
  if (length == 0) return fail("'" + std::string(text) + "' is not a number");
  const std::string mantissa(text.substr(0, length));
  double value = std::strtod(mantissa.c_str(), nullptr);
  std::string_view rest = text.substr(length);
  double scale = 1.0;
  if (starts_with_nocase(rest, "meg")) {
    scale = 1e6;
    rest.remove_prefix(3);
  } else if (starts_with_nocase(rest, "mil")) {
    return fail("'" + std::string(text) + "': the suffix 'mil' is not supported");
  } else if (!rest.empty()) {
    switch (lower(rest.front())) {
      case 'f':
        scale = 1e-15;
        break;
      case 'p':
        scale = 1e-12;
        break;
      case 'n':
        scale = 1e-9;
        break;
      case 'u':
        scale = 1e-6;
        break;
      case 'm':
        scale = 1e-3;
        break;
      case 'k':
        scale = 1e3;
        break;
      case 'g':
        scale = 1e9;
        break;
      case 't':
        scale = 1e12;
        break;
      default:
        break;
    }
    if (scale != 1.0) rest.remove_prefix(1);
  }
  for (char c : rest) {
    if (!is_letter(c)) return fail("'" + std::string(text) + "' is not a number");
  }
  value *= scale;
  if (!std::isfinite(value)) return fail("'" + std::string(text) + "' is out of range");
  return value;
}

}  // namespace host::netlist
