// One analog unit instance in the equations: evaluates it through ams__each_iter and
// ams__each_iter_AC and loads its pin currents, state residuals and Jacobian.
//
// A unit that loads its own Jacobian (Set_Deriv(2)) has its entries added at the slots of its
// reserved locations. For any other unit the host differentiates: forward differences of its
// currents and residuals in the real path, central differences of its AC path around the
// operating point in small-signal analysis, over every unknown the unit sees.
#pragma once

#include <complex>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "host/analog/sparse_matrix.h"
#include "host/analog/unit_runtime.h"
#include "host/design.h"

namespace host::analog {

class UnitElement {
 public:
  UnitElement(Instance& instance, const UnitDeclarations& declarations,
              std::vector<std::int32_t> pin_unknowns, std::vector<std::int32_t> state_unknowns);

  Instance& instance() { return instance_; }
  UnitRuntime& runtime() { return runtime_; }
  bool loads_jacobian() const { return runtime_.declarations().loads_jacobian(); }

  // The matrix entries the unit may write, then their slots once the matrix exists (the real
  // and the complex matrix share one pattern).
  void add_pattern(std::vector<std::pair<std::int32_t, std::int32_t>>& pattern) const;
  void map_slots(const RealMatrix& matrix);

  // Adds the unit's currents and residuals at the runtime's point to residual and its
  // Jacobian to jacobian (the values of the real matrix). Throws AnalysisError on a fault.
  void load(double* x, std::span<double> residual, std::span<double> jacobian);
  // Adds the unit's small-signal Jacobian, with ac_x holding the operating point.
  void load_ac(std::complex<double>* ac_x, std::span<std::complex<double>> matrix);

 private:
  void evaluate(std::int32_t flag);
  void evaluate_ac(std::int32_t flag);
  std::int32_t output_count() const { return static_cast<std::int32_t>(rows_.size()); }
  double output(std::int32_t o) const;
  std::complex<double> ac_output(std::int32_t o) const;

  Instance& instance_;
  UnitRuntime runtime_;
  // Outputs are the pin currents (pins 1..n), then the state residuals; rows_[o] is the
  // equation each adds to, or `reference`.
  std::vector<std::int32_t> rows_;
  std::vector<std::int32_t> columns_;           // distinct unknowns the unit reads
  std::vector<std::int32_t> location_slots_;    // per reserved location
  std::vector<std::int32_t> difference_slots_;  // output o, column j at o * columns + j
  std::vector<double> base_;
  std::vector<std::complex<double>> ac_plus_;
};

}  // namespace host::analog
