// The value changes of every signal, kept for queries and for the VCD writer.
#pragma once

#include <cstdint>
#include <vector>

namespace host::event {

struct Change {
  std::int64_t time;
  std::int32_t delta;
  std::int32_t value;
};

class WaveformRecorder {
 public:
  // Starts a history per signal from its initial value.
  void start(const std::vector<std::int32_t>& initial_values);
  void change(std::int32_t signal, std::int64_t time, std::int32_t delta, std::int32_t value) {
    history_[static_cast<std::size_t>(signal)].push_back({time, delta, value});
  }

  std::size_t signal_count() const { return initial_.size(); }
  std::int32_t initial_value(std::int32_t signal) const {
    return initial_[static_cast<std::size_t>(signal)];
  }
  // Every event of the signal, delta cycles included, in order.
  const std::vector<Change>& changes(std::int32_t signal) const {
    return history_[static_cast<std::size_t>(signal)];
  }
  // The value at the end of the time step `time`.
  std::int32_t value_at(std::int32_t signal, std::int64_t time) const;

 private:
  std::vector<std::int32_t> initial_;
  std::vector<std::vector<Change>> history_;
};

}  // namespace host::event
