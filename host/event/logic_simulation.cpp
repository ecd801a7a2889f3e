#include "host/event/logic_simulation.h"

#include <cmath>
#include <stdexcept>

#include "frame/host_services.h"
#include "host/elaborate.h"
#include "host/event/logic_value.h"
#include "host/event/vcd_writer.h"
#include "host/kernel.h"

namespace host::event {

EventKernel& LogicSimulation::events() {
  return kernel().events;
}

SignalId LogicSimulation::add_signal(std::string name) {
  return {events().add_signal(std::move(name))};
}

SignalId LogicSimulation::signal(std::string_view name) const {
  if (const auto index = events().find_signal(name)) return {*index};
  throw std::invalid_argument("no signal '" + std::string(name) + "'");
}

const Signal& LogicSimulation::checked(SignalId signal) const {
  if (signal.index < 0 || signal.index >= events().signal_count()) {
    throw std::invalid_argument("signal id " + std::to_string(signal.index) + " does not exist");
  }
  return events().signal(signal.index);
}

std::int32_t LogicSimulation::position(char value, SignalId signal) const {
  const std::int32_t p = logic_position(value);
  if (p < 0) {
    throw std::invalid_argument("'" + std::string(1, value) + "' for signal '" +
                                checked(signal).name + "' is not a std_ulogic value");
  }
  return p;
}

Instance& LogicSimulation::add_cell(std::string name, std::string_view deliverable,
                                    const std::vector<SignalId>& by_position) {
  std::vector<std::pair<std::int32_t, SignalId>> connections;
  for (std::size_t p = 0; p < by_position.size(); ++p) {
    connections.emplace_back(static_cast<std::int32_t>(p), by_position[p]);
  }
  const CatalogEntry* entry = find_entry(deliverable);
  if (entry != nullptr && entry->ports.size() != by_position.size()) {
    throw std::invalid_argument(name + ": " + std::string(deliverable) + " has " +
                                std::to_string(entry->ports.size()) + " ports, " +
                                std::to_string(by_position.size()) + " connected");
  }
  return connect_and_elaborate(std::move(name), deliverable, connections);
}

Instance& LogicSimulation::add_cell_named(std::string name, std::string_view deliverable,
                                          const std::vector<PortConnection>& by_name) {
  const CatalogEntry* entry = find_entry(deliverable);
  std::vector<std::pair<std::int32_t, SignalId>> connections;
  for (const PortConnection& c : by_name) {
    std::int32_t position = -1;
    for (std::size_t p = 0; entry != nullptr && p < entry->ports.size(); ++p) {
      if (entry->ports[p].name == c.port) position = static_cast<std::int32_t>(p);
    }
    if (entry != nullptr && position < 0) {
      throw std::invalid_argument(name + ": " + std::string(deliverable) + " has no port '" +
                                  std::string(c.port) + "'");
    }
    for (const auto& [earlier, signal] : connections) {
      if (earlier == position) {
        throw std::invalid_argument(name + ": port '" + std::string(c.port) +
                                    "' is connected twice");
      }
    }
    connections.emplace_back(position, c.signal);
  }
  return connect_and_elaborate(std::move(name), deliverable, connections);
}

Instance& LogicSimulation::connect_and_elaborate(
    std::string name, std::string_view deliverable,
    const std::vector<std::pair<std::int32_t, SignalId>>& connections) {
  const CatalogEntry* entry = find_entry(deliverable);
  if (entry != nullptr && entry->kind != UnitKind::digital) {
    throw std::invalid_argument(name + ": " + std::string(deliverable) + " is not a logic cell");
  }
  if (events().started())
    throw SimulationError("cannot add " + name + ": the simulation has started");
  for (const auto& instance : design_.instances()) {
    if (instance->name == name) throw std::invalid_argument("instance " + name + " exists already");
  }
  for (const auto& connection : connections) checked(connection.second);

  Instance& cell = design_.add(std::move(name), deliverable);
  for (const auto& [port, id] : connections) {
    const Signal& signal = events().signal(id.index);
    cell.ports[static_cast<std::size_t>(port)]->signal = signal.record;
    cell.ports[static_cast<std::size_t>(port)]->value = signal.value;
  }
  elaborate(cell);
  events().throw_if_failed();
  return cell;
}

void LogicSimulation::set_tick_length(std::int64_t fs) {
  if (fs <= 0) {
    throw std::invalid_argument("tick length " + std::to_string(fs) + " fs: it must be positive");
  }
  if (events().started()) throw SimulationError("the tick length is set before the start");
  kernel().settings.tick_fs = fs;
  quel_mintr = fs;
}

void LogicSimulation::set_temperature(double temperature) {
  if (!std::isfinite(temperature)) {
    throw std::invalid_argument("temperature " + std::to_string(temperature) + " is not finite");
  }
  kernel().settings.temperature = temperature;
  design_.declared().derating()->value.real = temperature;
}

void LogicSimulation::drive_constant(SignalId signal, char value) {
  checked(signal);
  events().drive_constant(signal.index, position(value, signal));
}

void LogicSimulation::drive_clock(SignalId signal, const Clock& clock) {
  events().drive(signal.index, Stimulus::clock(clock, checked(signal).name));
}

void LogicSimulation::drive_timed(SignalId signal,
                                  const std::vector<std::pair<std::int64_t, char>>& values) {
  std::vector<TimedValue> timed;
  for (const auto& [time, value] : values) timed.push_back({time, position(value, signal)});
  events().drive(signal.index, Stimulus::timed(std::move(timed), checked(signal).name));
}

void LogicSimulation::post(SignalId signal, std::int64_t time, char value) {
  events().post(signal.index, time, position(value, signal));
}

char LogicSimulation::value(SignalId signal) const {
  return logic_char(*checked(signal).value);
}

const WaveformRecorder& LogicSimulation::recorded() const {
  const WaveformRecorder* recorder = events().waveforms();
  if (recorder == nullptr || !events().started()) {
    throw std::logic_error("waveforms are not recorded: call record_waveforms() before the run");
  }
  return *recorder;
}

char LogicSimulation::value_at(SignalId signal, std::int64_t time) const {
  checked(signal);
  if (time > now()) {
    throw std::invalid_argument("time " + std::to_string(time) + " lies after the current time");
  }
  return logic_char(recorded().value_at(signal.index, time));
}

void LogicSimulation::write_vcd(std::ostream& out) const {
  const WaveformRecorder& recorder = recorded();
  std::vector<std::string> names;
  for (std::int32_t s = 0; s < events().signal_count(); ++s)
    names.push_back(events().signal(s).name);
  host::event::write_vcd(out, recorder, names, quel_mintr, now());
}

}  // namespace host::event
