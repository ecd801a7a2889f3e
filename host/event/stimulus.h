// Stimuli the kernel applies to an input signal: a clock, or a timed list of values. Each
// yields its transactions one at a time, the next when the last one matures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/event/projected_waveform.h"

namespace host::event {

// '0' until first_rise, then '1' for high_time and '0' for the rest of every period.
struct Clock {
  std::int64_t period;
  std::int64_t high_time;
  std::int64_t first_rise = 0;
};

struct TimedValue {
  std::int64_t time;
  std::int32_t value;  // std_ulogic position
};

class Stimulus {
 public:
  // Both throw std::invalid_argument, naming the signal, for a stimulus that cannot be
  // applied: a period or high time out of range, times that do not increase, bad values.
  static Stimulus clock(const Clock& clock, const std::string& signal);
  static Stimulus timed(std::vector<TimedValue> values, const std::string& signal);

  // The signal's value before the first transaction.
  std::int32_t initial_value() const;
  std::optional<Transaction> first();
  std::optional<Transaction> after(const Transaction& matured);

 private:
  enum class Kind { clock, timed };
  Stimulus(Kind kind, Clock clock, std::vector<TimedValue> values)
      : kind_(kind), clock_(clock), values_(std::move(values)) {}

  Kind kind_;
  Clock clock_;
  std::vector<TimedValue> values_;
  std::size_t next_ = 0;  // next entry of a timed list
};

}  // namespace host::event
