// The network of signals, drivers and processes, and the services that build and feed it.
#include "host/event/event_kernel.h"

#include <algorithm>
#include <limits>

#include "host/design.h"
#include "host/event/logic_value.h"
#include "host/kernel.h"

namespace host::event {

namespace {

std::string in_quotes(std::string_view name) {
  return "'" + std::string(name) + "'";
}

}  // namespace

void EventKernel::add_instance(const Instance& instance) {
  if (started_) {
    throw SimulationError("cannot add " + instance.name + ": the simulation has started");
  }
  for (const host::Process& p : instance.processes) {
    Process process;
    process.name = kernel().names.of(p.record);
    process.instance = instance.name;
    process.record = p.record;
    for (const PortInfo& port : instance.entry->ports) process.port_names.emplace_back(port.name);
    process_index_.emplace(p.record, static_cast<std::int32_t>(processes_.size()));
    processes_.push_back(std::move(process));
  }
}

std::int32_t EventKernel::add_signal(std::string name) {
  if (name.empty() || name.find_first_of(" \t\r\n") != std::string::npos) {
    throw std::invalid_argument("signal name " + in_quotes(name) + " is empty or holds blanks");
  }
  if (signal_names_.contains(name)) {
    throw std::invalid_argument("signal " + in_quotes(name) + " exists already");
  }
  if (started_) throw SimulationError("cannot add signal " + in_quotes(name) + ": started");
  Memory& memory = kernel().memory;
  Signal signal{name, memory.make<signal_record>(), memory.make<std::int64_t>(), -1, {}};
  kernel().names.name(signal.record, name);
  const auto index = static_cast<std::int32_t>(signals_.size());
  signal_index_.emplace(signal.record, index);
  signal_names_.emplace(std::move(name), index);
  signals_.push_back(std::move(signal));
  return index;
}

std::optional<std::int32_t> EventKernel::find_signal(std::string_view name) const {
  if (auto it = signal_names_.find(std::string(name)); it != signal_names_.end()) {
    return it->second;
  }
  return std::nullopt;
}

void EventKernel::fail(std::string message) {
  errors_.push_back(std::move(message));
}

void EventKernel::throw_if_failed() const {
  if (errors_.empty()) return;
  std::string message = errors_.front();
  for (std::size_t i = 1; i < errors_.size(); ++i) message += "\n" + errors_[i];
  throw SimulationError(message);
}

Process* EventKernel::process_of(process_record* record, const char* service) {
  if (auto it = process_index_.find(record); it != process_index_.end()) {
    return &processes_[static_cast<std::size_t>(it->second)];
  }
  fail(std::string(service) + ": " + kernel().names.of(record) + " is not a process of the design");
  return nullptr;
}

Driver* EventKernel::driver_of(driver_record* record, const char* service) {
  if (auto it = driver_index_.find(record); it != driver_index_.end()) {
    return &drivers_[static_cast<std::size_t>(it->second)];
  }
  fail(std::string(service) + ": " + kernel().names.of(record) + " is not an installed driver");
  return nullptr;
}

bool EventKernel::check_value(std::int64_t value, const std::string& source) {
  if (is_logic_value(value)) return true;
  fail(source + ": value " + std::to_string(value) + " is not a std_ulogic position 0 to 8");
  return false;
}

// The signal behind a port, known to the kernel from its first use.
std::int32_t EventKernel::port_signal(Process& process, std::int32_t port) {
  if (port < 0 || port >= static_cast<std::int32_t>(process.port_names.size())) {
    fail(process.name + ": port " + std::to_string(port) + " does not exist (the cell has " +
         std::to_string(process.port_names.size()) + ")");
    return -1;
  }
  const port_record* record = process.record->ports[port];
  if (auto it = signal_index_.find(record->signal); it != signal_index_.end()) {
    if (signals_[static_cast<std::size_t>(it->second)].value != record->value) {
      fail(process.instance + "." + process.port_names[static_cast<std::size_t>(port)] +
           ": the port's value is not its signal's");
    }
    return it->second;
  }
  // An unconnected port keeps a signal of its own.
  std::string name = process.instance + "." + process.port_names[static_cast<std::size_t>(port)];
  const auto index = static_cast<std::int32_t>(signals_.size());
  signal_names_.emplace(name, index);
  signal_index_.emplace(record->signal, index);
  signals_.push_back({std::move(name), record->signal, record->value, -1, {}});
  return index;
}

// The message for a second driver of a signal, naming both; empty when it has none.
std::string EventKernel::conflict(std::int32_t signal, const Driver& candidate) const {
  const Signal& s = signals_[static_cast<std::size_t>(signal)];
  if (s.driver < 0) return {};
  const Driver& first = drivers_[static_cast<std::size_t>(s.driver)];
  return "signal " + in_quotes(s.name) + " has two drivers: " + first.owner + " (" + first.name +
         ") and " + candidate.owner + " (" + candidate.name + ")";
}

std::int32_t EventKernel::take_source(std::int32_t signal, Driver driver) {
  driver.signal = signal;
  const auto index = static_cast<std::int32_t>(drivers_.size());
  if (driver.record != nullptr) driver_index_.emplace(driver.record, index);
  signals_[static_cast<std::size_t>(signal)].driver = index;
  drivers_.push_back(std::move(driver));
  return index;
}

void EventKernel::declare_drivers(process_record* record, std::int32_t count) {
  Process* process = process_of(record, "set_nb_drivers");
  if (process == nullptr) return;
  if (count < 0 || count > 1) {
    fail(process->name + ": set_nb_drivers(" + std::to_string(count) +
         "); a process has at most one driver");
    return;
  }
  process->driver_count = count;
}

void EventKernel::add_driver(process_record* record, std::int32_t driver, std::int32_t port) {
  Process* process = process_of(record, "add_driver_in_proc_portout_one_source");
  if (process == nullptr) return;
  if (driver < 0 || driver >= process->driver_count || process->driver >= 0) {
    fail(process->name + ": driver " + std::to_string(driver) +
         " was not declared by set_nb_drivers or is installed already");
    return;
  }
  const std::int32_t signal = port_signal(*process, port);
  if (signal < 0) return;
  Driver candidate;
  candidate.record = record->drivers[driver];
  candidate.name = kernel().names.of(candidate.record);
  candidate.owner = process->instance;
  if (std::string message = conflict(signal, candidate); !message.empty()) {
    fail(std::move(message));
    return;
  }
  process->driver = take_source(signal, std::move(candidate));
}

void EventKernel::allocate_wake_slots(process_record* record, std::int32_t count) {
  Process* process = process_of(record, "alloc_sensitivity_map");
  if (process == nullptr) return;
  if (count < 0 || process->slots_allocated) {
    fail(process->name + ": alloc_sensitivity_map(" + std::to_string(count) +
         ") is negative or repeated");
    return;
  }
  process->wake_slots.assign(static_cast<std::size_t>(count), -1);
  process->slots_allocated = true;
}

void EventKernel::add_wake_port(process_record* record, std::int32_t port, std::int32_t slot) {
  Process* process = process_of(record, "add_process_in_port_wake_up_list");
  if (process == nullptr) return;
  if (slot < 0 || slot >= static_cast<std::int32_t>(process->wake_slots.size()) ||
      process->wake_slots[static_cast<std::size_t>(slot)] >= 0) {
    fail(process->name + ": wake-up slot " + std::to_string(slot) +
         " was not allocated or is taken");
    return;
  }
  const std::int32_t signal = port_signal(*process, port);
  if (signal < 0) return;
  process->wake_slots[static_cast<std::size_t>(slot)] = port;
  const auto index = static_cast<std::int32_t>(process - processes_.data());
  std::vector<std::int32_t>& wake = signals_[static_cast<std::size_t>(signal)].wake;
  if (std::find(wake.begin(), wake.end(), index) == wake.end()) wake.push_back(index);
}

std::int32_t EventKernel::new_transaction(std::int64_t delay, std::int64_t value) {
  check_value(value, "new_transaction");
  last_handle_ = last_handle_ == std::numeric_limits<std::int32_t>::max() ? 1 : last_handle_ + 1;
  new_transactions_.push_back({last_handle_, std::max<std::int64_t>(delay, 0), value});
  return last_handle_;
}

void EventKernel::activate_driver(driver_record* record) {
  Driver* driver = driver_of(record, "sqs_activate_driver");
  if (driver == nullptr) return;
  const auto created =
      std::find_if(new_transactions_.begin(), new_transactions_.end(),
                   [&](const NewTransaction& t) { return t.handle == record->handle; });
  if (created == new_transactions_.end()) {
    fail(driver->name + ": sqs_activate_driver with handle " + std::to_string(record->handle) +
         ", which names no new transaction");
    return;
  }
  const NewTransaction transaction = *created;
  *created = new_transactions_.back();
  new_transactions_.pop_back();
  driver->handle = transaction.handle;
  if (is_logic_value(transaction.value)) {
    schedule(static_cast<std::int32_t>(driver - drivers_.data()), transaction.delay,
             transaction.value);
  }
}

void EventKernel::assign_zero_delay(driver_record* record, std::int64_t value) {
  assign_inertial(record, value, 0);
}

void EventKernel::assign_inertial(driver_record* record, std::int64_t value, std::int64_t delay) {
  const char* service = delay == 0 ? "assign0d_one_tr" : "conc_inertial_assign_driver_one_tr";
  Driver* driver = driver_of(record, service);
  if (driver == nullptr) return;
  if (record->handle == 0 || record->handle != driver->handle) {
    fail(driver->name + ": " + service + " through a driver that was not activated (handle " +
         std::to_string(record->handle) + ")");
    return;
  }
  if (!check_value(value, driver->name)) return;
  schedule(static_cast<std::int32_t>(driver - drivers_.data()), delay, value);
}

void EventKernel::suspend(process_record* record) {
  Process* process = process_of(record, "sqs_desactivate_process");
  if (process == nullptr || running_ < 0) return;
  const Process& running = processes_[static_cast<std::size_t>(running_)];
  if (process != &running) {
    fail(running.name + " suspended " + process->name + " instead of itself");
    return;
  }
  suspended_ = true;
}

// An assignment of the process's driver: inertial, the rejection limit being the delay.
void EventKernel::schedule(std::int32_t index, std::int64_t delay, std::int64_t value) {
  Driver& driver = drivers_[static_cast<std::size_t>(index)];
  delay = std::max<std::int64_t>(delay, 0);
  const std::int64_t time = delay > std::numeric_limits<std::int64_t>::max() - now_
                                ? std::numeric_limits<std::int64_t>::max()
                                : now_ + delay;
  driver.waveform.inertial({time, value}, delay);
  enqueue(index, time);
}

void EventKernel::enqueue(std::int32_t index, std::int64_t time) {
  Driver& driver = drivers_[static_cast<std::size_t>(index)];
  if (time > now_) {
    future_.push({time, index});
  } else if (!driver.in_delta_list) {
    driver.in_delta_list = true;
    next_delta_.push_back(index);
  }
}

void EventKernel::drive_constant(std::int32_t signal, std::int32_t value) {
  if (started_) throw SimulationError("a constant is set before the simulation starts");
  if (!is_logic_value(value)) throw std::invalid_argument("not a std_ulogic value");
  Driver candidate;
  candidate.name = candidate.owner = "constant";
  if (std::string message = conflict(signal, candidate); !message.empty()) {
    throw SimulationError(message);
  }
  take_source(signal, std::move(candidate));
  *signals_[static_cast<std::size_t>(signal)].value = value;
}

void EventKernel::drive(std::int32_t signal, Stimulus stimulus) {
  if (started_) throw SimulationError("a stimulus is set before the simulation starts");
  Driver candidate;
  candidate.name = candidate.owner = "stimulus";
  if (std::string message = conflict(signal, candidate); !message.empty()) {
    throw SimulationError(message);
  }
  *signals_[static_cast<std::size_t>(signal)].value = stimulus.initial_value();
  const std::optional<Transaction> first = stimulus.first();
  candidate.stimulus = std::move(stimulus);
  const std::int32_t index = take_source(signal, std::move(candidate));
  if (first) {
    drivers_[static_cast<std::size_t>(index)].waveform.transport(*first);
    enqueue(index, first->time);
  }
}

void EventKernel::post(std::int32_t signal, std::int64_t time, std::int32_t value) {
  const Signal& s = signals_[static_cast<std::size_t>(signal)];
  if (time < now_) {
    throw std::invalid_argument("value change of " + in_quotes(s.name) + " at " +
                                std::to_string(time) + " lies before the time " +
                                std::to_string(now_));
  }
  if (!is_logic_value(value)) throw std::invalid_argument("not a std_ulogic value");
  std::int32_t index = s.driver;
  if (index < 0) {
    Driver source;
    source.name = source.owner = "external values";
    index = take_source(signal, std::move(source));
  } else if (drivers_[static_cast<std::size_t>(index)].owner != "external values") {
    Driver candidate;
    candidate.name = candidate.owner = "external values";
    throw SimulationError(conflict(signal, candidate));
  }
  drivers_[static_cast<std::size_t>(index)].waveform.insert({time, value});
  enqueue(index, time);
}

void EventKernel::reset() {
  *this = EventKernel();
}

}  // namespace host::event
