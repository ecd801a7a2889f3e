// Tolerances of the analog engine, with SPICE's defaults.
#pragma once

namespace host::analog {

struct Tolerances {
  double reltol = 1e-3;   // relative, on every unknown
  double vntol = 1e-6;    // absolute on node voltages (V)
  double abstol = 1e-12;  // absolute on currents and states
};

}  // namespace host::analog
