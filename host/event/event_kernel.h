// The digital event kernel: signals with one driver each, transactions edited by the VHDL
// assignment rules, delta cycles, and the processes that events on their ports wake.
//
// The plug-ins reach it through the C services; errors found there cannot unwind through a
// plug-in, so they are collected, stop the simulation, and throw from the C++ entry points.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "frame/records.h"
#include "host/event/network.h"
#include "host/event/stimulus.h"
#include "host/event/time_queue.h"
#include "host/event/waveform_recorder.h"

namespace host {
struct Instance;
}

namespace host::event {

class SimulationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EventKernel {
 public:
  // Network, before the simulation starts. add_signal throws std::invalid_argument for an
  // empty, blank-containing or repeated name.
  void add_instance(const Instance& instance);
  std::int32_t add_signal(std::string name);
  std::optional<std::int32_t> find_signal(std::string_view name) const;
  std::int32_t signal_count() const { return static_cast<std::int32_t>(signals_.size()); }
  const Signal& signal(std::int32_t index) const {
    return signals_[static_cast<std::size_t>(index)];
  }

  // The kernel's own sources. Each throws SimulationError when the signal already has a
  // driver, naming it; constants and stimuli are set before the start.
  void drive_constant(std::int32_t signal, std::int32_t value);
  void drive(std::int32_t signal, Stimulus stimulus);
  // An external value change at `time` (not before now); the first one makes the kernel the
  // signal's source, as for a threshold crossing computed on the analog side.
  void post(std::int32_t signal, std::int64_t time, std::int32_t value);

  // The services of host_services.h, record by record.
  void declare_drivers(process_record* process, std::int32_t count);
  void add_driver(process_record* process, std::int32_t driver, std::int32_t port);
  void allocate_wake_slots(process_record* process, std::int32_t count);
  void add_wake_port(process_record* process, std::int32_t port, std::int32_t slot);
  std::int32_t new_transaction(std::int64_t delay, std::int64_t value);
  void activate_driver(driver_record* driver);
  void assign_zero_delay(driver_record* driver, std::int64_t value);
  void assign_inertial(driver_record* driver, std::int64_t value, std::int64_t delay);
  void suspend(process_record* process);

  // Running. start() runs every process once at time 0; run_until(t) runs every cycle up to
  // and including time t and leaves the time at t. Both throw SimulationError on a fault.
  void record_waveforms();
  void set_delta_limit(std::int32_t limit);
  void start();
  void run_until(std::int64_t time);
  bool started() const { return started_; }
  std::int64_t now() const { return now_; }
  std::int32_t delta() const { return delta_; }
  // The instance whose process runs now, or null.
  const std::string* running_instance() const {
    return running_ >= 0 ? &processes_[static_cast<std::size_t>(running_)].instance : nullptr;
  }
  const WaveformRecorder* waveforms() const { return recording_ ? &recorder_ : nullptr; }

  // Faults found so far; once there is one, every run throws.
  const std::vector<std::string>& errors() const { return errors_; }
  void throw_if_failed() const;

  void reset();

 private:
  struct NewTransaction {
    std::int32_t handle;
    std::int64_t delay;
    std::int64_t value;
  };

  void fail(std::string message);
  Process* process_of(process_record* record, const char* service);
  Driver* driver_of(driver_record* record, const char* service);
  bool check_value(std::int64_t value, const std::string& source);
  std::int32_t port_signal(Process& process, std::int32_t port);
  std::string conflict(std::int32_t signal, const Driver& candidate) const;
  std::int32_t take_source(std::int32_t signal, Driver driver);
  void schedule(std::int32_t driver, std::int64_t delay, std::int64_t value);
  void enqueue(std::int32_t driver, std::int64_t time);

  std::optional<std::int64_t> next_time();
  void run_cycle(std::int64_t time);
  void apply(std::int32_t driver);
  void run(std::int32_t process);

  std::vector<Signal> signals_;
  std::vector<Driver> drivers_;
  std::vector<Process> processes_;
  std::unordered_map<const signal_record*, std::int32_t> signal_index_;
  std::unordered_map<const driver_record*, std::int32_t> driver_index_;
  std::unordered_map<const process_record*, std::int32_t> process_index_;
  std::unordered_map<std::string, std::int32_t> signal_names_;

  std::vector<NewTransaction> new_transactions_;  // created, not yet activated
  std::int32_t last_handle_ = 0;
  TimeQueue future_;
  std::vector<std::int32_t> next_delta_;  // drivers with a transaction in the next delta
  std::vector<std::int32_t> this_delta_;
  std::vector<std::int32_t> evented_;  // signals with an event in the current cycle
  std::vector<std::int32_t> queued_;   // processes to run in the current cycle

  std::int64_t now_ = 0;
  std::int32_t delta_ = 0;
  std::int32_t delta_limit_ = 5000;
  bool started_ = false;
  std::int32_t running_ = -1;  // the process being run
  bool suspended_ = false;
  bool recording_ = false;
  WaveformRecorder recorder_;
  std::vector<std::string> errors_;
};

}  // namespace host::event
