// Mixed-signal analyses: the analog engine and the event kernel together, coupled by the above
// signals of the analog units (see above_signals.h).
//
// Every above record of every instance is a signal of the logic simulation named
// "INSTANCE.above0" .. "INSTANCE.above3" with the values '0' and '1'; logic cells read them
// like any signal. The signals are added when missing; declare_above_signals adds them ahead,
// so that cells can be connected to them before the analysis. A signal of that name that has
// another driver is an error.
//
// Transient: the operating point at t = 0 gives the signals' values at the logic
// simulation's current time (their initial values before it starts); analog time t is the
// logic time origin + t, the origin being the logic simulation's time when the analysis starts.
// A step in which a record crosses its threshold is cut back until it ends within the crossing
// tolerance after the crossing, located by linear interpolation of the watched quantity's
// distance to its threshold; the crossing is an event at its interpolated time, and the
// integrator restarts there. The logic simulation runs along with each accepted step and up to
// the stop time at the end.
//
// DC: the records switch at every Newton iteration, so a solution is found in the conduction
// case its own values select. The host then re-evaluates the records at the solution; one that
// still switches there is solved again, and one that never settles (its watched quantity stays
// at its threshold) stops the analysis. The settled states are the signals' values at the logic
// simulation's current time; in a sweep, each point's replace the last, so after the sweep the
// signals hold the last point's.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "host/analog/circuit.h"
#include "host/analog/operating_point.h"
#include "host/analog/transient.h"
#include "host/event/logic_simulation.h"

namespace host::mixed {

// The crossing tolerance of a transient with these options: a tick of the event kernel, or four
// smallest steps where that is longer.
double crossing_tolerance(const analog::TransientOptions& options);

// Adds the above signals of the circuit's instances to the logic simulation (those missing).
void declare_above_signals(analog::Circuit& circuit, event::LogicSimulation& logic);

// Runs the analog transient and the event kernel together to options.stop. Throws what
// analog::transient and the event kernel throw.
analog::TransientResult transient(analog::Circuit& circuit, event::LogicSimulation& logic,
                                  const analog::TransientOptions& options);

analog::Solution operating_point(analog::Circuit& circuit, event::LogicSimulation& logic,
                                 const analog::DcOptions& options = {});

std::vector<analog::Solution> dc_sweep(analog::Circuit& circuit, event::LogicSimulation& logic,
                                       std::string_view source, std::span<const double> values,
                                       const analog::DcOptions& options = {});

}  // namespace host::mixed
