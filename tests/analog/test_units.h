// Analog units written in the test, called through the same services as the plug-ins: two
// pins, quantity 0 the voltage V from pin 1 to pin 2, quantity 1 the current I through them,
// quantity 2 the derivative of V. Each entry describes the unit as the catalog would.
#pragma once

#include "host/catalog.h"
#include "host/loader.h"

namespace test {

struct TestUnit {
  host::CatalogEntry entry;
  host::Plugin plugin;
};

// I = G V, G at generic 0; loads no Jacobian, so the host differentiates.
const TestUnit& conductance();
// I = C dV/dt, C at generic 0; no Jacobian.
const TestUnit& difference_capacitor();
// V - R I = 0 with I implicit state 1, R at generic 0; no Jacobian.
const TestUnit& difference_resistor();
// I = Is (exp(V / Vt) - 1), Is at generic 0, Vt at generic 1; no Jacobian.
const TestUnit& diode();

// Units that misbehave once V exceeds generic 1; generic 0 selects how:
enum class Fault {
  nan_current = 1,            // gives a NaN current
  zero_divisor = 2,           // calls real_div_f(1, 0)
  no_solution = 3,            // current steps from 0 to 1 A: no operating point exists
  undeclared_derivative = 4,  // reads dvpin_by_dt(1) without Init_DDT_Pin
};
// Below the threshold it is a conductance of 1e-3 S with its own Jacobian.
const TestUnit& faulty();

// Reserves a matrix location at pin 3 of a two-pin unit: its elaboration must fail.
const TestUnit& bad_reservation();

}  // namespace test
