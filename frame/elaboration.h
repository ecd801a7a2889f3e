// Elaboration steps that every unit shares: the set-up phase and the check phase.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "frame/export_tables.h"
#include "frame/host_services.h"
#include "frame/records.h"

#define ZEB_EXPORT __attribute__((visibility("default")))

namespace zeb {

inline constexpr std::int32_t setup_phase = 0;
inline constexpr std::int32_t check_phase = -1;

// Error code of a state count that does not read back as stored.
inline constexpr std::int32_t error_state_count = 6;
// Error code of an index outside its range.
inline constexpr std::int32_t error_index = 4;

template <std::size_t N>
using positions = std::array<std::int32_t, N>;

// The 12-byte block every set-up phase obtains; nothing reads it.
inline void allocate_rg(void*& rg) {
  rg = vams_calloc(1, 12);
}

// The subprogram tables of the unit declared at `declaration` of the instance's design.
struct declared_tables {
  const subprogram_fn* code;
  const subprogram_fn* ac_code;
};

inline declaration_record* declared_unit(const instance_record* instance,
                                         std::int32_t declaration) {
  return instance->design->declarations[declaration].declared;
}

inline void cache_declared_tables(const instance_record* instance, std::int32_t declaration,
                                  declared_tables& tables) {
  const elab_funcs_table* exports = declared_unit(instance, declaration)->exports;
  tables.code = exports->code_suprgs;
  tables.ac_code = exports->ac_code_suprgs;
}

// Check phase, step 1: quantity at states[k-1] becomes implicit state k.
template <std::size_t N>
inline void number_states(instance_record* instance, const positions<N>& states) {
  for (std::size_t k = 0; k < N; ++k) {
    instance->quantities[states[k]]->state_number = static_cast<std::int32_t>(k + 1);
  }
}

// Check phase, step 2: pins (1-based) on which the unit never places a current.
template <std::size_t N>
inline void flag_pins(instance_record* instance, const positions<N>& pins) {
  for (std::int32_t pin : pins) instance->pins[pin - 1]->flags |= pin_no_contribution;
}

// Check phase, step 3: store the state count and compare it as the host holds it.
inline void store_state_count(instance_record* instance, std::int32_t count) {
  instance->state_count = count;
  const std::int32_t stored = *static_cast<volatile std::int32_t*>(&instance->state_count);
  if (stored != count) vams_error(error_state_count, count, stored);
}

// Check phase, step 4: quantities the unit computes by explicit assignment, in its order.
template <std::size_t N>
inline void register_explicit(instance_record* instance, const positions<N>& quantities) {
  for (std::int32_t q : quantities) sim_update_qexplt(instance->quantities[q]);
}

}  // namespace zeb
