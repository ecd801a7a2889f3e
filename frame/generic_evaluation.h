// Computed generic defaults: scratch tables announced at set-up and the requests of usr_eval.
#pragma once

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

// Placeholder evaluator until the requests are filled in: writes nothing, calls nothing.
inline void no_requests(std::int32_t, void*, range_record**) {}

// An entry of a subprogram table, through the table's untyped slot.
template <class F>
inline subprogram_fn subprogram_entry(F* function) {
  return reinterpret_cast<subprogram_fn>(function);
}

}  // namespace zeb
