// LEVEL_2-ZEB_RES_2P: resistor with per-corner pin capacitances to the reference node.
#include "frame/analog_unit.h"
#include "frame/generic_evaluation.h"

namespace {

// Pins 1, 2; quantity 0 across V, 1 through I (state 1), 2 and 4 pin voltages, 3 and 5 the
// pin capacitor currents (explicit), 6 and 7 the pin voltage derivatives.
struct corner_resistor : zeb::analog_defaults {
  static constexpr zeb::positions<1> implicit_states{1};
  static constexpr zeb::positions<2> explicit_quantities{3, 5};

  // Corner lookup through declaration 8, resistance parameter through declaration 6.
  static inline zeb::declared_tables tab_func__8;
  static inline zeb::declared_tables tab_func__6;

  static void set_up(instance_record* instance) {
    zeb::announce_scratch(2, false);
    zeb::cache_declared_tables(instance, 8, tab_func__8);
    zeb::cache_declared_tables(instance, 6, tab_func__6);
  }

  static constexpr usr_eval_fn evaluator = &zeb::no_requests;
};

}  // namespace

ZEB_ELAB_FUNCS(zeb::analog_unit<corner_resistor>::exports);
