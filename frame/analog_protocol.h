// The analog instance protocol: elaboration of states and matrix locations, the real and the
// small-signal iteration, and the end-of-solution callback.
//
// Unit provides, besides its elaboration data (analog_unit.h):
//   pin_count                  pins 1..pin_count
//   across, through            quantity positions of across and through quantities
//   derivatives                derivative quantities, in quantity order
//   ddt_pins                   pins whose voltage derivative it reads
//   jacobian                   reserved locations 1, 2, ...; empty when it loads none
//   explicit_values(u), ac_explicit_values(u)     the explicit quantities, in order
//   residual(u, k), ac_residual(u, k)             state k's residual
//   jacobian_value(u, l), ac_jacobian_value(u, l) location l's value
//   custom_iteration           when set, each_iter(u, flag) and each_iter_ac(u, flag)
//                              replace the standard iteration steps
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "frame/host_services.h"
#include "frame/records.h"
#include "frame/unit_access.h"

namespace zeb {

template <class Unit>
struct analog_protocol {
  static constexpr bool loads_jacobian = Unit::jacobian.size() > 0;
  static constexpr bool reads_derivatives = Unit::ddt_pins.size() > 0;
  static constexpr std::int32_t state_count =
      static_cast<std::int32_t>(Unit::implicit_states.size());

  static constexpr bool places_current(std::int32_t n) {
    for (std::int32_t flagged : Unit::flagged_pins) {
      if (flagged == n) return false;
    }
    return true;
  }

  static void ams__elab_tavo_1(instance_record* u) {
    if constexpr (reads_derivatives) {
      bb_RF_setup();
      for (std::int32_t n : Unit::ddt_pins) Init_DDT_Pin(n);
    }
    if constexpr (state_count > 0) tavo_ask_for_implicit_states(u->state_count);
    if constexpr (reads_derivatives) bb_RF_der();
    u->object_index = index_objet_courant();
    if constexpr (loads_jacobian) Set_Deriv(2);
  }

  static void ams__elab_tavo_2(instance_record* u) {
    for (std::int32_t k = 1; k <= state_count; ++k) {
      quantity_record* state =
          u->quantities[Unit::implicit_states[static_cast<std::size_t>(k - 1)]];
      tavo_exchange_quantity_idx(k, state, *state->value);
    }
  }

  static void ams__elab_tavo_3(instance_record*) {
    std::int32_t location = 0;
    for (const jacobian_location& l : Unit::jacobian) {
      fdr_reserve_mat_loc(++location, l.row_kind, l.row, l.column_kind, l.column);
    }
  }

  static void ams__compute_explicit(instance_record* u) {
    for (std::int32_t n = 1; n <= Unit::pin_count; ++n) {
      pin_record* p = u->pins[n - 1];
      p->current = 0.0;
      *p->voltage->value = VPin(n);
    }
    for (std::int32_t position : Unit::across) {
      quantity_record* x = u->quantities[position];
      double v = *x->plus->voltage->value;
      if (x->minus != nullptr) v -= *x->minus->voltage->value;
      *x->value = v;
    }
    for (const derivative_quantity& d : Unit::derivatives) {
      double v = dvpin_by_dt(d.plus);
      if (d.minus != 0) v -= dvpin_by_dt(d.minus);
      q(u, d.quantity) = v;
    }
    Unit::explicit_values(u);
    for (std::int32_t position : Unit::through) {
      const quantity_record* x = u->quantities[position];
      x->plus->current += *x->value;
      if (x->minus != nullptr) x->minus->current -= *x->value;
    }
  }

  static void ams__ac_compute_explicit(instance_record* u) {
    for (std::int32_t n = 1; n <= Unit::pin_count; ++n) {
      pin_record* p = u->pins[n - 1];
      p->ac_current = {0.0, 0.0};
      *p->voltage->ac = VPin_Complex(n);
    }
    for (std::int32_t position : Unit::across) {
      quantity_record* x = u->quantities[position];
      ac_value v = *x->plus->voltage->ac;
      if (x->minus != nullptr) {
        v.re -= x->minus->voltage->ac->re;
        v.im -= x->minus->voltage->ac->im;
      }
      *x->ac = v;
    }
    for (const derivative_quantity& d : Unit::derivatives) {
      ac_update_scalar_dot_qty(u->quantities[d.quantity]);
    }
    Unit::ac_explicit_values(u);
    for (std::int32_t position : Unit::through) {
      const quantity_record* x = u->quantities[position];
      x->plus->ac_current.re += x->ac->re;
      x->plus->ac_current.im += x->ac->im;
      if (x->minus != nullptr) {
        x->minus->ac_current.re -= x->ac->re;
        x->minus->ac_current.im -= x->ac->im;
      }
    }
  }

  static void ams__each_iter(instance_record* u, std::int32_t flag) {
    if constexpr (Unit::custom_iteration) {
      Unit::each_iter(u, flag);
    } else {
      ams__compute_explicit(u);
      set_pin_currents(u, std::make_integer_sequence<std::int32_t, Unit::pin_count>{});
      solve_states(u, std::make_integer_sequence<std::int32_t, state_count>{});
      if constexpr (loads_jacobian) {
        if (flag != 0) load_jacobian(u, std::make_integer_sequence<std::int32_t, location_count>{});
      }
    }
  }

  static void ams__each_iter_AC(instance_record* u, std::int32_t flag) {
    if constexpr (Unit::custom_iteration) {
      Unit::each_iter_ac(u, flag);
    } else {
      ams__ac_compute_explicit(u);
      set_pin_currents_ac(u, std::make_integer_sequence<std::int32_t, Unit::pin_count>{});
      solve_states_ac(u, std::make_integer_sequence<std::int32_t, state_count>{});
      if constexpr (loads_jacobian) {
        if (flag != 0) {
          load_jacobian_ac(u, std::make_integer_sequence<std::int32_t, location_count>{});
        }
      }
    }
  }

  // Brings the instance's quantities up to date with the host's final solution.
  static void ams__end_computed(instance_record* u) {
    vhdl_update_fas_envir(u->object_index);
    if (IS_AC_MODE() != 0) {
      ams__ac_compute_explicit(u);
    } else {
      ams__compute_explicit(u);
    }
  }

 private:
  static constexpr std::int32_t location_count = static_cast<std::int32_t>(Unit::jacobian.size());

  // The sequences below unroll at compile time: pins, states and locations are constants.
  template <std::int32_t... i>
  static void set_pin_currents([[maybe_unused]] instance_record* u,
                               std::integer_sequence<std::int32_t, i...>) {
    ((places_current(i + 1) ? Set_Ipin_Real(i + 1, u->pins[i]->current) : void()), ...);
  }
  template <std::int32_t... i>
  static void set_pin_currents_ac([[maybe_unused]] instance_record* u,
                                  std::integer_sequence<std::int32_t, i...>) {
    ((places_current(i + 1) ? Set_Ipin_Complex(i + 1, u->pins[i]->ac_current) : void()), ...);
  }
  template <std::int32_t... i>
  static void solve_states([[maybe_unused]] instance_record* u,
                           std::integer_sequence<std::int32_t, i...>) {
    (Solve_State(i + 1, Unit::residual(u, i + 1)), ...);
  }
  template <std::int32_t... i>
  static void solve_states_ac([[maybe_unused]] instance_record* u,
                              std::integer_sequence<std::int32_t, i...>) {
    (Solve_State_Complex(i + 1, Unit::ac_residual(u, i + 1)), ...);
  }
  template <std::int32_t... i>
  static void load_jacobian([[maybe_unused]] instance_record* u,
                            std::integer_sequence<std::int32_t, i...>) {
    (fas_add_mat_term_index(i + 1, Unit::jacobian_value(u, i + 1)), ...);
  }
  template <std::int32_t... i>
  static void load_jacobian_ac([[maybe_unused]] instance_record* u,
                               std::integer_sequence<std::int32_t, i...>) {
    (fas_add_mat_term_index_cmplx(i + 1, Unit::ac_jacobian_value(u, i + 1)), ...);
  }
};

}  // namespace zeb
