// Future transactions by time: a min-heap of (time, driver) whose storage is reused, so that
// scheduling allocates nothing once it has grown to the design's needs. Entries whose
// transaction was deleted stay until their time; the kernel skips them then.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace host::event {

struct Scheduled {
  std::int64_t time;
  std::int32_t driver;
};

class TimeQueue {
 public:
  bool empty() const { return heap_.empty(); }
  const Scheduled& top() const { return heap_.front(); }
  void push(Scheduled entry) {
    heap_.push_back(entry);
    std::push_heap(heap_.begin(), heap_.end(), later);
  }
  void pop() {
    std::pop_heap(heap_.begin(), heap_.end(), later);
    heap_.pop_back();
  }
  void clear() { heap_.clear(); }

 private:
  static bool later(const Scheduled& a, const Scheduled& b) { return a.time > b.time; }
  std::vector<Scheduled> heap_;
};

}  // namespace host::event
