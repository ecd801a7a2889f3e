// The simulation cycle: initialisation, then cycles of driver updates, events and process
// runs, delta cycles at one time before the time advances.
#include "frame/host_services.h"
#include "host/event/event_kernel.h"

namespace host::event {

void EventKernel::record_waveforms() {
  if (started_) throw SimulationError("waveforms are recorded from the start");
  recording_ = true;
}

void EventKernel::set_delta_limit(std::int32_t limit) {
  if (limit < 1) throw std::invalid_argument("the delta cycle limit must be at least 1");
  delta_limit_ = limit;
}

void EventKernel::start() {
  throw_if_failed();
  if (started_) return;
  if (quel_mintr <= 0) {
    throw SimulationError("tick length quel_mintr is " + std::to_string(quel_mintr) +
                          " fs; it must be positive");
  }
  for (const Process& process : processes_) {
    if (process.record->function == nullptr) fail(process.name + " was never installed");
  }
  throw_if_failed();
  started_ = true;
  if (recording_) {
    std::vector<std::int32_t> initial;
    initial.reserve(signals_.size());
    for (const Signal& signal : signals_)
      initial.push_back(static_cast<std::int32_t>(*signal.value));
    recorder_.start(initial);
  }
  for (std::size_t p = 0; p < processes_.size(); ++p) run(static_cast<std::int32_t>(p));
  throw_if_failed();
}

void EventKernel::run_until(std::int64_t time) {
  if (time < now_) {
    throw std::invalid_argument("cannot run until " + std::to_string(time) +
                                ": the time is already " + std::to_string(now_));
  }
  start();
  for (std::optional<std::int64_t> next = next_time(); next && *next <= time; next = next_time()) {
    run_cycle(*next);
    throw_if_failed();
  }
  if (time > now_) {
    now_ = time;
    delta_ = 0;
  }
}

// The time of the next cycle: the current one while a delta cycle is due, else the earliest
// transaction still pending. Entries of deleted transactions are dropped on the way.
std::optional<std::int64_t> EventKernel::next_time() {
  if (!next_delta_.empty()) return now_;
  while (!future_.empty()) {
    const Scheduled& top = future_.top();
    const ProjectedWaveform& waveform = drivers_[static_cast<std::size_t>(top.driver)].waveform;
    if (!waveform.empty() && waveform.front().time == top.time) return top.time;
    future_.pop();
  }
  return std::nullopt;
}

void EventKernel::run_cycle(std::int64_t time) {
  if (time == now_) {  // a delta cycle: only zero-delay transactions are due
    if (delta_ >= delta_limit_) {
      std::string changing;
      for (std::int32_t s : evented_) {
        changing += (changing.empty() ? " '" : ", '") + signals_[static_cast<std::size_t>(s)].name;
        changing += "'";
      }
      fail("no stable state at time " + std::to_string(now_) + " after " +
           std::to_string(delta_limit_) + " delta cycles; still changing:" + changing);
      return;
    }
    ++delta_;
  } else {
    now_ = time;
    delta_ = 0;
  }
  for (std::int32_t s : evented_)
    signals_[static_cast<std::size_t>(s)].record->flags &= ~signal_event;
  evented_.clear();

  this_delta_.swap(next_delta_);
  for (std::int32_t d : this_delta_) {
    Driver& driver = drivers_[static_cast<std::size_t>(d)];
    driver.in_delta_list = false;
    if (!driver.waveform.empty() && driver.waveform.front().time == now_) apply(d);
  }
  this_delta_.clear();
  while (!future_.empty() && future_.top().time == now_) {
    const std::int32_t d = future_.top().driver;
    future_.pop();
    const ProjectedWaveform& waveform = drivers_[static_cast<std::size_t>(d)].waveform;
    if (!waveform.empty() && waveform.front().time == now_) apply(d);
  }

  for (std::int32_t s : evented_) {
    for (std::int32_t p : signals_[static_cast<std::size_t>(s)].wake) {
      Process& process = processes_[static_cast<std::size_t>(p)];
      if (!process.queued) {
        process.queued = true;
        queued_.push_back(p);
      }
    }
  }
  for (std::int32_t p : queued_) {
    processes_[static_cast<std::size_t>(p)].queued = false;
    run(p);
  }
  queued_.clear();
}

void EventKernel::apply(std::int32_t index) {
  Driver& driver = drivers_[static_cast<std::size_t>(index)];
  const Transaction transaction = driver.waveform.front();
  driver.waveform.pop_front();
  if (driver.stimulus) {
    if (const std::optional<Transaction> next = driver.stimulus->after(transaction)) {
      driver.waveform.transport(*next);
      enqueue(index, next->time);
    }
  }
  Signal& signal = signals_[static_cast<std::size_t>(driver.signal)];
  if (*signal.value == transaction.value) return;
  *signal.value = transaction.value;
  signal.record->flags |= signal_event;
  evented_.push_back(driver.signal);
  if (recording_) {
    recorder_.change(driver.signal, now_, delta_, static_cast<std::int32_t>(transaction.value));
  }
}

void EventKernel::run(std::int32_t index) {
  Process& process = processes_[static_cast<std::size_t>(index)];
  running_ = index;
  suspended_ = false;
  process.record->function(process.record);
  running_ = -1;
  if (!suspended_) fail(process.name + " returned without suspending");
}

}  // namespace host::event
