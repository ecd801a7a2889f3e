// Analog solver services, acting on the kernel's current object.
#include <cmath>

#include "frame/host_services.h"
#include "host/kernel.h"

using host::kernel;

namespace {

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

}  // namespace

extern "C" {

double sim_alpha = 0.0;
ac_value sim_jomega = {0.0, 0.0};

std::int32_t IS_AC_MODE(void) {
  kernel().trace.call("IS_AC_MODE");
  if (const host::FixedPins* fixed = kernel().fixed_pins) return fixed->ac_mode ? 1 : 0;
  return 0;
}

double VPin(std::int32_t n) {
  kernel().trace.call("VPin", n);
  if (const host::FixedPins* fixed = kernel().fixed_pins) return fixed->voltage.at(n);
  pin_record* pin = current_pin(n);
  return pin != nullptr ? *pin->voltage->value : 0.0;
}

ac_value VPin_Complex(std::int32_t n) {
  kernel().trace.call("VPin_Complex", n);
  if (const host::FixedPins* fixed = kernel().fixed_pins) return fixed->ac_voltage.at(n);
  pin_record* pin = current_pin(n);
  return pin != nullptr ? *pin->voltage->ac : ac_value{0.0, 0.0};
}

double dvpin_by_dt(std::int32_t n) {
  kernel().trace.call("dvpin_by_dt", n);
  if (const host::FixedPins* fixed = kernel().fixed_pins) return fixed->slope.at(n);
  return 0.0;
}

void ac_update_scalar_dot_qty(quantity_record* quantity) {
  kernel().trace.call("ac_update_scalar_dot_qty", quantity);
}

void Set_Ipin_Real(std::int32_t n, double current) {
  kernel().trace.call("Set_Ipin_Real", n, current);
}

void Set_Ipin_Complex(std::int32_t n, ac_value current) {
  kernel().trace.call("Set_Ipin_Complex", n, current);
}

void Solve_State(std::int32_t state, double residual) {
  kernel().trace.call("Solve_State", state, residual);
}

void Solve_State_Complex(std::int32_t state, ac_value residual) {
  kernel().trace.call("Solve_State_Complex", state, residual);
}

void fas_add_mat_term_index(std::int32_t location, double value) {
  kernel().trace.call("fas_add_mat_term_index", location, value);
}

void fas_add_mat_term_index_cmplx(std::int32_t location, ac_value value) {
  kernel().trace.call("fas_add_mat_term_index_cmplx", location, value);
}

double real_div_f(double numerator, double denominator) {
  kernel().trace.call("real_div_f", numerator, denominator);
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
