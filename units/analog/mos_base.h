// MOS base units: channel conduction switched by four threshold-crossing signals.
#pragma once

#include <cmath>

#include "frame/analog_unit.h"
#include "runtime/ac_functions.h"
#include "units/analog/mos20hs.h"

namespace zeb::units {

// Gate-oxide capacitance per area, one unit in the last place below the double nearest
// 0.00287755.
inline constexpr double C_OX = 0x1.792a8e49037f0p-9;

// Pins 1, 2 receive current, pin 3 none. Quantities: 0 linear branch voltage, 1 its current
// (state 1), 2 channel current (state 2), 3 and 4 the references of conduction A and B,
// 5 to 8 computed but not read, 9 and 10 the tanh arguments of B and A, 11 control voltage.
// Generics: 0, 1, 2 the gain K = g0 * C_OX * g1 / g2, 4 linear branch resistance, 10 gain
// multiplier, 11 tanh slope, 12 threshold offset. Above records 1 and 3 take their
// thresholds from quantities 3 and 4, crosswise between the P and the N unit.
template <channel type>
struct mos_base : analog_defaults {
  static constexpr bool p_unit = type == channel::p;
  static constexpr double s = p_unit ? 1.0 : -1.0;
  static constexpr std::int32_t pin_count = 3;
  static constexpr positions<10> across{0, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  static constexpr positions<2> through{1, 2};
  static constexpr positions<2> implicit_states{1, 2};
  static constexpr positions<1> flagged_pins{3};
  static constexpr positions<0> explicit_quantities{};
  static constexpr bool digital_interaction = true;

  static constexpr std::int32_t threshold_1 = p_unit ? 4 : 3;  // above record 1
  static constexpr std::int32_t threshold_3 = p_unit ? 3 : 4;  // above record 3

  static double quantity_value(const above_record* above, std::int32_t position) {
    return *above->owner->quantities[position]->value;
  }
  static double exec_dynexpr__1(above_record* above) { return quantity_value(above, threshold_1); }
  static double exec_dynexpr__2(above_record* above) { return quantity_value(above, threshold_3); }
  static double exec_dynexpr__3(above_record* above) { return quantity_value(above, threshold_1); }
  static double exec_dynexpr__4(above_record* above) { return quantity_value(above, threshold_3); }

  // Installs a threshold function and sets the initial state from it.
  static void install(instance_record* instance, above_record* above,
                      double (*threshold)(above_record*)) {
    above->owner = instance;
    above->threshold_function = threshold;
    above->threshold = threshold(above);
    const std::int32_t state = *above->watched->value > above->threshold ? 1 : 0;
    above->state = state;
    above->state_copy = state;
  }

  static void check(instance_record* instance) {
    above_record** above = instance->aboves;
    update_blk_sig(above[0]);
    install(instance, above[1], &exec_dynexpr__1);
    update_blk_sig(above[1]);
    update_blk_sig(above[2]);
    install(instance, above[3], &exec_dynexpr__2);
    update_blk_sig(above[3]);
    install(instance, above[1], &exec_dynexpr__3);
    install(instance, above[3], &exec_dynexpr__4);
  }

  enum class conduction { a, b, off };

  // Case A needs above signals 0 and 1, case B signals 2 and 3; reading stops once decided.
  static conduction select(const instance_record* u) {
    above_record* const* above = u->aboves;
    if (read_blk_above_sig(above[0]) != 0 && read_blk_above_sig(above[1]) != 0) {
      return conduction::a;
    }
    if (read_blk_above_sig(above[2]) != 0 && read_blk_above_sig(above[3]) != 0) {
      return conduction::b;
    }
    return conduction::off;
  }

  static double gain(const instance_record* u) {
    return real_div_f(g(u, 0) * C_OX * g(u, 1), g(u, 2));
  }

  static constexpr bool custom_iteration = true;

  static void each_iter(instance_record* u, std::int32_t) {
    using protocol = analog_protocol<mos_base>;
    protocol::ams__compute_explicit(u);
    for (std::int32_t k = 0; k < 4; ++k) watching_on_quantity(u, k);
    Set_Ipin_Real(1, pin(u, 1)->current);
    Set_Ipin_Real(2, pin(u, 2)->current);
    Solve_State(1, q(u, 1) - real_div_f(q(u, 0), g(u, 4)));
    const conduction c = select(u);
    double residual = q(u, 2);
    if (c != conduction::off) {
      const double K = gain(u);
      const double reference = q(u, c == conduction::a ? 3 : 4);
      const double X = (K * ((q(u, 11) - reference) + s * g(u, 12))) * g(u, 10);
      const double T = std::tanh(g(u, 11) * q(u, c == conduction::a ? 10 : 9));
      if (c == conduction::a) {
        residual = p_unit ? q(u, 2) - X * T : X * T + q(u, 2);
      } else {
        residual = p_unit ? T * X + q(u, 2) : q(u, 2) - X * T;
      }
    }
    Solve_State(2, residual);
  }

  static void each_iter_ac(instance_record* u, std::int32_t) {
    using protocol = analog_protocol<mos_base>;
    protocol::ams__ac_compute_explicit(u);
    Set_Ipin_Complex(1, pin(u, 1)->ac_current);
    Set_Ipin_Complex(2, pin(u, 2)->ac_current);
    Solve_State_Complex(1, ac_sub(qc(u, 1), ac_real_div(qc(u, 0), g(u, 4))));
    const conduction c = select(u);
    ac_value residual = ac_real_sub(qc(u, 2), 0.0);
    if (c != conduction::off) {
      const bool a = c == conduction::a;
      const ac_value T = ac_th(real_ac_mul(g(u, 11), qc(u, a ? 10 : 9)));
      const ac_value difference = ac_sub(qc(u, 11), qc(u, a ? 3 : 4));
      const ac_value D =
          p_unit ? ac_real_add(difference, g(u, 12)) : ac_real_sub(difference, g(u, 12));
      const double K = gain(u);
      const ac_value M = ac_mul(ac_real_mul(real_ac_mul(K, D), g(u, 10)), T);
      // P: A subtracts M, B adds it; N the other way round.
      residual = a == p_unit ? ac_sub(qc(u, 2), M) : ac_sub(qc(u, 2), ac_minus(M));
    }
    Solve_State_Complex(2, residual);
  }
};

}  // namespace zeb::units
