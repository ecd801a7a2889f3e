#include "host/mixed/above_signals.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "frame/host_services.h"
#include "host/analog/analysis_error.h"
#include "host/analog/system.h"
#include "host/kernel.h"

namespace host::mixed {

namespace {

// std_ulogic positions of '0' and '1'.
constexpr std::int32_t logic_0 = 2;
constexpr std::int32_t logic_1 = 3;

// Gives the signal the state at `time`. Before the event kernel starts the state is the
// signal's initial value; the first post makes the kernel's external values its source, so a
// signal that has another driver is refused there.
void post_state(std::int32_t signal, std::int32_t state, std::int64_t time) {
  event::EventKernel& events = kernel().events;
  const std::int32_t value = state != 0 ? logic_1 : logic_0;
  if (!events.started()) {
    *events.signal(signal).value = value;
    time = events.now();
  }
  events.post(signal, std::max(time, events.now()), value);
}

}  // namespace

std::int32_t above_state(above_record& above) {
  above.threshold =
      above.threshold_function != nullptr ? above.threshold_function(&above) : fixed_threshold;
  return *above.watched->value > above.threshold ? 1 : 0;
}

void publish(const above_record& above) {
  const auto link = kernel().above_signals.find(&above);
  if (link == kernel().above_signals.end()) return;
  post_state(link->second, above.state, kernel().events.now());
}

std::int64_t ticks(double seconds) {
  const double count = seconds * 1e15 / static_cast<double>(quel_mintr);
  if (!(std::abs(count) < 9e18)) {
    throw analog::AnalysisError("time " + std::to_string(seconds) +
                                " s does not fit the event kernel's tick count");
  }
  return std::llround(count);
}

AboveSignals::AboveSignals(analog::Circuit& circuit) {
  const analog::System& system = circuit.system();
  for (const analog::UnitInstance& placed : circuit.units()) {
    const Instance& instance = *placed.instance;
    const std::size_t count = instance.entry->watched.size();
    if (count == 0) continue;
    Unit unit{{}, records_.size(), count};
    const auto unknown = [&](std::int32_t pin) {
      return pin == 0 ? analog::reference
                      : system.node_unknown(
                            circuit.node_name(placed.nodes[static_cast<std::size_t>(pin - 1)]));
    };
    for (std::size_t q = 0; q < instance.entry->quantities.size(); ++q) {
      const QuantityBinding& binding = instance.entry->quantities[q];
      if (binding.kind != QuantityKind::across) continue;
      unit.across.push_back({instance.quantity(static_cast<std::int32_t>(q)), unknown(binding.plus),
                             unknown(binding.minus)});
    }
    units_.push_back(std::move(unit));
    for (std::size_t k = 0; k < count; ++k) {
      above_record* record = instance.above(static_cast<std::int32_t>(k));
      Record r;
      r.name = instance.name + ".above" + std::to_string(k);
      r.record = record;
      r.accepted = r.trial = record->state;
      records_.push_back(std::move(r));
    }
  }
}

void AboveSignals::connect(event::LogicSimulation& logic) {
  event::EventKernel& events = kernel().events;
  for (Record& r : records_) {
    const std::optional<std::int32_t> found = events.find_signal(r.name);
    if (found) {
      r.signal = *found;
    } else {
      if (events.started()) {
        throw event::SimulationError("cannot add the above signal '" + r.name +
                                     "': the logic simulation has started");
      }
      r.signal = logic.add_signal(r.name).index;
    }
    kernel().above_signals[r.record] = r.signal;
  }
}

bool AboveSignals::evaluate(std::span<const double> x) {
  const auto value = [&](std::int32_t unknown) {
    return unknown == analog::reference ? 0.0 : x[static_cast<std::size_t>(unknown)];
  };
  bool differs = false;
  for (const Unit& unit : units_) {
    // The values the unit's explicit quantities take at x, for the threshold functions.
    for (const Across& a : unit.across) *a.quantity->value = value(a.plus) - value(a.minus);
    for (std::size_t r = unit.first; r < unit.first + unit.count; ++r) {
      Record& record = records_[r];
      record.trial = above_state(*record.record);
      record.trial_margin = *record.record->watched->value - record.record->threshold;
      differs = differs || record.trial != record.record->state;
    }
  }
  return differs;
}

double AboveSignals::crossing_time(const Record& record, double from, double to) const {
  const double m0 = record.accepted_margin;
  const double m1 = record.trial_margin;
  double fraction = 1.0;
  if (std::isfinite(m0) && std::isfinite(m1) && m0 != m1) {
    fraction = std::clamp(m0 / (m0 - m1), 0.0, 1.0);
  }
  return from + fraction * (to - from);
}

double AboveSignals::first_crossing(double from, double to) const {
  double first = to;
  for (const Record& record : records_) {
    if (record.trial != record.accepted) first = std::min(first, crossing_time(record, from, to));
  }
  return first;
}

void AboveSignals::show(Record& record, std::int64_t time) {
  if (record.signal >= 0) post_state(record.signal, record.accepted, time);
}

bool AboveSignals::accept_initial() {
  bool switched = false;
  for (Record& record : records_) {
    switched = switched || record.trial != record.accepted;
    record.accepted = record.trial;
    record.accepted_margin = record.trial_margin;
    record.record->state = record.trial;
    show(record, kernel().events.now());
  }
  return switched;
}

bool AboveSignals::accept_step(double from, double to, std::int64_t origin) {
  bool switched = false;
  for (Record& record : records_) {
    record.record->state = record.trial;
    if (record.trial != record.accepted) {
      switched = true;
      record.crossing = crossing_time(record, from, to);
      record.accepted = record.trial;
      show(record, origin + ticks(record.crossing));
    }
    record.accepted_margin = record.trial_margin;
  }
  return switched;
}

void AboveSignals::restore() {
  for (Record& record : records_) record.record->state = record.accepted;
}

}  // namespace host::mixed
