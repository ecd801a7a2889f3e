// Generic values of an instance: catalog defaults, values a user gives by name, and the
// defaults the unit computes through usr_eval.
#pragma once

#include <array>
#include <string_view>

#include "host/design.h"

namespace host {

// Stores the catalog's defaults into the instance's generic records (tables get their own
// three doubles).
void apply_catalog_defaults(Instance& instance);

// A user's value for a named generic; throws std::invalid_argument naming the instance for
// an unknown name or a value that does not fit the generic's type.
void set_generic(Instance& instance, std::string_view name, double value);
void set_generic_table(Instance& instance, std::string_view name,
                       const std::array<double, 3>& table);

// The scratch tables the units announced (tmp_extra, tmp_value_scal) and the evaluation
// frame (ebi_fp), made once per design.
void prepare_scratch();

// One usr_eval request for the instance, with the scratch tables and the evaluation frame
// made ready.
void request_default(Instance& instance, std::int32_t request, void* result,
                     range_record** range_out);

// Asks the unit's usr_eval for every computed default the user did not give, in request
// order (the corner index first).
void evaluate_defaults(Instance& instance);

}  // namespace host
