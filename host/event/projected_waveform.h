// The transactions a driver still has to apply, in time order, edited by the VHDL rules of
// transport and inertial assignment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace host::event {

struct Transaction {
  std::int64_t time;   // absolute, in ticks; the current time means the next delta cycle
  std::int64_t value;  // std_ulogic position
};

class ProjectedWaveform {
 public:
  bool empty() const { return head_ == items_.size(); }
  const Transaction& front() const { return items_[head_]; }
  void pop_front();
  std::span<const Transaction> pending() const {
    return std::span<const Transaction>(items_).subspan(head_);
  }
  void clear();

  // Old transactions at or after the new one's time are deleted, then it is appended.
  void transport(Transaction next);
  // As transport, then, within the rejection interval [time - reject, time), only the run of
  // old transactions immediately before the new one that carry its value survives.
  void inertial(Transaction next, std::int64_t reject);
  // Adds a transaction in time order, replacing one at the same time; nothing else changes.
  void insert(Transaction next);

 private:
  void drop_from(std::int64_t time);

  std::vector<Transaction> items_;  // items_[head_..] are pending; capacity is kept
  std::size_t head_ = 0;
};

}  // namespace host::event
