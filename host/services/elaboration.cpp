// Elaboration services: callbacks, object index, states, matrix reservations and the scratch
// tables of generic evaluation.
#include <string>

#include "frame/host_services.h"
#include "host/kernel.h"

using host::kernel;
using host::Trace;
using host::analog::UnitDeclarations;

namespace {

// The declarations of the current object; a call with no current object is kept as a fault.
UnitDeclarations* declarations(const char* service) {
  auto& k = kernel();
  UnitDeclarations* declared = k.analog.declarations(k.current_object);
  if (declared == nullptr) {
    k.analog.stray(std::string(service) + " called with no current object");
  }
  return declared;
}

}  // namespace

extern "C" {

evaluation_frame* ebi_fp = nullptr;
range_record** tmp_extra = nullptr;
double* tmp_value_scal = nullptr;

void add_endComputed(instance_record* instance, void (*callback)(instance_record*),
                     std::int32_t mode) {
  kernel().trace.call("add_endComputed", instance, Trace::function_argument{}, mode);
  kernel().end_computed.push_back({instance, callback, mode});
}

std::int32_t index_objet_courant(void) {
  kernel().trace.call("index_objet_courant");
  return kernel().current_object;
}

// Makes an object current. During an analysis an index that names no object is a fault.
void vhdl_update_fas_envir(std::int32_t object_index) {
  auto& k = kernel();
  k.trace.call("vhdl_update_fas_envir", object_index);
  k.current_object = object_index;
  if (k.analog.analysing() && k.analog.runtime(object_index) == nullptr) {
    k.analog.stray("vhdl_update_fas_envir(" + std::to_string(object_index) +
                   ") names no object of the analysis");
  }
}

void tavo_ask_for_implicit_states(std::int32_t count) {
  kernel().trace.call("tavo_ask_for_implicit_states", count);
  if (auto* declared = declarations("tavo_ask_for_implicit_states"))
    declared->ask_for_states(count);
}

void tavo_exchange_quantity_idx(std::int32_t state, quantity_record* quantity, double value) {
  kernel().trace.call("tavo_exchange_quantity_idx", state, quantity, value);
  if (auto* declared = declarations("tavo_exchange_quantity_idx")) {
    declared->bind_state(state, quantity, value);
  }
}

void Set_Deriv(std::int32_t mode) {
  kernel().trace.call("Set_Deriv", mode);
  if (auto* declared = declarations("Set_Deriv")) declared->set_jacobian_mode(mode);
}

void fdr_reserve_mat_loc(std::int32_t location, std::int32_t row_kind, std::int32_t row_number,
                         std::int32_t column_kind, std::int32_t column_number) {
  kernel().trace.call("fdr_reserve_mat_loc", location, row_kind, row_number, column_kind,
                      column_number);
  if (auto* declared = declarations("fdr_reserve_mat_loc")) {
    declared->reserve(location, {true, row_kind, row_number, column_kind, column_number});
  }
}

// Brackets the pins whose voltage derivatives the unit reads.
void bb_RF_setup(void) {
  kernel().trace.call("bb_RF_setup");
  if (auto* declared = declarations("bb_RF_setup")) declared->begin_derivative_pins();
}
void Init_DDT_Pin(std::int32_t pin) {
  kernel().trace.call("Init_DDT_Pin", pin);
  if (auto* declared = declarations("Init_DDT_Pin")) declared->derivative_pin(pin);
}
void bb_RF_der(void) {
  kernel().trace.call("bb_RF_der");
  if (auto* declared = declarations("bb_RF_der")) declared->end_derivative_pins();
}

void sim_update_qexplt(quantity_record* quantity) {
  kernel().trace.call("sim_update_qexplt", quantity);
  kernel().explicit_quantities.push_back(quantity);
}

void inc_range_table_size(std::int32_t count) {
  kernel().trace.call("inc_range_table_size", count);
  if (count > kernel().range_table_size) kernel().range_table_size = count;
}

void inc_value_table_size(std::int32_t count) {
  kernel().trace.call("inc_value_table_size", count);
  if (count > kernel().value_table_size) kernel().value_table_size = count;
}

void inc_value_scal_table_size(std::int32_t count) {
  kernel().trace.call("inc_value_scal_table_size", count);
  if (count > kernel().value_scal_table_size) kernel().value_scal_table_size = count;
}

}  // extern "C"
