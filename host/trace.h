// An ordered record of the service calls the plug-ins make, with their arguments.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "frame/ac_value.h"

namespace host {

// Names for the records and blocks a trace mentions, so that a trace reads "X1.pin3" and
// not an address.
class RecordNames {
 public:
  void name(const void* address, std::string name) { names_[address] = std::move(name); }
  void forget(const void* address) { names_.erase(address); }
  // The registered name, "null", or the address in hex.
  std::string of(const void* address) const;

 private:
  std::unordered_map<const void*, std::string> names_;
};

class Trace {
 public:
  explicit Trace(const RecordNames& names) : names_(names) {}

  bool enabled() const { return enabled_; }
  void enable(bool on) { enabled_ = on; }
  // When set, only calls for which `keep` answers true are recorded, and they go to `sink`
  // instead of calls() (a long run need not hold them all).
  void select(std::function<bool()> keep, std::function<void(const std::string&)> sink) {
    keep_ = std::move(keep);
    sink_ = std::move(sink);
  }
  const std::vector<std::string>& calls() const { return calls_; }
  void clear() { calls_.clear(); }

  // Records name(arg, arg, ...) when enabled; each argument formats as in a C call.
  template <class... Args>
  void call(std::string_view name, const Args&... args) {
    if (!enabled_ || (keep_ && !keep_())) return;
    std::string text(name);
    text += '(';
    [[maybe_unused]] bool first = true;
    ((append(text, first, args)), ...);
    text += ')';
    store(std::move(text));
  }

  // Records a call already formatted.
  void record(std::string text) {
    if (enabled_ && (!keep_ || keep_())) store(std::move(text));
  }

  // A function pointer argument, shown as "fn" (its address differs per load).
  struct function_argument {};
  // A string argument, shown quoted.
  struct string_argument {
    std::string_view text;
  };

 private:
  void store(std::string text) {
    if (sink_) {
      sink_(text);
    } else {
      calls_.push_back(std::move(text));
    }
  }
  void append(std::string& text, bool& first, const auto& value) {
    if (!first) text += ", ";
    first = false;
    text += format(value);
  }
  std::string format(std::int32_t v) const { return std::to_string(v); }
  std::string format(std::int64_t v) const { return std::to_string(v); }
  std::string format(std::uint64_t v) const { return std::to_string(v); }
  std::string format(std::uint32_t v) const { return std::to_string(v); }
  std::string format(double v) const;
  std::string format(const ac_value& v) const;
  std::string format(const void* p) const { return names_.of(p); }
  std::string format(function_argument) const { return "fn"; }
  std::string format(string_argument s) const { return '"' + std::string(s.text) + '"'; }

  const RecordNames& names_;
  bool enabled_ = false;
  std::vector<std::string> calls_;
  std::function<bool()> keep_;
  std::function<void(const std::string&)> sink_;
};

// Shortest text that reads back as the same double.
std::string format_double(double v);

}  // namespace host
