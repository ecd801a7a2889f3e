// MOS base units: channel conduction switched by four threshold-crossing signals.
#pragma once

#include "frame/analog_unit.h"
#include "units/analog/mos20hs.h"

namespace zeb::units {

// Pins 1, 2 receive current, pin 3 none; quantity 1 (state 1) the linear branch current,
// quantity 2 (state 2) the channel current. Above records 1 and 3 take their thresholds
// from quantities 3 and 4, crosswise between the P and the N unit.
template <channel type>
struct mos_base : analog_defaults {
  static constexpr positions<2> implicit_states{1, 2};
  static constexpr positions<1> flagged_pins{3};
  static constexpr positions<0> explicit_quantities{};
  static constexpr bool digital_interaction = true;

  static constexpr std::int32_t threshold_1 = type == channel::p ? 4 : 3;  // above record 1
  static constexpr std::int32_t threshold_3 = type == channel::p ? 3 : 4;  // above record 3

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
};

}  // namespace zeb::units
