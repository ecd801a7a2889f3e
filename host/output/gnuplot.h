// A PNG plot of a table's waveforms, drawn by gnuplot: analog signals over time or the swept
// value, AC magnitudes in dB over a logarithmic frequency axis, digital signals as stacked
// traces.
#pragma once

#include <iosfwd>

#include "host/netlist/results.h"

namespace host::output {

// Writes the PNG to out; throws OutputError when gnuplot is missing or fails.
void plot_png(std::ostream& out, const netlist::ResultTable& table);

}  // namespace host::output
