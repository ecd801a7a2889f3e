#include "tests/analog/test_units.h"

#include <cmath>
#include <complex>

#include "frame/export_tables.h"
#include "frame/host_services.h"

namespace test {

namespace {

using cplx = std::complex<double>;

double generic(const instance_record* instance, int position) {
  return instance->generics[position]->value.real;
}

double voltage(instance_record* instance) {
  const double v = VPin(1) - VPin(2);
  *instance->quantities[0]->value = v;
  return v;
}

cplx ac_voltage(instance_record* instance) {
  const ac_value a = VPin_Complex(1);
  const ac_value b = VPin_Complex(2);
  const ac_value v{a.re - b.re, a.im - b.im};
  *instance->quantities[0]->ac = v;
  return {v.re, v.im};
}

void place(double current) {
  Set_Ipin_Real(1, current);
  Set_Ipin_Real(2, -current);
}

void place_ac(cplx current) {
  Set_Ipin_Complex(1, {current.real(), current.imag()});
  Set_Ipin_Complex(2, {-current.real(), -current.imag()});
}

// A model gives: states (0 or 1), whether it reads derivatives, its reservations and its
// real and AC iterations.
template <class Model>
struct Wrap {
  static void end_computed(instance_record* instance) {
    vhdl_update_fas_envir(instance->object_index);
    if (IS_AC_MODE() != 0) {
      ac_voltage(instance);
    } else {
      voltage(instance);
    }
  }
  static void elab_desent(void* record, std::int32_t phase) {
    auto* instance = static_cast<instance_record*>(record);
    if (phase == 0) add_endComputed(instance, &end_computed, 3);
    if (phase == -1) {
      if (Model::states > 0) instance->quantities[1]->state_number = 1;
      instance->state_count = Model::states;
    }
  }
  static void tavo_1(instance_record* instance) {
    if (Model::derivatives) {
      bb_RF_setup();
      Init_DDT_Pin(1);
      Init_DDT_Pin(2);
    }
    if (Model::states > 0) tavo_ask_for_implicit_states(Model::states);
    if (Model::derivatives) bb_RF_der();
    instance->object_index = index_objet_courant();
    if (Model::jacobian) Set_Deriv(2);
  }
  static void tavo_2(instance_record* instance) {
    if (Model::states > 0) {
      tavo_exchange_quantity_idx(1, instance->quantities[1], *instance->quantities[1]->value);
    }
  }
  static void tavo_3(instance_record*) { Model::reserve(); }

  static constexpr ams_elab_tavo_table tavo{{&tavo_1, &tavo_2, &tavo_3, nullptr, nullptr}};
  static constexpr ams_each_iter_table iter{&Model::iterate, &Model::iterate_ac, nullptr};
  static constexpr elab_funcs_table table{&elab_desent, nullptr, nullptr, nullptr, &tavo, &iter};

  static TestUnit make(std::string_view name, std::int32_t generics) {
    using enum host::QuantityKind;
    host::CatalogEntry entry{
        name,
        host::UnitKind::analog,
        host::slot::elab_desent | host::slot::ams_elab_tavo | host::slot::ams_each_iter,
        {{"p", host::PortMode::terminal}, {"n", host::PortMode::terminal}},
        generics,
        {{across, 1, 2}, {through, 1, 2}, {derivative, 1, 2}},
        {},
        0,
        "test unit"};
    return {entry, host::Plugin{std::string(name), {}, &table}};
  }
};

struct Conductance {
  static constexpr int states = 0;
  static constexpr bool derivatives = false;
  static constexpr bool jacobian = false;
  static void reserve() {}
  static void iterate(instance_record* instance, std::int32_t) {
    place(generic(instance, 0) * voltage(instance));
  }
  static void iterate_ac(instance_record* instance, std::int32_t) {
    place_ac(generic(instance, 0) * ac_voltage(instance));
  }
};

struct DifferenceCapacitor {
  static constexpr int states = 0;
  static constexpr bool derivatives = true;
  static constexpr bool jacobian = false;
  static void reserve() {}
  static void iterate(instance_record* instance, std::int32_t) {
    voltage(instance);
    place(generic(instance, 0) * (dvpin_by_dt(1) - dvpin_by_dt(2)));
  }
  static void iterate_ac(instance_record* instance, std::int32_t) {
    ac_voltage(instance);
    quantity_record* dv = instance->quantities[2];
    ac_update_scalar_dot_qty(dv);
    place_ac(generic(instance, 0) * cplx{dv->ac->re, dv->ac->im});
  }
};

struct DifferenceResistor {
  static constexpr int states = 1;
  static constexpr bool derivatives = false;
  static constexpr bool jacobian = false;
  static void reserve() {}
  static void iterate(instance_record* instance, std::int32_t) {
    const double v = voltage(instance);
    const double i = *instance->quantities[1]->value;
    place(i);
    Solve_State(1, v - generic(instance, 0) * i);
  }
  static void iterate_ac(instance_record* instance, std::int32_t) {
    const cplx v = ac_voltage(instance);
    const ac_value i = *instance->quantities[1]->ac;
    place_ac({i.re, i.im});
    const cplx r = v - generic(instance, 0) * cplx{i.re, i.im};
    Solve_State_Complex(1, {r.real(), r.imag()});
  }
};

struct Diode {
  static constexpr int states = 0;
  static constexpr bool derivatives = false;
  static constexpr bool jacobian = false;
  static void reserve() {}
  static void iterate(instance_record* instance, std::int32_t) {
    const double v = voltage(instance);
    place(generic(instance, 0) * std::expm1(v / generic(instance, 1)));
  }
  static void iterate_ac(instance_record* instance, std::int32_t) {
    const cplx v = ac_voltage(instance);
    place_ac(generic(instance, 0) * (std::exp(v / generic(instance, 1)) - 1.0));
  }
};

struct Faulty {
  static constexpr int states = 0;
  static constexpr bool derivatives = false;
  static constexpr bool jacobian = true;
  static void reserve() {
    fdr_reserve_mat_loc(1, 80, 1, 80, 1);
    fdr_reserve_mat_loc(2, 80, 1, 80, 2);
    fdr_reserve_mat_loc(3, 80, 2, 80, 1);
    fdr_reserve_mat_loc(4, 80, 2, 80, 2);
  }
  static void iterate(instance_record* instance, std::int32_t flag) {
    const double v = voltage(instance);
    double i = 1e-3 * v;
    if (v > generic(instance, 1)) {
      switch (static_cast<Fault>(generic(instance, 0))) {
        case Fault::nan_current:
          i = std::nan("");
          break;
        case Fault::zero_divisor:
          i += real_div_f(1.0, 0.0);
          break;
        case Fault::no_solution:
          i += 1.0;
          break;
        case Fault::undeclared_derivative:
          i += dvpin_by_dt(1);
          break;
      }
    }
    place(i);
    if (flag != 0) {
      fas_add_mat_term_index(1, 1e-3);
      fas_add_mat_term_index(2, -1e-3);
      fas_add_mat_term_index(3, -1e-3);
      fas_add_mat_term_index(4, 1e-3);
    }
  }
  static void iterate_ac(instance_record*, std::int32_t) {}
};

struct BadReservation : Conductance {
  static constexpr bool jacobian = true;
  static void reserve() { fdr_reserve_mat_loc(1, 80, 3, 80, 1); }
};

}  // namespace

const TestUnit& conductance() {
  static const TestUnit unit = Wrap<Conductance>::make("TEST-CONDUCTANCE", 1);
  return unit;
}

const TestUnit& difference_capacitor() {
  static const TestUnit unit = Wrap<DifferenceCapacitor>::make("TEST-CAPACITOR", 1);
  return unit;
}

const TestUnit& difference_resistor() {
  static const TestUnit unit = Wrap<DifferenceResistor>::make("TEST-RESISTOR", 1);
  return unit;
}

const TestUnit& diode() {
  static const TestUnit unit = Wrap<Diode>::make("TEST-DIODE", 2);
  return unit;
}

const TestUnit& faulty() {
  static const TestUnit unit = Wrap<Faulty>::make("TEST-FAULTY", 2);
  return unit;
}

const TestUnit& bad_reservation() {
  static const TestUnit unit = Wrap<BadReservation>::make("TEST-BAD-RESERVATION", 1);
  return unit;
}

}  // namespace test
