// Units without equations or processes: a set-up phase and a check phase that marks pins.
#pragma once

#include "frame/elaboration.h"

namespace zeb {

// Unit provides: flagged_pins (positions), and is_package (no check phase).
template <class Unit>
struct structural_unit {
  static inline void* rg;

  static void elab_desent(void* record, std::int32_t phase) {
    auto* instance = static_cast<instance_record*>(record);
    if (phase == setup_phase) {
      allocate_rg(rg);
    } else if (phase == check_phase && !Unit::is_package) {
      flag_pins(instance, Unit::flagged_pins);
      store_state_count(instance, 0);
    }
  }

  static constexpr elab_funcs_table exports{&elab_desent, nullptr, nullptr,
                                            nullptr,      nullptr, nullptr};
};

}  // namespace zeb

// Defines the plug-in's one exported symbol.
#define ZEB_ELAB_FUNCS(...) extern "C" ZEB_EXPORT const elab_funcs_table elab_funcs = __VA_ARGS__
