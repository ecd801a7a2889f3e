// The equations of a circuit in modified nodal form, F(x) = 0, and their Jacobian.
//
// Unknowns, numbered from 0: the voltages of nodes 1..N, then each unit's implicit states in
// circuit order, then the branch current of each voltage source. Rows: the current balance of
// each node (sum of the currents leaving it), each state's residual, each voltage source's
// branch equation V(plus) - V(minus) - value = 0. The matrix pattern is fixed when the system
// is built; every load writes the same slots.
#pragma once

#include <complex>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/analog/sparse_matrix.h"
#include "host/analog/unit_runtime.h"
#include "host/analog/waveform.h"

namespace host::analog {

class Circuit;
class UnitElement;
struct Source;

enum class UnknownKind { node, state, branch };

// How the sources are evaluated, and the helpers of DC convergence.
struct LoadPoint {
  bool transient = false;  // sources at their time function, else at their DC value
  double time = 0.0;
  double source_scale = 1.0;  // source stepping
  double gmin = 0.0;          // conductance from every node to the reference
};

class System {
 public:
  explicit System(Circuit& circuit);
  ~System();

  // While an analysis runs, the units' service calls land in this system; loads and
  // completions attach it, a Scope detaches it when the analysis ends however it ends.
  void attach();
  void detach();
  class Scope {
   public:
    explicit Scope(System& system) : system_(system) { system_.attach(); }
    ~Scope() { system_.detach(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    System& system_;
  };
  System(const System&) = delete;
  System& operator=(const System&) = delete;

  std::int32_t size() const { return size_; }
  std::int32_t node_count() const { return node_count_; }
  UnknownKind kind(std::int32_t unknown) const;
  // The unknowns whose time derivatives a unit reads (nodes of its derivative pins).
  std::span<const std::int32_t> dynamic_unknowns() const { return dynamic_; }
  // Unknowns by name; -1 when there is none.
  std::int32_t node_unknown(std::string_view node) const;
  std::int32_t branch_unknown(std::string_view source) const;
  std::int32_t state_unknown(std::string_view instance, std::int32_t state) const;
  // "node 'out' (R1, C1)", "state 1 of 'R1'", "branch current of 'V1'".
  std::string describe(std::int32_t unknown) const;

  // The starting point of a DC solution: zero voltages and currents, the states' values as the
  // units bound them.
  std::vector<double> initial_guess() const;

  // Where an analysis stands, for messages: "transient analysis at t = 1e-06 s".
  void set_context(const char* analysis, const char* variable = nullptr, double value = 0.0,
                   const char* unit = "");
  std::string context() const;

  // Takes the sources' time functions with SPICE's transient defaults for this step and stop
  // time, and appends the times in (0, stop] where one of them has a corner.
  void prepare_transient(double step, double stop, std::vector<double>& breakpoints);

  // Integration of the time derivatives the units read: dV/dt = alpha V + history; alpha is
  // also published as sim_alpha. Zero for DC.
  void set_integration(double alpha, std::span<const double> history);
  void clear_integration();

  // F(x) into residual() and its Jacobian into jacobian(). Throws AnalysisError naming the
  // instance when a unit's service calls fail or give non-finite values.
  void load(std::span<double> x, const LoadPoint& point);
  std::span<const double> residual() const { return residual_; }
  RealMatrix& jacobian() { return *jacobian_; }
  std::span<double> scratch() { return scratch_; }

  // The small-signal matrix at the operating point op for angular frequency omega, and the
  // sources' AC excitation as right-hand side.
  void load_ac(std::span<const double> op, double omega);
  ComplexMatrix& ac_matrix() { return *ac_matrix_; }
  std::span<std::complex<double>> ac_rhs() { return ac_rhs_; }

  // A completed solution: the units' ams__end_computed callbacks, in registration order.
  void complete(std::span<double> x);
  void complete_ac(std::span<const std::complex<double>> x);

  // Called after every completed solution with the context's value (the time of a transient
  // step, the swept value, the frequency; 0 for an operating point) and the unknowns: for
  // progress displays and for keeping the results of an analysis that stops early.
  struct Observer {
    std::function<void(double value, std::span<const double> x)> real;
    std::function<void(double value, std::span<const std::complex<double>> x)> ac;
  };
  void observe(Observer observer) { observer_ = std::move(observer); }

  // Diagnosis of a failed factorisation: the singular column if the solver named it, else the
  // first node row or column whose entries are all zero, else -1.
  std::int32_t singular_unknown(const RealMatrix& matrix) const;

 private:
  void build_pattern();
  void stamp_sources(const LoadPoint& point);
  void run_end_computed();
  void check_stray() const;

  Circuit& circuit_;
  std::int32_t node_count_ = 0;
  std::int32_t size_ = 0;
  std::int32_t first_branch_ = 0;
  std::vector<std::unique_ptr<UnitElement>> units_;
  std::vector<std::int32_t> dynamic_;

  struct SourceSlots {
    const Source* source;
    Waveform transient;
    std::int32_t plus, minus, branch;                                   // unknowns or reference
    std::int32_t plus_branch, minus_branch, branch_plus, branch_minus;  // slots or -1
  };
  std::vector<SourceSlots> sources_;
  std::vector<std::int32_t> gmin_slots_;
  struct Callback {
    void (*function)(instance_record*);
    instance_record* instance;
    UnitElement* unit;
  };
  std::vector<Callback> callbacks_;

  std::unique_ptr<RealMatrix> jacobian_;
  std::unique_ptr<ComplexMatrix> ac_matrix_;
  std::vector<double> residual_;
  std::vector<double> scratch_;
  std::vector<double> history_;
  std::vector<double> ac_op_;
  std::vector<std::complex<double>> ac_x_;
  std::vector<std::complex<double>> ac_rhs_;
  EvaluationPoint point_;
  bool attached_ = false;
  Observer observer_;

  const char* analysis_ = "analysis";
  const char* variable_ = nullptr;
  double value_ = 0.0;
  const char* unit_ = "";
};

}  // namespace host::analog
