// Analog solver services, acting on the kernel's current object.
//
// While the engine evaluates an object, the calls land in that object's runtime (its pin
// voltages, derivatives and outputs). Outside an analysis they read the pin records and record
// nothing but the trace.
#include <cmath>
#include <complex>

#include "frame/host_services.h"
#include "host/kernel.h"

using host::kernel;
using host::analog::UnitRuntime;

namespace {

UnitRuntime* runtime(const char* service) {
  auto& k = kernel();
  UnitRuntime* unit = k.analog.runtime(k.current_object);
  if (unit == nullptr && k.analog.analysing()) {
    k.analog.stray(std::string(service) + " called with no current analog object (object " +
                   std::to_string(k.current_object) + ")");
  }
  return unit;
}

instance_record* current() {
  auto& k = kernel();
  if (k.current_object < 0 || k.current_object >= static_cast<std::int32_t>(k.objects.size())) {
    return nullptr;
  }
  return k.objects[static_cast<std::size_t>(k.current_object)];
}

pin_record* current_pin(std::int32_t n) {
  instance_record* instance = current();
  return instance != nullptr && n >= 1 ? instance->pins[n - 1] : nullptr;
}

ac_value to_record(std::complex<double> v) {
  return {v.real(), v.imag()};
}

std::complex<double> from_record(ac_value v) {
  return {v.re, v.im};
}

}  // namespace

extern "C" {

double sim_alpha = 0.0;
ac_value sim_jomega = {0.0, 0.0};

std::int32_t IS_AC_MODE(void) {
  kernel().trace.call("IS_AC_MODE");
  if (kernel().analog.analysing()) return kernel().analog.ac_mode ? 1 : 0;
  if (const host::FixedPins* fixed = kernel().fixed_pins) return fixed->ac_mode ? 1 : 0;
  return 0;
}

double VPin(std::int32_t n) {
  kernel().trace.call("VPin", n);
  if (UnitRuntime* unit = runtime("VPin")) return unit->pin_voltage(n);
  if (const host::FixedPins* fixed = kernel().fixed_pins) return fixed->voltage.at(n);
  pin_record* pin = current_pin(n);
  return pin != nullptr ? *pin->voltage->value : 0.0;
}

ac_value VPin_Complex(std::int32_t n) {
  kernel().trace.call("VPin_Complex", n);
  if (UnitRuntime* unit = runtime("VPin_Complex")) return to_record(unit->ac_pin_voltage(n));
  if (const host::FixedPins* fixed = kernel().fixed_pins) return fixed->ac_voltage.at(n);
  pin_record* pin = current_pin(n);
  return pin != nullptr ? *pin->voltage->ac : ac_value{0.0, 0.0};
}

double dvpin_by_dt(std::int32_t n) {
  kernel().trace.call("dvpin_by_dt", n);
  if (UnitRuntime* unit = runtime("dvpin_by_dt")) return unit->pin_derivative(n);
  if (const host::FixedPins* fixed = kernel().fixed_pins) return fixed->slope.at(n);
  return 0.0;
}

void ac_update_scalar_dot_qty(quantity_record* quantity) {
  kernel().trace.call("ac_update_scalar_dot_qty", quantity);
  if (UnitRuntime* unit = runtime("ac_update_scalar_dot_qty")) unit->ac_derivative(quantity);
}

void Set_Ipin_Real(std::int32_t n, double current) {
  kernel().trace.call("Set_Ipin_Real", n, current);
  if (UnitRuntime* unit = runtime("Set_Ipin_Real")) unit->set_pin_current(n, current);
}

void Set_Ipin_Complex(std::int32_t n, ac_value current) {
  kernel().trace.call("Set_Ipin_Complex", n, current);
  if (UnitRuntime* unit = runtime("Set_Ipin_Complex")) {
    unit->set_ac_pin_current(n, from_record(current));
  }
}

void Solve_State(std::int32_t state, double residual) {
  kernel().trace.call("Solve_State", state, residual);
  if (UnitRuntime* unit = runtime("Solve_State")) unit->set_residual(state, residual);
}

void Solve_State_Complex(std::int32_t state, ac_value residual) {
  kernel().trace.call("Solve_State_Complex", state, residual);
  if (UnitRuntime* unit = runtime("Solve_State_Complex")) {
    unit->set_ac_residual(state, from_record(residual));
  }
}

void fas_add_mat_term_index(std::int32_t location, double value) {
  kernel().trace.call("fas_add_mat_term_index", location, value);
  if (UnitRuntime* unit = runtime("fas_add_mat_term_index")) unit->add_entry(location, value);
}

void fas_add_mat_term_index_cmplx(std::int32_t location, ac_value value) {
  kernel().trace.call("fas_add_mat_term_index_cmplx", location, value);
  if (UnitRuntime* unit = runtime("fas_add_mat_term_index_cmplx")) {
    unit->add_ac_entry(location, from_record(value));
  }
}

// A zero divisor stops the analysis that evaluates the unit; the quotient is still the IEEE one.
double real_div_f(double numerator, double denominator) {
  kernel().trace.call("real_div_f", numerator, denominator);
  if (denominator == 0.0) {
    auto& k = kernel();
    if (UnitRuntime* unit = k.analog.runtime(k.current_object)) unit->divided_by_zero(numerator);
  }
  return numerator / denominator;
}

double real_int_pow(double base, std::int64_t exponent) {
  kernel().trace.call("real_int_pow", base, exponent);
  // Repeated squaring, exact for the small exponents the units use.
  double result = 1.0;
  double factor = base;
  std::uint64_t n = exponent < 0 ? 0 - static_cast<std::uint64_t>(exponent)
                                 : static_cast<std::uint64_t>(exponent);
  while (n != 0) {
    if ((n & 1u) != 0) result *= factor;
    factor *= factor;
    n >>= 1;
  }
  return exponent < 0 ? 1.0 / result : result;
}

void get_fnz_ac_deriv(std::int32_t handle, double* re, double* im) {
  kernel().trace.call("get_fnz_ac_deriv", handle, static_cast<const void*>(re),
                      static_cast<const void*>(im));
}

}  // extern "C"
