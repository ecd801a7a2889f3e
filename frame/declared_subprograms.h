// Signatures of the subprograms that generic defaults call in declared units.
//
// A string argument passes as four words: the first character, 0, 0, its range record.
// The declared unit's context record comes last.
#pragma once

#include <cstdint>

#include "frame/records.h"

namespace zeb {

// Subprogram 0: the corner of a name such as "PROCESS_CORNER", as a real.
using corner_lookup_fn = double (*)(const char* name, std::int32_t, std::int32_t,
                                    range_record* name_range, void* context);

// Subprogram 2: the value a per-corner parameter takes.
using corner_parameter_fn = double (*)(double value, double spread, const char* name, std::int32_t,
                                       std::int32_t, range_record* name_range, const char* unit,
                                       std::int32_t, std::int32_t, range_record* unit_range,
                                       std::int32_t, std::int32_t, void* context);

// Subprogram 15 of the resistance unit: the value a resistance takes.
using resistance_parameter_fn = double (*)(double value, double nominal, double spread,
                                           const char* name, std::int32_t, std::int32_t,
                                           range_record* name_range, const char* unit, std::int32_t,
                                           std::int32_t, range_record* unit_range, std::int32_t,
                                           std::int32_t, void* context);

inline constexpr std::int32_t corner_lookup_subprogram = 0;
inline constexpr std::int32_t corner_parameter_subprogram = 2;
inline constexpr std::int32_t resistance_parameter_subprogram = 15;

}  // namespace zeb
