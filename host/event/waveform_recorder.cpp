#include "host/event/waveform_recorder.h"

#include <algorithm>

namespace host::event {

void WaveformRecorder::start(const std::vector<std::int32_t>& initial_values) {
  initial_ = initial_values;
  history_.assign(initial_.size(), {});
}

std::int32_t WaveformRecorder::value_at(std::int32_t signal, std::int64_t time) const {
  const std::vector<Change>& changes = history_[static_cast<std::size_t>(signal)];
  const auto after = std::upper_bound(changes.begin(), changes.end(), time,
                                      [](std::int64_t t, const Change& c) { return t < c.time; });
  return after == changes.begin() ? initial_value(signal) : std::prev(after)->value;
}

}  // namespace host::event
