#include "tests/mixed/mos_oracle.h"

#include <cmath>
#include <cstdio>

namespace test {

namespace {

std::string num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

// V(a) - V(b), node "0" being the reference.
std::string v(const std::string& a, const std::string& b = "0") {
  if (a == "0" && b == "0") return "0";
  if (b == "0") return "v(" + a + ")";
  if (a == "0") return "(-v(" + b + "))";
  return "v(" + a + "," + b + ")";
}

std::string sq(const std::string& x) {
  return "((" + x + ")*(" + x + "))";
}

// The arctangent form of the 20HS and 50 V channels: the saturation current S, on or off,
// and I = atan(gain 10pi v / (divisor S)) S / (pi/2).
std::string channel(const std::string& on, const std::string& overdrive, const std::string& voltage,
                    double gain, double divisor, double gfs) {
  const std::string s =
      "((" + on + ") ? " + sq(overdrive) + "*" + num(gfs) + " : " + num(gfs * 1e-12) + ")";
  return "(atan(" + num(gain * 31.41592653589793) + "*" + voltage + "/(" + num(divisor) + "*" + s +
         "))*" + s + "/1.5707963267948966)";
}

std::string capacitor(const std::string& name, const std::string& a, const std::string& b,
                      double c) {
  return "C" + name + " " + a + " " + b + " " + num(c) + "\n";
}

}  // namespace

std::string mos20hs_spice(const std::string& name, bool p_unit, const std::string& d,
                          const std::string& g, const std::string& s, const Mos20hs& m) {
  std::string forward, reverse, direction;
  if (p_unit) {
    const std::string tf = "abs((20-" + v(s) + ")*0.2+" + num(m.vth) + ")";
    const std::string tr = "abs((20-" + v(d) + ")*0.2+" + num(m.vth) + ")";
    direction = v(g, d) + ">=" + v(g, s);
    forward = channel(v(g, s) + "<-1e-6-" + tf, tf + "+" + v(g, s), v(d, s), m.klin, m.kfwd, m.gfs);
    reverse = channel(v(g, d) + "<-1e-6-" + tr, tr + "+" + v(g, d), v(s, d), m.klin, m.krev, m.gfs);
  } else {
    const std::string tf = "abs(" + v(s) + "*0.35+" + num(m.vth) + ")";
    const std::string tr = "abs(" + v(d) + "*0.35+" + num(m.vth) + ")";
    direction = v(g, s) + ">=" + v(g, d);
    forward =
        channel(v(g, s) + ">" + tf + "+1e-6", v(g, s) + "-" + tf, v(d, s), m.klin, m.kfwd, m.gfs);
    reverse =
        channel(v(g, d) + ">" + tr + "+1e-6", v(g, d) + "-" + tr, v(s, d), m.klin, m.krev, m.gfs);
  }
  return "B" + name + " " + d + " " + s + " I=(" + direction + ") ? " + forward + " : -" + reverse +
         "\n" + capacitor(name + "gd", g, d, m.m * m.c21) +
         capacitor(name + "gs", g, s, m.m * m.c23);
}

std::string mos50v_spice(const std::string& name, bool p_unit, const std::string& di,
                         const std::string& g, const std::string& s, const std::string& d,
                         const Mos50v& m) {
  const std::string t = num(p_unit ? std::abs(m.vth) : m.vth);
  const std::string on = p_unit ? v(g, s) + "<-1e-6-" + t : v(g, s) + ">" + t + "+1e-6";
  const std::string overdrive = p_unit ? t + "+" + v(g, s) : v(g, s) + "-" + t;
  return "B" + name + " " + di + " " + s +
         " I=" + channel(on, overdrive, v(di, s), m.klin, m.kdiv, m.gfs) + "\nR" + name + "d " + d +
         " " + di + " " + num(m.rd) + "\n" + capacitor(name + "12", di, g, m.c12) +
         capacitor(name + "23", g, s, m.c23) + capacitor(name + "13", di, s, m.c13);
}

std::string mos_base_spice(const std::string& name, bool p_unit, const std::string& s,
                           const std::string& d, const std::string& g, const MosBase& m) {
  const double k = m.w * 0.0028775499999999996 * m.wscale / m.l * m.kmul;
  const std::string voff = num(p_unit ? m.voff : -m.voff);
  // The current from source to drain in each case.
  std::string a, b;
  if (p_unit) {
    a = "(" + v(s, d) + ">0 && " + v(s, g) + ">0) ? " + num(k) + "*(" + v(g, s) + "+" + voff +
        ")*tanh(" + num(m.slope) + "*" + v(d, s) + ")";
    b = "(" + v(d, s) + ">0 && " + v(d, g) + ">0) ? -" + num(k) + "*(" + v(g, d) + "+" + voff +
        ")*tanh(" + num(m.slope) + "*" + v(s, d) + ")";
  } else {
    a = "(" + v(d, s) + ">0 && " + v(g, s) + ">0) ? -" + num(k) + "*(" + v(g, s) + "+" + voff +
        ")*tanh(" + num(m.slope) + "*" + v(d, s) + ")";
    b = "(" + v(s, d) + ">0 && " + v(g, d) + ">0) ? " + num(k) + "*(" + v(g, d) + "+" + voff +
        ")*tanh(" + num(m.slope) + "*" + v(s, d) + ")";
  }
  return "B" + name + " " + s + " " + d + " I=" + a + " : (" + b + " : 0)\nR" + name + "lin " + s +
         " " + d + " " + num(m.rlin) + "\n";
}

}  // namespace test
