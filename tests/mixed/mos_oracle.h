// The MOS units' equations as ngspice behavioural sources (B elements), for the oracle
// circuits: each function gives the netlist lines of one transistor between named nodes.
#pragma once

#include <string>

namespace test {

// Generics of a 20HS transistor as the catalog names them.
struct Mos20hs {
  double gfs = 1e-4;   // GFS_C
  double vth = 0.7;    // VGS_TH_C
  double klin = 1.0;   // KLIN
  double kfwd = 1.0;   // KFWD
  double krev = 1.0;   // KREV
  double c21 = 1e-15;  // C21, gate to drain
  double c23 = 1e-15;  // C23, gate to source
  double m = 1.0;      // M, multiplies both capacitances
};

// Generics of a 50 V transistor.
struct Mos50v {
  double gfs = 1e-2;   // GFS_C
  double vth = 1.2;    // VGS_TH_C
  double klin = 1.0;   // KLIN
  double kdiv = 1.0;   // KDIV
  double rd = 1.0;     // RD
  double c12 = 1e-13;  // inner drain to gate
  double c23 = 1e-13;  // gate to source
  double c13 = 1e-13;  // inner drain to source
};

// Generics of a MOS base unit.
struct MosBase {
  double w = 1e-6, wscale = 1.0, l = 1e-6;
  double rlin = 1e9;
  double kmul = 1.0, slope = 1.0, voff = 0.0;
};

// Drain d, gate g, source s; `name` prefixes the element names.
std::string mos20hs_spice(const std::string& name, bool p_unit, const std::string& d,
                          const std::string& g, const std::string& s, const Mos20hs& m);
// Inner drain di, gate g, source s, outer drain d.
std::string mos50v_spice(const std::string& name, bool p_unit, const std::string& di,
                         const std::string& g, const std::string& s, const std::string& d,
                         const Mos50v& m);
std::string mos_base_spice(const std::string& name, bool p_unit, const std::string& s,
                           const std::string& d, const std::string& g, const MosBase& m);

}  // namespace test
