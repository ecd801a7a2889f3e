#include "host/output/result_files.h"

#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <ctime>
#include <ostream>

#include "host/output/atomic_file.h"
#include "host/output/gnuplot.h"
#include "host/trace.h"

namespace host::output {

namespace {

using netlist::Column;
using netlist::ResultTable;

std::string header(const Column& column) {
  return column.unit.empty() ? column.name : column.name + " [" + column.unit + "]";
}

std::string quoted_csv(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

double decibels(std::complex<double> v) {
  return 20.0 * std::log10(std::abs(v));
}
double degrees(std::complex<double> v) {
  return std::arg(v) * 180.0 / 3.14159265358979323846;
}

std::string raw_type(const Column& column) {
  if (column.unit == "s") return "time";
  if (column.unit == "Hz") return "frequency";
  if (column.unit == "A") return "current";
  return "voltage";
}

}  // namespace

void write_csv(std::ostream& out, const ResultTable& table) {
  std::vector<std::string> names;
  if (!table.scale.name.empty()) names.push_back(header(table.scale));
  for (const Column& column : table.columns) {
    if (table.is_complex()) {
      names.push_back(quoted_csv("db(" + column.name + ") [dB]"));
      names.push_back(quoted_csv("phase(" + column.name + ") [deg]"));
    } else {
      names.push_back(quoted_csv(header(column)));
    }
  }
  for (const Column& column : table.digital) names.push_back(quoted_csv(column.name));
  for (std::size_t i = 0; i < names.size(); ++i) out << (i > 0 ? "," : "") << names[i];
  out << '\n';
  for (std::size_t p = 0; p < table.points(); ++p) {
    bool first = true;
    const auto cell = [&](const std::string& text) {
      out << (first ? "" : ",") << text;
      first = false;
    };
    if (!table.scale.name.empty()) cell(format_double(table.scale_values[p]));
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      if (table.is_complex()) {
        cell(format_double(decibels(table.complex[c][p])));
        cell(format_double(degrees(table.complex[c][p])));
      } else {
        cell(format_double(table.real[c][p]));
      }
    }
    for (const std::string& values : table.digital_values) cell(std::string(1, values[p]));
    out << '\n';
  }
}

void write_raw(std::ostream& out, const ResultTable& table, const std::string& title) {
  std::vector<Column> variables;
  if (!table.scale.name.empty()) variables.push_back(table.scale);
  variables.insert(variables.end(), table.columns.begin(), table.columns.end());
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  char date[64];
  std::strftime(date, sizeof date, "%a %b %d %H:%M:%S %Y", std::localtime(&now));
  out << "Title: " << title << "\nDate: " << date << "\nPlotname: " << table.title
      << "\nFlags: " << (table.is_complex() ? "complex" : "real")
      << "\nNo. Variables: " << variables.size() << "\nNo. Points: " << table.points()
      << "\nVariables:\n";
  for (std::size_t v = 0; v < variables.size(); ++v) {
    out << '\t' << v << '\t' << variables[v].name << '\t' << raw_type(variables[v]) << '\n';
  }
  out << "Values:\n";
  char number[64];
  const auto value = [&](double v) {
    std::snprintf(number, sizeof number, "%.15e", v);
    return number;
  };
  for (std::size_t p = 0; p < table.points(); ++p) {
    out << ' ' << p;
    if (!table.scale.name.empty()) {
      out << '\t' << value(table.scale_values[p]);
      if (table.is_complex()) out << ",0.000000000000000e+00";
      out << '\n';
    }
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      if (table.is_complex()) {
        out << '\t' << value(table.complex[c][p].real());
        out << ',' << value(table.complex[c][p].imag()) << '\n';
      } else {
        out << '\t' << value(table.real[c][p]) << '\n';
      }
    }
    if (variables.size() == 0) out << '\n';
  }
}

ResultFiles::ResultFiles(OutputOptions options) : options_(std::move(options)) {
  std::error_code error;
  std::filesystem::create_directories(options_.directory, error);
  if (error || !std::filesystem::is_directory(options_.directory)) {
    throw OutputError("cannot create the output directory " + options_.directory.string() +
                      (error ? ": " + error.message() : std::string()));
  }
}

void ResultFiles::put(const ResultTable& table, const std::string& extension,
                      const std::function<void(std::ostream&)>& write) {
  const std::filesystem::path complete = options_.directory / (table.name + extension);
  const std::filesystem::path incomplete =
      options_.directory / (table.name + ".incomplete" + extension);
  const std::filesystem::path& target = table.complete ? complete : incomplete;
  write_atomically(target, write);
  std::error_code ignored;
  std::filesystem::remove(table.complete ? incomplete : complete, ignored);
  written_.push_back(target);
}

void ResultFiles::write(const ResultTable& table) {
  const bool analog = !table.columns.empty();
  if (options_.formats.count(Format::csv) != 0) {
    put(table, ".csv", [&](std::ostream& out) { write_csv(out, table); });
  }
  if (options_.formats.count(Format::raw) != 0 && analog) {
    put(table, ".raw", [&](std::ostream& out) { write_raw(out, table, options_.title); });
  }
  if (options_.formats.count(Format::vcd) != 0 && table.write_vcd && !table.digital.empty()) {
    put(table, ".vcd", table.write_vcd);
  }
  if (options_.plot && table.points() > 1) {
    put(table, ".png", [&](std::ostream& out) { plot_png(out, table); });
  }
}

}  // namespace host::output
