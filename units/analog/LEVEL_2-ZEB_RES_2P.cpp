// LEVEL_2-ZEB_RES_2P: resistor with per-corner pin capacitances to the reference node.
#include "frame/analog_unit.h"
#include "frame/corner.h"
#include "frame/generic_evaluation.h"
#include "runtime/ac_functions.h"
#include "units/analog/resistor.h"

namespace {

using namespace zeb;

// Pins 1, 2; quantity 0 across V, 1 through I (state 1), 2 and 4 the pin voltages, 3 and 5
// the pin capacitor currents (explicit), 6 and 7 the pin voltage derivatives.
// Generics: 8 and 9 the per-corner capacitances C1 and C2, 18 the corner index, 22 R.
struct corner_resistor : analog_defaults {
  static constexpr std::int32_t pin_count = 2;
  static constexpr positions<3> across{0, 2, 4};
  static constexpr positions<3> through{1, 3, 5};
  static constexpr std::array<derivative_quantity, 2> derivatives{{{6, 1, 0}, {7, 2, 0}}};
  static constexpr positions<2> ddt_pins{1, 2};
  static constexpr positions<1> implicit_states{1};
  static constexpr positions<2> explicit_quantities{3, 5};

  // Corner lookup through declaration 8, resistance parameter through declaration 6.
  static inline declared_tables tab_func__8;
  static inline declared_tables tab_func__6;

  static void set_up(instance_record* instance) {
    announce_scratch(2, false);
    cache_declared_tables(instance, 8, tab_func__8);
    cache_declared_tables(instance, 6, tab_func__6);
  }

  // Generic defaults: 1 the corner index (generic 18), 2 and 3 the upper and lower relative
  // deviation g14 * (+-0.01) / sqrt(g13), 4 the resistance through declaration 6.
  static constexpr char literal_cst__0[] = "PROCESS_CORNER";
  static constexpr char literal_cst__1[] = "res";
  static constexpr char literal_cst__2[] = "ohms";

  static void resistance_request(const instance_record* u, void* result, range_record** range_out) {
    describe_string(tmp_extra[0], literal_cst__1);
    describe_string(tmp_extra[1], literal_cst__2);
    const auto resistance = reinterpret_cast<resistance_parameter_fn>(
        tab_func__6.code[resistance_parameter_subprogram]);
    store_real(result, resistance(0.0, g(u, 20), g(u, 19), literal_cst__1, 0, 0, tmp_extra[0],
                                  literal_cst__2, 0, 0, tmp_extra[1], 1, 1, context_of(u, 6)));
    copy_range(range_out);
  }

  static void usr_eval(std::int32_t request, void* result, range_record** range_out) {
    const instance_record* u = begin_request();
    switch (request) {
      case 1:
        corner_request(u, 8, tab_func__8, literal_cst__0, result, range_out);
        break;
      case 2:
        store_real(result, real_div_f(g(u, 14) * 0.01, real_pow(g(u, 13), 0.5)));
        break;
      case 3:
        store_real(result, real_div_f(g(u, 14) * (-0.01), real_pow(g(u, 13), 0.5)));
        break;
      case 4:
        resistance_request(u, result, range_out);
        break;
      default:
        break;
    }
  }
  static constexpr usr_eval_fn evaluator = &usr_eval;

  // The element of a per-corner table at the corner index, read afresh at every access.
  static double at_corner(const instance_record* u, std::int32_t table) {
    return corner_element(ga(u, table), gi(u, 18));
  }
  static double C1(const instance_record* u) { return at_corner(u, 8); }
  static double C2(const instance_record* u) { return at_corner(u, 9); }
  static double R(const instance_record* u) { return g(u, 22); }

  static void explicit_values(instance_record* u) {
    q(u, 3) = C1(u) * q(u, 6);
    q(u, 5) = C2(u) * q(u, 7);
  }
  static void ac_explicit_values(instance_record* u) {
    qc(u, 3) = real_ac_mul(C1(u), qc(u, 6));
    qc(u, 5) = real_ac_mul(C2(u), qc(u, 7));
  }

  // Between the pins, the linear resistor with R at generic 22.
  using resistor = units::linear_resistor<22>;
  static double residual(const instance_record* u, std::int32_t k) {
    return resistor::residual(u, k);
  }
  static ac_value ac_residual(const instance_record* u, std::int32_t k) {
    return resistor::ac_residual(u, k);
  }

  static constexpr std::array<jacobian_location, 7> jacobian{{
      {kind_pin, 1, kind_state, 1},
      {kind_pin, 1, kind_pin, 1},
      {kind_pin, 2, kind_pin, 2},
      {kind_pin, 2, kind_state, 1},
      {kind_state, 1, kind_pin, 1},
      {kind_state, 1, kind_pin, 2},
      {kind_state, 1, kind_state, 1},
  }};
  static double jacobian_value(const instance_record* u, std::int32_t location) {
    switch (location) {
      case 1:
        return 1.0;
      case 2:
        return C1(u) * sim_alpha;
      case 3:
        return C2(u) * sim_alpha;
      case 4:
        return -1.0;
      case 5:
        return 1.0;
      case 6:
        return -1.0;
      default:
        return -R(u);
    }
  }
  static ac_value ac_jacobian_value(const instance_record* u, std::int32_t location) {
    switch (location) {
      case 2:
        return real_ac_mul(C1(u), sim_jomega);
      case 3:
        return real_ac_mul(C2(u), sim_jomega);
      default:
        return real2complex(jacobian_value(u, location));
    }
  }
};

}  // namespace

ZEB_ELAB_FUNCS(analog_unit<corner_resistor>::exports);
