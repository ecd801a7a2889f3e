#include "host/output/gnuplot.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <complex>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "host/output/atomic_file.h"
#include "host/trace.h"

namespace host::output {

namespace {

// A gnuplot string literal in single quotes.
std::string literal(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

// A digital value as a level of its trace: 1 high, 0 low, 0.5 anything else.
double level(char value) {
  if (value == '1' || value == 'H') return 1.0;
  if (value == '0' || value == 'L') return 0.0;
  return 0.5;
}

void write_script(std::ostream& script, const netlist::ResultTable& table) {
  const bool digital_only = table.columns.empty();
  script << "set terminal pngcairo size 1000,600 noenhanced\n"
            "set grid\nset key outside right\nset autoscale xfix\n"
         << "set title " << literal(table.title + " (" + table.name + ")") << '\n'
         << "set xlabel " << literal(table.scale.name + " [" + table.scale.unit + "]") << '\n';
  if (table.is_complex()) {
    script << "set logscale x\nset ylabel 'magnitude [dB]'\n";
  } else if (digital_only) {
    script << "set ylabel 'digital signals'\nset yrange [-0.5:"
           << 1.5 * static_cast<double>(table.digital.size()) << "]\nset ytics ()\n";
  } else {
    script << "set ylabel 'value'\n";
  }
  script << "$data << EOD\n";
  for (std::size_t p = 0; p < table.points(); ++p) {
    script << format_double(table.scale_values[p]);
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      const double v =
          table.is_complex() ? 20.0 * std::log10(std::abs(table.complex[c][p])) : table.real[c][p];
      script << ' ' << (std::isfinite(v) ? format_double(v) : "NaN");
    }
    if (digital_only) {
      for (std::size_t d = 0; d < table.digital.size(); ++d) {
        script << ' '
               << format_double(1.5 * static_cast<double>(d) + level(table.digital_values[d][p]));
      }
    }
    script << '\n';
  }
  script << "EOD\nplot ";
  const auto& names = digital_only ? table.digital : table.columns;
  for (std::size_t c = 0; c < names.size(); ++c) {
    script << (c > 0 ? ", " : "") << "$data using 1:" << c + 2
           << (digital_only ? " with steps" : " with lines") << " lw 2 title "
           << literal(names[c].name);
  }
  script << '\n';
}

}  // namespace

void plot_png(std::ostream& out, const netlist::ResultTable& table) {
  char script_name[] = "/tmp/zebsim-plot-XXXXXX";
  const int fd = ::mkstemp(script_name);
  if (fd < 0) throw OutputError("cannot make a temporary file for gnuplot");
  ::close(fd);
  const std::string errors = std::string(script_name) + ".err";
  struct Remove {
    std::string script, errors;
    ~Remove() {
      ::unlink(script.c_str());
      ::unlink(errors.c_str());
    }
  } remove{script_name, errors};
  {
    std::ofstream script(script_name);
    write_script(script, table);
    if (!script) throw OutputError("cannot write the gnuplot script " + std::string(script_name));
  }
  const std::string command = "gnuplot " + std::string(script_name) + " 2>" + errors;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) throw OutputError("cannot start gnuplot");
  std::string output;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = ::pclose(pipe);
  static constexpr char png_signature[] = "\x89PNG";
  if (status != 0 || output.compare(0, 4, png_signature) != 0) {
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
      throw OutputError("--plot needs gnuplot, which is not installed");
    }
    std::ifstream in(errors);
    std::string message((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    throw OutputError("gnuplot failed: " + message.substr(0, 300));
  }
  out.write(output.data(), static_cast<std::streamsize>(output.size()));
}

}  // namespace host::output
