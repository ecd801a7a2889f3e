#include "host/event/stimulus.h"

#include <limits>
#include <stdexcept>

#include "host/event/logic_value.h"

namespace host::event {

namespace {

[[noreturn]] void refuse(const std::string& signal, const std::string& what) {
  throw std::invalid_argument("stimulus on '" + signal + "': " + what);
}

// t + d, or nothing when it passes the last representable tick.
std::optional<std::int64_t> later(std::int64_t t, std::int64_t d) {
  if (t > std::numeric_limits<std::int64_t>::max() - d) return std::nullopt;
  return t + d;
}

}  // namespace

Stimulus Stimulus::clock(const Clock& clock, const std::string& signal) {
  if (clock.period <= 0) refuse(signal, "clock period must be positive");
  if (clock.high_time <= 0 || clock.high_time >= clock.period) {
    refuse(signal, "clock high time must lie strictly between 0 and the period");
  }
  if (clock.first_rise < 0) refuse(signal, "clock first rise must not be negative");
  return Stimulus(Kind::clock, clock, {});
}

Stimulus Stimulus::timed(std::vector<TimedValue> values, const std::string& signal) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!is_logic_value(values[i].value)) {
      refuse(signal, "value " + std::to_string(values[i].value) + " is not a std_ulogic value");
    }
    if (values[i].time < 0)
      refuse(signal, "time " + std::to_string(values[i].time) + " is negative");
    if (i > 0 && values[i].time <= values[i - 1].time) {
      refuse(signal, "times must increase, " + std::to_string(values[i].time) + " follows " +
                         std::to_string(values[i - 1].time));
    }
  }
  return Stimulus(Kind::timed, {}, std::move(values));
}

std::int32_t Stimulus::initial_value() const {
  return kind_ == Kind::clock ? logic_0 : logic_u;
}

std::optional<Transaction> Stimulus::first() {
  if (kind_ == Kind::clock) return Transaction{clock_.first_rise, logic_1};
  next_ = 0;
  if (values_.empty()) return std::nullopt;
  next_ = 1;
  return Transaction{values_[0].time, values_[0].value};
}

std::optional<Transaction> Stimulus::after(const Transaction& matured) {
  if (kind_ == Kind::clock) {
    const bool high = matured.value == logic_1;
    const auto time =
        later(matured.time, high ? clock_.high_time : clock_.period - clock_.high_time);
    if (!time) return std::nullopt;
    return Transaction{*time, high ? logic_0 : logic_1};
  }
  if (next_ >= values_.size()) return std::nullopt;
  const TimedValue& v = values_[next_++];
  return Transaction{v.time, v.value};
}

}  // namespace host::event
