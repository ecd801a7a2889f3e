// Threshold-crossing (above) signals: each above record of an analog instance watches one
// quantity and is 1 while that quantity lies strictly above the record's threshold.
//
// The threshold is what the record's threshold function returns, or fixed_threshold for a
// record the unit installs none on (the MOS base units leave records 0 and 2 so).
//
// While an analysis iterates, watching_on_quantity re-evaluates a record at the unit's point
// and switches it (never at the perturbed points of a differenced Jacobian), so that every
// solution is found in the conduction case its own values select. AboveSignals follows the
// records of a circuit from one accepted solution to the next: it finds where in a time step a
// record crossed, and shows each record as a signal of the event kernel, named
// "INSTANCE.aboveK" with the values '0' and '1'; a crossing is an event at its time.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "frame/records.h"
#include "host/analog/circuit.h"
#include "host/event/logic_simulation.h"

namespace host::mixed {

inline constexpr double fixed_threshold = 0.0;

// Computes the record's threshold into +0x90 and returns 1 when the watched value is strictly
// above it, else 0 (also when either is NaN).
std::int32_t above_state(above_record& above);

// Posts the record's state on the event-kernel signal connected to it, at the event kernel's
// current time; nothing while no signal is connected.
void publish(const above_record& above);

// Seconds to event-kernel ticks (quel_mintr femtoseconds), to the nearest tick.
std::int64_t ticks(double seconds);

class AboveSignals {
 public:
  // The above records of the circuit's units; builds the circuit's equations.
  explicit AboveSignals(analog::Circuit& circuit);

  bool empty() const { return records_.empty(); }
  std::size_t size() const { return records_.size(); }
  const std::string& name(std::size_t r) const { return records_[r].name; }

  // Connects every record to the logic simulation's signal of its name, adding the signals that
  // do not exist yet (which can only be done before the logic simulation starts). Throws
  // std::invalid_argument or event::SimulationError naming the signal.
  void connect(event::LogicSimulation& logic);

  // Evaluates every record at the solution x (node voltages first, as the system numbers
  // them) without switching it; true when one differs from the state the units now see.
  bool evaluate(std::span<const double> x);
  // Whether an evaluated state differs from the one accepted last.
  bool crossed(std::size_t r) const { return records_[r].trial != records_[r].accepted; }
  // The earliest time in [from, to] at which an evaluated record crossed since the last
  // accepted solution at `from`, interpolated linearly in its distance to the threshold; `to`
  // when none crossed.
  double first_crossing(double from, double to) const;

  // The evaluated states become the ones the units see and the accepted ones. The first time,
  // and after a DC solution, they are the signals' values at the event kernel's current time
  // (their initial values before the logic simulation starts); after a time step from `from`
  // to `to`, each crossing is an event at its interpolated time, counted in ticks from
  // `origin`. Returns whether a record switched.
  bool accept_initial();
  bool accept_step(double from, double to, std::int64_t origin);
  // The units see the accepted states again (a rejected step).
  void restore();

  // The time of record r's last crossing (seconds), or a negative value when it never crossed.
  double last_crossing(std::size_t r) const { return records_[r].crossing; }

 private:
  struct Across {
    quantity_record* quantity;
    std::int32_t plus;  // unknowns, or analog::reference
    std::int32_t minus;
  };
  struct Unit {
    std::vector<Across> across;
    std::size_t first;  // its records
    std::size_t count;
  };
  struct Record {
    std::string name;
    above_record* record;
    std::int32_t signal = -1;
    std::int32_t accepted = 0;
    double accepted_margin = 0.0;  // watched value - threshold at the accepted solution
    std::int32_t trial = 0;
    double trial_margin = 0.0;
    double crossing = -1.0;
  };

  double crossing_time(const Record& record, double from, double to) const;
  void show(Record& record, std::int64_t time);

  std::vector<Unit> units_;
  std::vector<Record> records_;
};

}  // namespace host::mixed
