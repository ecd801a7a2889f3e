// Event-kernel services, the IEEE 1164 tables and the threshold-crossing signal services.
#include <cstdint>

#include "frame/host_services.h"
#include "host/kernel.h"
#include "host/mixed/above_signals.h"

using host::kernel;

namespace {

// Positions: U X 0 1 Z W L H -
enum : std::int32_t { U, X, F, T, Z, W, L, H, D };

}  // namespace

extern "C" {

const std::int32_t std_ulogic_not_table[9] = {U, X, T, F, X, X, T, F, X};

const std::int32_t std_ulogic_and_table[81] = {
    U, U, F, U, U, U, F, U, U,  // U
    U, X, F, X, X, X, F, X, X,  // X
    F, F, F, F, F, F, F, F, F,  // 0
    U, X, F, T, X, X, F, T, X,  // 1
    U, X, F, X, X, X, F, X, X,  // Z
    U, X, F, X, X, X, F, X, X,  // W
    F, F, F, F, F, F, F, F, F,  // L
    U, X, F, T, X, X, F, T, X,  // H
    U, X, F, X, X, X, F, X, X,  // -
};

const std::int32_t std_ulogic_or_table[81] = {
    U, U, U, T, U, U, U, T, U,  // U
    U, X, X, T, X, X, X, T, X,  // X
    U, X, F, T, X, X, F, T, X,  // 0
    T, T, T, T, T, T, T, T, T,  // 1
    U, X, X, T, X, X, X, T, X,  // Z
    U, X, X, T, X, X, X, T, X,  // W
    U, X, F, T, X, X, F, T, X,  // L
    T, T, T, T, T, T, T, T, T,  // H
    U, X, X, T, X, X, X, T, X,  // -
};

const std::int32_t std_ulogic_xor_table[81] = {
    U, U, U, U, U, U, U, U, U,  // U
    U, X, X, X, X, X, X, X, X,  // X
    U, X, F, T, X, X, F, T, X,  // 0
    U, X, T, F, X, X, T, F, X,  // 1
    U, X, X, X, X, X, X, X, X,  // Z
    U, X, X, X, X, X, X, X, X,  // W
    U, X, F, T, X, X, F, T, X,  // L
    U, X, T, F, X, X, T, F, X,  // H
    U, X, X, X, X, X, X, X, X,  // -
};

std::int64_t quel_mintr = 1;
std::int32_t sim_digital_analog_interaction = 0;

void set_nb_drivers(process_record* process, std::int32_t count) {
  kernel().trace.call("set_nb_drivers", process, count);
  kernel().events.declare_drivers(process, count);
}

void add_driver_in_proc_portout_one_source(process_record* process, std::int32_t driver,
                                           std::int32_t port) {
  kernel().trace.call("add_driver_in_proc_portout_one_source", process, driver, port);
  kernel().events.add_driver(process, driver, port);
}

void alloc_sensitivity_map(process_record* process, std::int32_t count) {
  kernel().trace.call("alloc_sensitivity_map", process, count);
  kernel().events.allocate_wake_slots(process, count);
}

void add_process_in_port_wake_up_list(process_record* process, std::int32_t port,
                                      std::int32_t slot) {
  kernel().trace.call("add_process_in_port_wake_up_list", process, port, slot);
  kernel().events.add_wake_port(process, port, slot);
}

std::int32_t new_transaction(std::int64_t delay, std::int64_t value) {
  kernel().trace.call("new_transaction", delay, value);
  return kernel().events.new_transaction(delay, value);
}

void sqs_activate_driver(driver_record* driver) {
  kernel().trace.call("sqs_activate_driver", driver);
  kernel().events.activate_driver(driver);
}

void assign0d_one_tr(driver_record* driver, std::int64_t value) {
  kernel().trace.call("assign0d_one_tr", driver, value);
  kernel().events.assign_zero_delay(driver, value);
}

void conc_inertial_assign_driver_one_tr(driver_record* driver, std::int64_t value,
                                        std::int64_t delay) {
  kernel().trace.call("conc_inertial_assign_driver_one_tr", driver, value, delay);
  kernel().events.assign_inertial(driver, value, delay);
}

std::int32_t sqs_desactivate_process(process_record* process) {
  kernel().trace.call("sqs_desactivate_process", process);
  kernel().events.suspend(process);
  return 0;
}

void update_blk_sig(above_record* above) {
  kernel().trace.call("update_blk_sig", above);
  host::mixed::publish(*above);
}

// At an iteration of an analysis, the above record switches to the side of its threshold the
// unit's current point lies on; outside an analysis and at the perturbed points of a
// differenced Jacobian it keeps its state.
void watching_on_quantity(instance_record* instance, std::int32_t above) {
  auto& k = kernel();
  k.trace.call("watching_on_quantity", instance, above);
  if (!k.analog.analysing() || k.analog.probing) return;
  host::analog::UnitRuntime* unit = k.analog.runtime(k.current_object);
  if (unit == nullptr || unit->record() != instance) {
    k.analog.stray("watching_on_quantity called for an instance that is not the current object");
    return;
  }
  if (!unit->has_above(above, "watching_on_quantity")) return;
  above_record& record = *instance->aboves[above];
  record.state = host::mixed::above_state(record);
}

std::int32_t read_blk_above_sig(above_record* above) {
  kernel().trace.call("read_blk_above_sig", above);
  return above->state;
}

}  // extern "C"
