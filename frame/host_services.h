// Services and data that the host kernel exports to the plug-ins.
//
// Pin, state and matrix services act on the host's current object (vhdl_update_fas_envir).
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/ac_value.h"
#include "frame/records.h"

extern "C" {

// Allocation and reports.
void* vams_calloc(std::size_t count, std::size_t size);
void* vams_malloc(std::size_t size);
void* vams_realloc(void* block, std::size_t size);
// 6: declared count, stored count (int32); 4: index, low bound, high bound (int64).
void vams_error(std::int32_t code, ...);

// Elaboration.
void add_endComputed(instance_record* instance, void (*callback)(instance_record*),
                     std::int32_t mode);
std::int32_t index_objet_courant(void);
void vhdl_update_fas_envir(std::int32_t object_index);
void tavo_ask_for_implicit_states(std::int32_t count);
void tavo_exchange_quantity_idx(std::int32_t state, quantity_record* quantity, double value);
void Set_Deriv(std::int32_t mode);
// Kinds: 80 ('P') a pin, 83 ('S') an implicit state.
void fdr_reserve_mat_loc(std::int32_t location, std::int32_t row_kind, std::int32_t row_number,
                         std::int32_t column_kind, std::int32_t column_number);
void bb_RF_setup(void);
void Init_DDT_Pin(std::int32_t pin);
void bb_RF_der(void);
void sim_update_qexplt(quantity_record* quantity);

// Analog solver.
std::int32_t IS_AC_MODE(void);
double VPin(std::int32_t pin);
ac_value VPin_Complex(std::int32_t pin);
double dvpin_by_dt(std::int32_t pin);
void ac_update_scalar_dot_qty(quantity_record* quantity);
void Set_Ipin_Real(std::int32_t pin, double current);
void Set_Ipin_Complex(std::int32_t pin, ac_value current);
void Solve_State(std::int32_t state, double residual);
void Solve_State_Complex(std::int32_t state, ac_value residual);
void fas_add_mat_term_index(std::int32_t location, double value);
void fas_add_mat_term_index_cmplx(std::int32_t location, ac_value value);
extern double sim_alpha;
extern ac_value sim_jomega;
double real_div_f(double numerator, double denominator);
double real_int_pow(double base, std::int64_t exponent);

// Generic evaluation scratch.
void inc_range_table_size(std::int32_t count);
void inc_value_table_size(std::int32_t count);
void inc_value_scal_table_size(std::int32_t count);
extern evaluation_frame* ebi_fp;
extern range_record** tmp_extra;
extern double* tmp_value_scal;

// Complex runtime support. The real cube root is the platform's cbrt.
void get_fnz_ac_deriv(std::int32_t handle, double* re, double* im);
void ac_gcc_error_message(std::int32_t level, const char* text);

// Threshold-crossing signals.
extern std::int32_t sim_digital_analog_interaction;
void update_blk_sig(above_record* above);
void watching_on_quantity(instance_record* instance, std::int32_t above);
std::int32_t read_blk_above_sig(above_record* above);

// Digital event kernel. Values are int64 with the std_ulogic position in the low 32 bits;
// delays are int64 counts of ticks.
void set_nb_drivers(process_record* process, std::int32_t count);
void add_driver_in_proc_portout_one_source(process_record* process, std::int32_t driver,
                                           std::int32_t port);
void alloc_sensitivity_map(process_record* process, std::int32_t count);
void add_process_in_port_wake_up_list(process_record* process, std::int32_t port,
                                      std::int32_t slot);
std::int32_t new_transaction(std::int64_t delay, std::int64_t value);
void sqs_activate_driver(driver_record* driver);
void assign0d_one_tr(driver_record* driver, std::int64_t value);
void conc_inertial_assign_driver_one_tr(driver_record* driver, std::int64_t value,
                                        std::int64_t delay);
std::int32_t sqs_desactivate_process(process_record* process);
extern const std::int32_t std_ulogic_not_table[9];
extern const std::int32_t std_ulogic_and_table[81];
extern const std::int32_t std_ulogic_or_table[81];
extern const std::int32_t std_ulogic_xor_table[81];
extern std::int64_t quel_mintr;

}  // extern "C"
