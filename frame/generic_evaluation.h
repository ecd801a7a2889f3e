// Computed generic defaults: the scratch tables announced at set-up and the requests that
// usr_eval answers (the corner, per-corner parameters, resistance parameters).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "frame/corner.h"
#include "frame/declared_subprograms.h"
#include "frame/elaboration.h"

namespace zeb {

// Set-up phase, step 2: the scratch a unit's requests need.
inline void announce_scratch(std::int32_t range_entries, bool stages_values) {
  inc_range_table_size(range_entries);
  if (stages_values) {
    inc_value_table_size(1);
    inc_value_scal_table_size(1);
  }
}

// An entry of a subprogram table, through the table's untyped slot.
template <class F>
inline subprogram_fn subprogram_entry(F* function) {
  return reinterpret_cast<subprogram_fn>(function);
}

// The instance whose default is being evaluated, held while a request runs, and the copy
// counter of the range copy.
inline instance_record* evaluated_instance = nullptr;
inline std::int32_t loop_i = 0;

inline instance_record* begin_request() {
  evaluated_instance = ebi_fp->instance;
  return evaluated_instance;
}

// A string literal as an array argument: kind 1, flags cleared, bounds 1 to its length.
template <std::size_t N>
inline void describe_string(range_record* range, const char (&)[N]) {
  range->kind_flags = static_cast<std::uint8_t>((range->kind_flags & 0xE0u) | 0x01u);
  range->left = 1;
  range->right = static_cast<std::int32_t>(N - 1);
}

// A real rounded half away from zero as an int64; values beyond the int64 range saturate and
// NaN gives 0, where a plain conversion would be undefined.
inline std::int64_t to_int64(double x) {
  constexpr double limit = 9223372036854775808.0;  // 2^63
  if (std::isnan(x)) return 0;
  if (x >= limit) return std::numeric_limits<std::int64_t>::max();
  if (x < -limit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(x);
}

// After a request that reports a range: a copy of scratch range entry 0 for the host.
inline void copy_range(range_record** range_out) {
  if (range_out == nullptr) return;
  auto* block = static_cast<range_record*>(vams_malloc(sizeof(range_record)));
  for (loop_i = 0; loop_i < 1; ++loop_i) {
    std::memcpy(&block[loop_i], tmp_extra[0], sizeof(range_record));
  }
  *range_out = block;
}

inline void store_real(void* result, double value) {
  std::memcpy(result, &value, sizeof value);
}

inline void* context_of(const instance_record* u, std::int32_t declaration) {
  return declared_unit(u, declaration)->context;
}

inline constexpr char process_corner_name[] = "PROCESS_CORNER";

// Request 1: the corner of "PROCESS_CORNER", rounded half away from zero. The lookup runs
// once for the sign test and once more for the value that is rounded.
inline void corner_request(const instance_record* u, std::int32_t declaration,
                           const declared_tables& tables, const char (&name)[15], void* result,
                           range_record** range_out) {
  describe_string(tmp_extra[0], name);
  const auto lookup = reinterpret_cast<corner_lookup_fn>(tables.code[corner_lookup_subprogram]);
  void* context = context_of(u, declaration);
  const double rounded = lookup(name, 0, 0, tmp_extra[0], context) > 0.0
                             ? std::floor(lookup(name, 0, 0, tmp_extra[0], context) + 0.5)
                             : std::ceil(lookup(name, 0, 0, tmp_extra[0], context) - 0.5);
  const std::int64_t corner = to_int64(rounded);
  std::memcpy(result, &corner, sizeof corner);
  copy_range(range_out);
}

// Requests 2 and 3 of the MOS units: the value a per-corner parameter takes.
template <std::size_t N, std::size_t M>
inline void corner_parameter_request(const instance_record* u, std::int32_t declaration,
                                     const declared_tables& tables, double value, double spread,
                                     const char (&name)[N], const char (&unit)[M], void* result,
                                     range_record** range_out) {
  *tmp_value_scal = value;
  describe_string(tmp_extra[0], name);
  describe_string(tmp_extra[1], unit);
  const auto parameter =
      reinterpret_cast<corner_parameter_fn>(tables.code[corner_parameter_subprogram]);
  store_real(result, parameter(*tmp_value_scal, spread, name, 0, 0, tmp_extra[0], unit, 0, 0,
                               tmp_extra[1], 1, 1, context_of(u, declaration)));
  copy_range(range_out);
}

}  // namespace zeb
