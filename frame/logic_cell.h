// Logic cells: elaboration, the process phase and the runs of their processes.
//
// Cell provides:
//   processes              one process_port_map per process
//   value(process, rec)    the std_ulogic position process (0-based) assigns
//   delayed                whether the output follows after a corner-dependent delay
//   dblines                source line numbers of its processes (carried, never read)
// and may replace a whole run with run(process_record*) by setting custom_run.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

#include "frame/corner.h"
#include "frame/elaboration.h"
#include "frame/generic_evaluation.h"
#include "frame/structural_unit.h"

namespace zeb {

// The process's output port and the ports that wake it, slot by slot.
struct process_port_map {
  std::int32_t output;
  std::int32_t wake_count;
  std::array<std::int32_t, 3> wake;
};

// std_ulogic positions and the kernel's IEEE 1164 tables.
namespace logic {
inline constexpr std::int32_t unknown = 1;
inline constexpr std::int32_t zero = 2;
inline constexpr std::int32_t one = 3;
// The port's position; anything outside 0 to 8 reads as 'X', so no table is indexed out of
// bounds.
inline std::int32_t port(const process_record* process, std::int32_t position) {
  const auto value = static_cast<std::uint32_t>(*process->ports[position]->value);
  return value <= 8 ? static_cast<std::int32_t>(value) : unknown;
}
inline std::int32_t not_(std::int32_t a) {
  return std_ulogic_not_table[a];
}
inline std::int32_t and_(std::int32_t a, std::int32_t b) {
  return std_ulogic_and_table[a * 9 + b];
}
inline std::int32_t or_(std::int32_t a, std::int32_t b) {
  return std_ulogic_or_table[a * 9 + b];
}
inline std::int32_t xor_(std::int32_t a, std::int32_t b) {
  return std_ulogic_xor_table[a * 9 + b];
}
}  // namespace logic

// A double of ticks as int64; values beyond the int64 range saturate and NaN gives 0, where a
// plain conversion would be undefined.
inline std::int64_t ticks(double t) {
  constexpr double limit = 9223372036854775808.0;  // 2^63
  if (!(t == t)) return 0;
  if (t >= limit) return std::numeric_limits<std::int64_t>::max();
  if (t < -limit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(t);
}

// Generic positions of the delayed cells; slot 9 is bound at set-up from declaration 2.
namespace delay_generic {
inline constexpr std::int32_t base = 5;
inline constexpr std::int32_t corner = 6;
inline constexpr std::int32_t factors = 7;
inline constexpr std::int32_t derating = 9;
inline constexpr std::int32_t derating_object = 27;
}  // namespace delay_generic

// The inertial delay in ticks, from the generics as they stand now; never negative. Without a
// tick length there is no delay to compute.
inline std::int64_t corner_delay(const instance_record* instance) {
  if (quel_mintr == 0) return 0;
  generic_record* const* g = instance->generics;
  const std::int64_t ticks_per_second = 1000000000000000LL / quel_mintr;
  const double t1 = static_cast<double>(ticks(
      std::floor(static_cast<double>(ticks_per_second) * g[delay_generic::base]->value.real)));
  const double factor = corner_element(g[delay_generic::factors]->value.array,
                                       g[delay_generic::corner]->value.integer);
  const double t2 = static_cast<double>(ticks(std::floor(t1 * factor)));
  const double derating = g[delay_generic::derating]->value.real;
  return std::max<std::int64_t>(ticks(std::floor(t2 * (1.0 + (derating - 27.0) * 0.0029))), 0);
}

// Schedules value on driver 0: a new transaction the first time, an assignment after.
inline void schedule(process_record* process, std::int32_t value, std::int64_t delay,
                     bool inertial) {
  driver_record* driver = process->drivers[0];
  if (driver->handle == 0) {
    driver->handle = new_transaction(delay, value);
    sqs_activate_driver(driver);
  } else if (inertial) {
    conc_inertial_assign_driver_one_tr(driver, value, delay);
  } else {
    assign0d_one_tr(driver, value);
  }
}

struct cell_defaults {
  static constexpr bool delayed = false;
  static constexpr bool custom_run = false;
  static void run(process_record*) {}
};

template <class Cell>
struct logic_cell {
  static inline void* rg;
  static inline declared_tables tab_func__9;  // corner lookup of the delayed cells

  static constexpr std::int32_t process_count =
      static_cast<std::int32_t>(std::size(Cell::processes));

  template <std::int32_t index>
  static void run(process_record* process) {
    if constexpr (Cell::custom_run) {
      Cell::run(process);
    } else {
      const std::int64_t delay = Cell::delayed ? corner_delay(process->instance) : 0;
      schedule(process, Cell::value(index, process), delay, Cell::delayed);
      sqs_desactivate_process(process);
    }
  }
  static void exec_process__1(process_record* process) { run<0>(process); }
  static void exec_process__2(process_record* process) { run<1>(process); }

  static void set_up(instance_record* instance) {
    allocate_rg(rg);
    if constexpr (Cell::delayed) {
      inc_range_table_size(1);
      cache_declared_tables(instance, 9, tab_func__9);
      // Two more slots, and at least up to the derating slot; the count stays as it is.
      const auto count = static_cast<std::size_t>(std::max(instance->generic_count, 0));
      const auto slots = std::max(count + 2, static_cast<std::size_t>(delay_generic::derating) + 1);
      instance->generics =
          static_cast<generic_record**>(vams_realloc(instance->generics, slots * sizeof(void*)));
      std::fill(instance->generics + count, instance->generics + slots, nullptr);
      const auto* derating =
          static_cast<const context_record*>(declared_unit(instance, 2)->context);
      instance->generics[delay_generic::derating] =
          derating->objects[delay_generic::derating_object];
    }
  }

  static void install(process_record* process, std::int32_t number) {
    const process_port_map& ports = Cell::processes[static_cast<std::size_t>(number - 1)];
    process->function = number == 1 ? &exec_process__1 : &exec_process__2;
    set_nb_drivers(process, 1);
    add_driver_in_proc_portout_one_source(process, 0, ports.output);
    alloc_sensitivity_map(process, ports.wake_count);
    for (std::int32_t slot = 0; slot < ports.wake_count; ++slot) {
      add_process_in_port_wake_up_list(process, ports.wake[static_cast<std::size_t>(slot)], slot);
    }
  }

  static void elab_desent(void* record, std::int32_t phase) {
    if (phase == setup_phase) {
      set_up(static_cast<instance_record*>(record));
    } else if (phase == check_phase) {
      store_state_count(static_cast<instance_record*>(record), 0);
    } else if (phase >= 1 && phase <= process_count) {
      install(static_cast<process_record*>(record), phase);
    }
  }

  // The delayed cells' one computed default: the corner index (generic 6).
  static void usr_eval(std::int32_t request, void* result, range_record** range_out) {
    const instance_record* u = begin_request();
    if (request == 1) corner_request(u, 9, tab_func__9, process_corner_name, result, range_out);
  }

  static constexpr elab_funcs_table exports{
      &elab_desent, Cell::delayed ? &usr_eval : nullptr, nullptr, nullptr, nullptr, nullptr};
};

}  // namespace zeb
