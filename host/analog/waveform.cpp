#include "host/analog/waveform.h"

#include <cmath>
#include <numbers>

namespace host::analog {

namespace {

constexpr double degrees = std::numbers::pi / 180.0;

double pulse_at(const Pulse& p, double t) {
  if (t < p.delay) return p.initial;
  double local = t - p.delay;
  if (p.period > 0.0) local = std::fmod(local, p.period);
  if (local < p.rise) return p.initial + (p.pulsed - p.initial) * local / p.rise;
  local -= p.rise;
  if (local < p.width) return p.pulsed;
  local -= p.width;
  if (local < p.fall) return p.pulsed + (p.initial - p.pulsed) * local / p.fall;
  return p.initial;
}

double sine_at(const Sine& s, double t) {
  if (t < s.delay) return s.offset + s.amplitude * std::sin(s.phase * degrees);
  const double local = t - s.delay;
  return s.offset + s.amplitude * std::exp(-s.damping * local) *
                        std::sin(2.0 * std::numbers::pi * s.frequency * local + s.phase * degrees);
}

double pwl_at(const Pwl& p, double t) {
  const auto& points = p.points;
  if (points.empty()) return 0.0;
  if (t <= points.front().first) return points.front().second;
  for (std::size_t k = 1; k < points.size(); ++k) {
    const auto [t1, v1] = points[k];
    if (t < t1) {
      const auto [t0, v0] = points[k - 1];
      return v0 + (v1 - v0) * (t - t0) / (t1 - t0);
    }
  }
  return points.back().second;
}

void pulse_breakpoints(const Pulse& p, double stop, std::vector<double>& times) {
  const double corners[] = {0.0, p.rise, p.rise + p.width, p.rise + p.width + p.fall};
  for (double start = p.delay; start <= stop;) {
    for (double corner : corners) {
      if (start + corner > 0.0 && start + corner <= stop) times.push_back(start + corner);
    }
    if (p.period <= 0.0) break;
    start += p.period;
  }
}

}  // namespace

Waveform Waveform::dc(double value) {
  Waveform w;
  w.dc_ = value;
  w.dc_given_ = true;
  return w;
}

Waveform Waveform::pulse(const Pulse& pulse) {
  Waveform w;
  w.shape_ = pulse;
  return w;
}

Waveform Waveform::sine(const Sine& sine) {
  Waveform w;
  w.shape_ = sine;
  return w;
}

Waveform Waveform::pwl(Pwl pwl) {
  Waveform w;
  w.shape_ = std::move(pwl);
  return w;
}

Waveform& Waveform::with_dc(double value) {
  dc_ = value;
  dc_given_ = true;
  return *this;
}

Waveform& Waveform::with_ac(double magnitude, double phase_degrees) {
  ac_magnitude_ = magnitude;
  ac_phase_ = phase_degrees;
  return *this;
}

std::string Waveform::problem() const {
  if (const auto* p = std::get_if<Pulse>(&shape_)) {
    if (p->delay < 0.0 || p->rise < 0.0 || p->fall < 0.0 || p->width < 0.0 || p->period < 0.0) {
      return "PULSE with a negative delay, rise, fall, width or period";
    }
  } else if (const auto* s = std::get_if<Sine>(&shape_)) {
    if (s->delay < 0.0 || s->frequency < 0.0) return "SIN with a negative delay or frequency";
  } else if (const auto* w = std::get_if<Pwl>(&shape_)) {
    if (w->points.empty()) return "PWL without points";
    for (std::size_t k = 1; k < w->points.size(); ++k) {
      if (!(w->points[k].first > w->points[k - 1].first)) {
        return "PWL times not increasing at point " + std::to_string(k + 1);
      }
    }
    if (w->points.front().first < 0.0) return "PWL with a negative time";
  }
  return {};
}

Waveform Waveform::for_transient(double step, double stop) const {
  Waveform w = *this;
  if (auto* p = std::get_if<Pulse>(&w.shape_)) {
    if (p->rise == 0.0) p->rise = step;
    if (p->fall == 0.0) p->fall = step;
    if (p->width == 0.0) p->width = stop;
    if (p->period == 0.0) p->period = stop;
  } else if (auto* s = std::get_if<Sine>(&w.shape_)) {
    if (s->frequency == 0.0 && stop > 0.0) s->frequency = 1.0 / stop;
  }
  return w;
}

double Waveform::dc_value() const {
  if (dc_given_ || std::holds_alternative<std::monostate>(shape_)) return dc_;
  return at(0.0);
}

double Waveform::at(double t) const {
  if (const auto* p = std::get_if<Pulse>(&shape_)) return pulse_at(*p, t);
  if (const auto* s = std::get_if<Sine>(&shape_)) return sine_at(*s, t);
  if (const auto* w = std::get_if<Pwl>(&shape_)) return pwl_at(*w, t);
  return dc_;
}

std::complex<double> Waveform::phasor() const {
  return std::polar(ac_magnitude_, ac_phase_ * degrees);
}

void Waveform::breakpoints(double stop, std::vector<double>& times) const {
  if (const auto* p = std::get_if<Pulse>(&shape_)) {
    pulse_breakpoints(*p, stop, times);
  } else if (const auto* s = std::get_if<Sine>(&shape_)) {
    if (s->delay > 0.0 && s->delay <= stop) times.push_back(s->delay);
  } else if (const auto* w = std::get_if<Pwl>(&shape_)) {
    for (const auto& point : w->points) {
      if (point.first > 0.0 && point.first <= stop) times.push_back(point.first);
    }
  }
}

}  // namespace host::analog
