#include "host/event/projected_waveform.h"

#include <iterator>

namespace host::event {

void ProjectedWaveform::pop_front() {
  ++head_;
  if (head_ == items_.size()) {
    clear();
  } else if (head_ >= 32 && head_ * 2 >= items_.size()) {
    // Reclaims applied transactions in place; erase keeps the capacity.
    items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
  }
}

void ProjectedWaveform::clear() {
  items_.clear();
  head_ = 0;
}

void ProjectedWaveform::drop_from(std::int64_t time) {
  while (!empty() && items_.back().time >= time) items_.pop_back();
}

void ProjectedWaveform::transport(Transaction next) {
  drop_from(next.time);
  items_.push_back(next);
}

void ProjectedWaveform::inertial(Transaction next, std::int64_t reject) {
  drop_from(next.time);
  const std::int64_t window = next.time - reject;
  auto first_in_window = items_.begin() + static_cast<std::ptrdiff_t>(head_);
  while (first_in_window != items_.end() && first_in_window->time < window) ++first_in_window;
  auto run = items_.end();
  while (run != first_in_window && std::prev(run)->value == next.value) --run;
  items_.erase(first_in_window, run);
  items_.push_back(next);
}

void ProjectedWaveform::insert(Transaction next) {
  auto at = items_.begin() + static_cast<std::ptrdiff_t>(head_);
  while (at != items_.end() && at->time < next.time) ++at;
  if (at != items_.end() && at->time == next.time) {
    at->value = next.value;
  } else {
    items_.insert(at, next);
  }
}

}  // namespace host::event
