// Short names for what a unit's equations read and write in its records.
#pragma once

#include <cstdint>

#include "frame/records.h"

namespace zeb {

// Real and complex value of quantity n.
inline double& q(const instance_record* u, std::int32_t n) {
  return *u->quantities[n]->value;
}
inline ac_value& qc(const instance_record* u, std::int32_t n) {
  return *u->quantities[n]->ac;
}
inline quantity_record* quantity(const instance_record* u, std::int32_t n) {
  return u->quantities[n];
}

// Generic n as a real, an integer, or the first element of a real array.
inline double g(const instance_record* u, std::int32_t n) {
  return u->generics[n]->value.real;
}
inline std::int64_t gi(const instance_record* u, std::int32_t n) {
  return u->generics[n]->value.integer;
}
inline const double* ga(const instance_record* u, std::int32_t n) {
  return u->generics[n]->value.array;
}

inline pin_record* pin(const instance_record* u, std::int32_t n) {
  return u->pins[n - 1];
}

// Jacobian row and column kinds.
inline constexpr std::int32_t kind_pin = 80;    // 'P'
inline constexpr std::int32_t kind_state = 83;  // 'S'

struct jacobian_location {
  std::int32_t row_kind, row, column_kind, column;
};

// A derivative quantity: d(V(plus) - V(minus))/dt; minus 0 when there is none.
struct derivative_quantity {
  std::int32_t quantity, plus, minus;
};

}  // namespace zeb
