#include "tests/digital/support/vcd_reader.h"

#include <cctype>
#include <sstream>
#include <stdexcept>

namespace test {

namespace {

std::int64_t femtoseconds_per(const std::string& timescale) {
  std::size_t digits = 0;
  while (digits < timescale.size() && std::isdigit(static_cast<unsigned char>(timescale[digits]))) {
    ++digits;
  }
  const std::int64_t count = std::stoll(timescale.substr(0, digits));
  const std::string unit = timescale.substr(digits);
  static const std::map<std::string, std::int64_t> units{
      {"fs", 1},          {"ps", 1000},          {"ns", 1000000},
      {"us", 1000000000}, {"ms", 1000000000000}, {"s", 1000000000000000}};
  const auto it = units.find(unit);
  if (it == units.end()) throw std::runtime_error("VCD timescale '" + timescale + "'");
  return count * it->second;
}

}  // namespace

std::map<std::string, VcdChanges> read_vcd(const std::string& text) {
  std::istringstream in(text);
  std::map<std::string, std::string> names;  // identifier to name
  std::map<std::string, VcdChanges> changes;
  std::int64_t scale = 1, time = 0;
  std::string token;
  while (in >> token) {
    if (token == "$timescale") {
      std::string scale_text, part;
      while (in >> part && part != "$end") scale_text += part;
      scale = femtoseconds_per(scale_text);
    } else if (token == "$var") {
      std::string type, size, id, name, end;
      in >> type >> size >> id >> name;
      while (in >> end && end != "$end") {
      }
      names[id] = name;
      changes[name];
    } else if (token == "$date" || token == "$version" || token == "$comment" ||
               token == "$scope") {
      while (in >> token && token != "$end") {
      }
    } else if (token[0] == '$') {
      // $upscope, $enddefinitions, $dumpvars, $end: structure only.
    } else if (token[0] == '#') {
      time = std::stoll(token.substr(1)) * scale;
    } else {
      const auto it = names.find(token.substr(1));
      if (it == names.end()) throw std::runtime_error("VCD value '" + token + "'");
      const char value = static_cast<char>(std::toupper(static_cast<unsigned char>(token[0])));
      VcdChanges& list = changes[it->second];
      if (list.empty() || list.back().second != value) list.emplace_back(time, value);
    }
  }
  return changes;
}

VcdChanges before(const VcdChanges& changes, std::int64_t time_fs) {
  VcdChanges kept;
  for (const auto& change : changes) {
    if (change.first < time_fs) kept.push_back(change);
  }
  return kept;
}

}  // namespace test
