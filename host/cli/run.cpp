#include "host/cli/run.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <ostream>
#include <sstream>

#include "host/cli/progress.h"
#include "host/netlist/netlist.h"
#include "host/netlist/simulation.h"
#include "host/output/atomic_file.h"
#include "host/output/result_files.h"
#include "host/trace.h"

namespace host::cli {

namespace {

std::atomic<bool> stop_requested{false};
volatile std::sig_atomic_t stop_signal = 0;

extern "C" void on_stop_signal(int signal) {
  stop_signal = signal;
  stop_requested = true;
  std::signal(signal, SIG_DFL);  // a second one ends the process at once
}

// Catches SIGINT and SIGTERM while it lives.
class StopSignals {
 public:
  StopSignals() {
    stop_requested = false;
    stop_signal = 0;
    previous_int_ = std::signal(SIGINT, on_stop_signal);
    previous_term_ = std::signal(SIGTERM, on_stop_signal);
  }
  ~StopSignals() {
    std::signal(SIGINT, previous_int_);
    std::signal(SIGTERM, previous_term_);
  }

 private:
  void (*previous_int_)(int);
  void (*previous_term_)(int);
};

std::set<output::Format> parse_formats(const std::string& text) {
  std::set<output::Format> formats;
  std::stringstream in(text);
  std::string name;
  while (std::getline(in, name, ',')) {
    if (name == "csv") {
      formats.insert(output::Format::csv);
    } else if (name == "raw") {
      formats.insert(output::Format::raw);
    } else if (name == "vcd") {
      formats.insert(output::Format::vcd);
    } else {
      throw std::invalid_argument("unknown output format '" + name + "' (csv, raw, vcd)");
    }
  }
  return formats;
}

// A value with an SI prefix: "1.5 mA", "-3.3 V".
std::string engineering(double value, const std::string& unit) {
  static constexpr const char* prefixes[] = {"f", "p", "n", "u", "m", "", "k", "M", "G"};
  const double magnitude = std::abs(value);
  int p = 5;
  if (magnitude != 0.0 && std::isfinite(magnitude)) {
    p = static_cast<int>(std::floor(std::log10(magnitude) / 3.0)) + 5;
    p = std::clamp(p, 0, 8);
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.6g %s%s", value / std::pow(1000.0, p - 5), prefixes[p],
                unit.c_str());
  return text;
}

void print_operating_point(std::ostream& out, const netlist::ResultTable& table) {
  out << "operating point (" << table.name << "):\n";
  std::size_t width = 0;
  for (const auto& column : table.columns) width = std::max(width, column.name.size());
  for (const auto& column : table.digital) width = std::max(width, column.name.size());
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    out << "  " << table.columns[c].name << std::string(width - table.columns[c].name.size(), ' ')
        << "  " << engineering(table.real[c][0], table.columns[c].unit) << '\n';
  }
  for (std::size_t d = 0; d < table.digital.size(); ++d) {
    out << "  " << table.digital[d].name << std::string(width - table.digital[d].name.size(), ' ')
        << "  " << table.digital_values[d][0] << '\n';
  }
}

void print_analysis(std::ostream& out, const netlist::ResultTable& table) {
  char line[160];
  std::snprintf(line, sizeof line, "analysis %s: %zu points, %.3f s", table.name.c_str(),
                table.points(), table.seconds);
  out << line;
  if (table.events >= 0) out << ", " << table.events << " events";
  if (!table.complete) out << " (INCOMPLETE)";
  out << '\n';
  if (table.title != "Operating Point" && !table.digital.empty() && table.points() > 0) {
    out << "  final values:";
    for (std::size_t d = 0; d < table.digital.size(); ++d) {
      out << ' ' << table.digital[d].name << '=' << table.digital_values[d].back();
    }
    out << '\n';
  }
}

}  // namespace

std::filesystem::path default_output_dir(const std::filesystem::path& netlist) {
  return std::filesystem::path("zebsim-out") / netlist.stem();
}

int run_command(const RunOptions& options, std::ostream& out, std::ostream& err) {
  const StopSignals signals;
  const auto interrupted = [&] {
    output::remove_temporary_files();
    err << "zebsim: interrupted; the results of the analysis that ran are not written\n";
    return 128 + (stop_signal != 0 ? static_cast<int>(stop_signal) : SIGINT);
  };
  std::set<output::Format> formats;
  netlist::Netlist netlist;
  try {
    formats = parse_formats(options.formats);
    netlist = netlist::parse_netlist(options.netlist);
  } catch (const std::exception& error) {
    err << error.what() << '\n';
    return 1;
  }
  const std::filesystem::path directory =
      options.output_dir ? *options.output_dir : default_output_dir(options.netlist);
  ProgressBar bar(options.progress && ::isatty(STDERR_FILENO) != 0);
  try {
    output::ResultFiles files({directory, formats, options.plot, options.netlist.string()});
    netlist::RunSettings settings;
    settings.plugin_dir = options.plugin_dir;
    settings.trace.insert(options.trace.begin(), options.trace.end());
    settings.trace_out = &out;
    settings.stop = &stop_requested;
    settings.progress = [&bar](const std::string& analysis, double fraction) {
      bar.update(analysis, fraction);
    };
    out << "netlist " << options.netlist.string() << '\n';
    std::size_t written = 0;
    std::string failed_files;
    const auto sink = [&](const netlist::ResultTable& table) {
      bar.finish();
      if (stop_requested) throw netlist::Interrupted();
      if (table.complete && table.title == "Operating Point" && table.points() == 1) {
        print_operating_point(out, table);
      }
      print_analysis(out, table);
      files.write(table);
      if (!table.complete) {
        for (std::size_t f = written; f < files.written().size(); ++f) {
          failed_files += " " + files.written()[f].string();
        }
      }
      written = files.written().size();
    };
    try {
      netlist::run_netlist(netlist, settings, sink);
    } catch (const netlist::AnalysisFailed& error) {
      bar.finish();
      err << options.netlist.string() << ": analysis " << error.what() << '\n';
      if (!failed_files.empty()) err << "results so far, incomplete:" << failed_files << '\n';
      return 1;
    }
    bar.finish();
    out << "results in " << directory.string() << "/:";
    for (const auto& file : files.written()) out << ' ' << file.filename().string();
    out << '\n';
  } catch (const netlist::Interrupted&) {
    bar.finish();
    return interrupted();
  } catch (const std::exception& error) {
    bar.finish();
    output::remove_temporary_files();
    err << error.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace host::cli
