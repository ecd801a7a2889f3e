// The C++ front of the event kernel: signals, logic cell instances connected to them,
// stimuli, settings, runs, waveforms. Used by the tests and by the netlist front.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "host/design.h"
#include "host/event/event_kernel.h"
#include "host/event/stimulus.h"

namespace host::event {

struct SignalId {
  std::int32_t index = -1;
};

struct PortConnection {
  std::string_view port;
  SignalId signal;
};

// Errors throw std::invalid_argument (a bad request, naming the instance, port or signal)
// or SimulationError (the kernel found a fault: two drivers, a protocol error, ...).
class LogicSimulation {
 public:
  explicit LogicSimulation(Design& design) : design_(design) {}

  SignalId add_signal(std::string name);
  SignalId signal(std::string_view name) const;

  // Instantiates and elaborates a logic cell, its ports connected by position (every port)
  // or by name (unnamed ports keep a signal of their own). The generics of a corner-delay
  // cell are read at every run: host::set_generic changes them at any time.
  Instance& add_cell(std::string name, std::string_view deliverable,
                     const std::vector<SignalId>& by_position);
  Instance& add_cell_named(std::string name, std::string_view deliverable,
                           const std::vector<PortConnection>& by_name);
  // Tick length in femtoseconds (quel_mintr), positive, before the start.
  void set_tick_length(std::int64_t fs);
  // The derating value the corner-delay cells read at every run.
  void set_temperature(double temperature);

  void drive_constant(SignalId signal, char value);
  void drive_clock(SignalId signal, const Clock& clock);
  // (time in ticks, IEEE 1164 character) pairs, times increasing.
  void drive_timed(SignalId signal, const std::vector<std::pair<std::int64_t, char>>& values);
  // An external value change, for instance a threshold crossing, at a time not before now.
  void post(SignalId signal, std::int64_t time, char value);

  void record_waveforms() { events().record_waveforms(); }
  void run_until(std::int64_t time) { events().run_until(time); }
  std::int64_t now() const { return events().now(); }
  char value(SignalId signal) const;
  // The value at the end of a time step already simulated; needs record_waveforms().
  char value_at(SignalId signal, std::int64_t time) const;
  // Needs record_waveforms(); the dump ends at the current time.
  void write_vcd(std::ostream& out) const;

 private:
  static EventKernel& events();
  Instance& connect_and_elaborate(
      std::string name, std::string_view deliverable,
      const std::vector<std::pair<std::int32_t, SignalId>>& connections);
  const Signal& checked(SignalId signal) const;
  std::int32_t position(char value, SignalId signal) const;
  const WaveformRecorder& recorded() const;

  Design& design_;
};

}  // namespace host::event
