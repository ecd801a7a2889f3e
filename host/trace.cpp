#include "host/trace.h"

#include <charconv>
#include <cstdio>

namespace host {

std::string RecordNames::of(const void* address) const {
  if (address == nullptr) return "null";
  if (auto it = names_.find(address); it != names_.end()) return it->second;
  char text[2 + 2 * sizeof(void*) + 1];
  std::snprintf(text, sizeof text, "%p", address);
  return text;
}

std::string format_double(double v) {
  char text[32];
  auto result = std::to_chars(text, text + sizeof text, v);
  return std::string(text, result.ptr);
}

std::string Trace::format(double v) const {
  return format_double(v);
}

std::string Trace::format(const ac_value& v) const {
  return '(' + format_double(v.re) + ", " + format_double(v.im) + ')';
}

}  // namespace host
