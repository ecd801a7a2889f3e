#include "host/analog/ac_analysis.h"

#include <cmath>
#include <numbers>

#include "host/analog/analysis_error.h"
#include "host/analog/system.h"

namespace host::analog {

std::vector<double> ac_frequencies(const AcOptions& options) {
  if (options.points < 1) throw AnalysisError("AC analysis: at least one point is needed");
  if (!(options.start > 0.0) || !(options.stop >= options.start) || !std::isfinite(options.stop)) {
    throw AnalysisError("AC analysis: frequencies must be positive, finite and increasing");
  }
  std::vector<double> frequencies;
  if (options.sweep == AcSweep::linear) {
    if (options.points == 1) return {options.start};
    const double step = (options.stop - options.start) / (options.points - 1);
    for (std::int32_t k = 0; k < options.points; ++k)
      frequencies.push_back(options.start + k * step);
    frequencies.back() = options.stop;
    return frequencies;
  }
  const double decades = std::log10(options.stop / options.start);
  const auto count = static_cast<std::int32_t>(std::floor(decades * options.points + 1e-9)) + 1;
  for (std::int32_t k = 0; k < count; ++k) {
    frequencies.push_back(options.start * std::pow(10.0, static_cast<double>(k) / options.points));
  }
  return frequencies;
}

AcResult ac_analysis(Circuit& circuit, const AcOptions& options) {
  const std::vector<double> frequencies = ac_frequencies(options);
  System& system = circuit.system();
  const System::Scope scope(system);
  system.set_context("AC analysis, operating point");
  std::vector<double> op = system.initial_guess();
  solve_dc(system, op, {}, options.dc);
  system.complete(op);

  AcResult result(system);
  std::vector<std::complex<double>> x(static_cast<std::size_t>(system.size()));
  for (double f : frequencies) {
    system.set_context("AC analysis", "f", f, "Hz");
    system.load_ac(op, 2.0 * std::numbers::pi * f);
    ComplexMatrix& matrix = system.ac_matrix();
    if (!matrix.factor()) {
      const std::int32_t column = matrix.singular_column();
      throw AnalysisError(system.context() + ": the matrix is singular" +
                          (column >= 0 ? " at " + system.describe(column) : std::string()));
    }
    const auto rhs = system.ac_rhs();
    std::copy(rhs.begin(), rhs.end(), x.begin());
    matrix.solve(x);
    for (std::int32_t u = 0; u < system.size(); ++u) {
      if (!std::isfinite(x[u].real()) || !std::isfinite(x[u].imag())) {
        throw AnalysisError(system.context() + ": the solution is not finite at " +
                            system.describe(u));
      }
    }
    system.complete_ac(x);
    result.add(f, x);
  }
  return result;
}

}  // namespace host::analog
