// DEFAULT-ZEB_ISRC: voltage-controlled current source with an arctangent limit.
//
// I = (Ieven + Iodd) / 2 with the arctangent terms of |V| and V: zero for V <= 0,
// (Isc / pi) * atan(3 V / Vsc) above. Every real division goes through real_div_f.
#include <cmath>

#include "frame/analog_unit.h"
#include "runtime/ac_functions.h"

namespace {

using namespace zeb;

constexpr double half_pi = 1.5707963267948966;

// Pins 1, 2; quantity 0 across V, 1 through I, 2 Vk, 3 Ieven, 4 Iodd, 5 Vabs (explicit);
// generics: 1 the voltage scale Vsc, 2 the current scale Isc.
struct soft_limited_source : analog_defaults {
  static constexpr std::int32_t pin_count = 2;
  static constexpr positions<1> across{0};
  static constexpr positions<1> through{1};
  static constexpr positions<0> implicit_states{};
  // Registration order is the evaluation order.
  static constexpr positions<5> explicit_quantities{2, 5, 3, 4, 1};

  static double Vsc(const instance_record* u) { return g(u, 1); }
  static double Isc(const instance_record* u) { return g(u, 2); }

  // ((atan(3 x / Vk) * Isc) / (pi/2)) / 2
  static double arctangent_term(double x, double Vk, double isc) {
    return real_div_f(real_div_f(std::atan(real_div_f(3.0 * x, Vk)) * isc, half_pi), 2.0);
  }
  static void explicit_values(instance_record* u) {
    const double V = q(u, 0);
    const double Vk = q(u, 2) = Vsc(u);
    const double Vabs = q(u, 5) = std::fabs(V);
    const double Ieven = q(u, 3) = arctangent_term(Vabs, Vk, Isc(u));
    const double Iodd = q(u, 4) = arctangent_term(V, Vk, Isc(u));
    q(u, 1) = real_div_f(Ieven + Iodd, 2.0);
  }

  static ac_value ac_arctangent_term(ac_value x, ac_value Vk, double isc) {
    return ac_real_div(
        ac_real_div(real_ac_mul(isc, ac_atan(ac_div(real_ac_mul(3.0, x), Vk))), half_pi), 2.0);
  }
  static void ac_explicit_values(instance_record* u) {
    const ac_value V = qc(u, 0);
    const ac_value Vk = qc(u, 2) = real2complex(Vsc(u));
    const ac_value Vabs = qc(u, 5) = ac_abs(V);
    const ac_value Ieven = qc(u, 3) = ac_arctangent_term(Vabs, Vk, Isc(u));
    const ac_value Iodd = qc(u, 4) = ac_arctangent_term(V, Vk, Isc(u));
    qc(u, 1) = ac_real_div(ac_add(Ieven, Iodd), 2.0);
  }

  static constexpr std::array<jacobian_location, 4> jacobian{{
      {kind_pin, 1, kind_pin, 1},
      {kind_pin, 1, kind_pin, 2},
      {kind_pin, 2, kind_pin, 1},
      {kind_pin, 2, kind_pin, 2},
  }};

  // dI/dV with the sign term s and the odd slope c (3 at the plus column, -3 at the minus).
  static double slope(const instance_record* u, double c) {
    const double V = q(u, 0), Vabs = q(u, 5), Vk = q(u, 2), isc = Isc(u);
    const double ta = real_div_f(3.0 * Vabs, Vk);
    const double A = real_div_f(1.0, 1.0 + real_div_f(3.0 * Vabs, Vk) * ta);
    const double sign = V > 0.0 ? 3.0 : (V == 0.0 ? 0.0 : -3.0);
    const double s = c > 0.0 ? sign : -sign;
    const double De = real_div_f(real_div_f(real_div_f(s, Vk) * A * isc, half_pi), 2.0);
    const double tv = real_div_f(3.0 * V, Vk);
    const double M = real_div_f(1.0, 1.0 + real_div_f(3.0 * V, Vk) * tv);
    const double Do = real_div_f(real_div_f(real_div_f(c, Vk) * M * isc, half_pi), 2.0);
    return real_div_f(Do + De, 2.0);
  }
  static double jacobian_value(const instance_record* u, std::int32_t location) {
    switch (location) {
      case 1:
        return slope(u, 3.0);
      case 2:
        return slope(u, -3.0);
      case 3:
        return -slope(u, 3.0);
      default:
        return -slope(u, -3.0);
    }
  }

  static ac_value ac_slope(const instance_record* u, double sign_factor, double c) {
    const ac_value V = qc(u, 0), Vabs = qc(u, 5), Vk = qc(u, 2);
    const double isc = Isc(u);
    const ac_value Ta = ac_div(real_ac_mul(3.0, Vabs), Vk);
    const ac_value Ac = real_ac_div(1.0, real_ac_add(1.0, ac_mul(Ta, Ta)));
    const ac_value S = real_ac_mul(3.0, ac_real_mul(ac_sign(V), sign_factor));
    const ac_value De =
        ac_real_div(ac_real_div(real_ac_mul(isc, ac_mul(Ac, ac_div(S, Vk))), half_pi), 2.0);
    const ac_value Tv = ac_div(real_ac_mul(3.0, V), Vk);
    const ac_value Mc = real_ac_div(1.0, real_ac_add(1.0, ac_mul(Tv, Tv)));
    const ac_value Do =
        ac_real_div(ac_real_div(real_ac_mul(isc, ac_mul(Mc, real_ac_div(c, Vk))), half_pi), 2.0);
    return ac_real_div(ac_add(De, Do), 2.0);
  }
  static ac_value ac_jacobian_value(const instance_record* u, std::int32_t location) {
    switch (location) {
      case 1:
        return ac_slope(u, 1.0, 3.0);
      case 2:
        return ac_slope(u, -1.0, -3.0);
      case 3:
        return ac_minus(ac_slope(u, 1.0, 3.0));
      default:
        return ac_minus(ac_slope(u, -1.0, -3.0));
    }
  }
};

}  // namespace

ZEB_ELAB_FUNCS(analog_unit<soft_limited_source>::exports);
