// The results of one analysis as tables of named columns, as the writers take them.
#pragma once

#include <complex>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace host::netlist {

struct Column {
  std::string name;  // "v(out)", "i(V1)", "d(q)", "time"
  std::string unit;  // "V", "A", "s", "Hz"; empty for a digital signal
};

struct ResultTable {
  std::string name;   // file stem: "op", "tran", "ac2", "tran.corner1", "dc.mc3"
  std::string title;  // "Transient Analysis", as ngspice names its plots
  Column scale;       // time, frequency or swept source; empty name for an operating point
  std::vector<double> scale_values;
  std::vector<Column> columns;                             // analog values
  std::vector<std::vector<double>> real;                   // by column (op, dc, tran)
  std::vector<std::vector<std::complex<double>>> complex;  // by column (ac)
  std::vector<Column> digital;                             // digital signals
  std::vector<std::string> digital_values;                 // by column, a character per point
  // While the table is handed over: writes the digital waveforms as VCD, or is empty.
  std::function<void(std::ostream&)> write_vcd;

  bool complete = true;
  std::string failure;       // why it stopped early
  double seconds = 0.0;      // wall time
  std::int64_t events = -1;  // events of the event kernel, where it ran

  std::size_t points() const { return scale_values.size(); }
  bool is_complex() const { return !complex.empty(); }
};

}  // namespace host::netlist
