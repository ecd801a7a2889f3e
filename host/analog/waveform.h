// The value of an independent source: a DC value, an optional time function (PULSE, SIN, PWL
// with SPICE's meaning) and an AC magnitude and phase.
#pragma once

#include <complex>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace host::analog {

// PULSE(v1 v2 td tr tf pw per). A zero rise or fall time takes the analysis's step, a zero
// width or period its stop time, as in SPICE.
struct Pulse {
  double initial = 0.0;
  double pulsed = 0.0;
  double delay = 0.0;
  double rise = 0.0;
  double fall = 0.0;
  double width = 0.0;
  double period = 0.0;
};

// SIN(vo va freq td theta phase): vo + va e^(-theta (t - td)) sin(2 pi freq (t - td) + phase)
// from td on, phase in degrees; a zero frequency takes 1 / stop time.
struct Sine {
  double offset = 0.0;
  double amplitude = 0.0;
  double frequency = 0.0;
  double delay = 0.0;
  double damping = 0.0;
  double phase = 0.0;
};

// PWL(t1 v1 t2 v2 ...): linear between the points, constant before the first and after the last.
struct Pwl {
  std::vector<std::pair<double, double>> points;
};

class Waveform {
 public:
  static Waveform dc(double value);
  static Waveform pulse(const Pulse& pulse);
  static Waveform sine(const Sine& sine);
  static Waveform pwl(Pwl pwl);

  // Sets the DC value (used by the operating point of DC and AC analyses), the AC excitation.
  Waveform& with_dc(double value);
  Waveform& with_ac(double magnitude, double phase_degrees = 0.0);

  // What makes the waveform unusable (times out of order, negative durations), or empty.
  std::string problem() const;
  // The waveform with SPICE's defaults for a transient analysis of this step and stop time.
  Waveform for_transient(double step, double stop) const;

  // The value for a DC or AC operating point: the DC value if given, else the time function at 0.
  double dc_value() const;
  // The value at time t: the time function, or the DC value where there is none.
  double at(double t) const;
  // The AC excitation as a phasor.
  std::complex<double> phasor() const;
  // Appends the times in (0, stop] where the waveform has a corner.
  void breakpoints(double stop, std::vector<double>& times) const;

 private:
  double dc_ = 0.0;
  bool dc_given_ = false;
  double ac_magnitude_ = 0.0;
  double ac_phase_ = 0.0;
  std::variant<std::monostate, Pulse, Sine, Pwl> shape_;
};

}  // namespace host::analog
