#include "host/mixed/mixed_transient.h"

#include <algorithm>

#include "frame/host_services.h"
#include "host/analog/analysis_error.h"
#include "host/kernel.h"
#include "host/mixed/above_signals.h"

namespace host::mixed {

namespace {

// Solving again once for a record that switched at the solution settles it unless its
// watched quantity sits at the threshold.
constexpr int settle_attempts = 3;

double smallest_step(const analog::TransientOptions& options) {
  return options.min_step > 0.0 ? options.min_step : 1e-12 * options.stop;
}

class CrossingSearch final : public analog::StepObserver {
 public:
  CrossingSearch(AboveSignals& aboves, event::LogicSimulation& logic, double tolerance)
      : aboves_(aboves), logic_(logic), tolerance_(tolerance), origin_(logic.now()) {}

  void start(std::span<const double> x) override {
    aboves_.evaluate(x);
    aboves_.accept_initial();
    logic_.run_until(origin_);
  }

  double end_before(double from, double to, std::span<const double> x) override {
    aboves_.evaluate(x);
    const double crossing = aboves_.first_crossing(from, to);
    if (to - crossing <= tolerance_) return to;
    aboves_.restore();
    return crossing + 0.5 * tolerance_;
  }

  bool accept(double time, std::span<const double>) override {
    const bool switched = aboves_.accept_step(from_, time, origin_);
    from_ = time;
    logic_.run_until(origin_ + ticks(time));
    return switched;
  }

  std::int64_t origin() const { return origin_; }

 private:
  AboveSignals& aboves_;
  event::LogicSimulation& logic_;
  double tolerance_;
  std::int64_t origin_;
  double from_ = 0.0;
};

// Solves until the records agree with the solution at it.
template <typename Solve>
analog::Solution settled(AboveSignals& aboves, const Solve& solve, const std::string& where) {
  for (int attempt = 1;; ++attempt) {
    analog::Solution solution = solve();
    if (!aboves.evaluate(solution.unknowns())) return solution;
    if (attempt == settle_attempts) {
      std::string names;
      for (std::size_t r = 0; r < aboves.size(); ++r) {
        if (!aboves.crossed(r)) continue;
        names += (names.empty() ? "'" : ", '") + aboves.name(r) + "'";
      }
      throw analog::AnalysisError(where + ": above signal " + names +
                                  " does not settle; its watched quantity stays at its threshold");
    }
    aboves.accept_initial();  // the units see the states of the solution in the next attempt
  }
}

}  // namespace

double crossing_tolerance(const analog::TransientOptions& options) {
  return std::max(4.0 * smallest_step(options), static_cast<double>(quel_mintr) * 1e-15);
}

void declare_above_signals(analog::Circuit& circuit, event::LogicSimulation& logic) {
  AboveSignals(circuit).connect(logic);
}

analog::TransientResult transient(analog::Circuit& circuit, event::LogicSimulation& logic,
                                  const analog::TransientOptions& options) {
  AboveSignals aboves(circuit);
  aboves.connect(logic);
  CrossingSearch search(aboves, logic, crossing_tolerance(options));
  analog::TransientResult result = analog::transient(circuit, options, &search);
  logic.run_until(search.origin() + ticks(options.stop));
  return result;
}

analog::Solution operating_point(analog::Circuit& circuit, event::LogicSimulation& logic,
                                 const analog::DcOptions& options) {
  AboveSignals aboves(circuit);
  aboves.connect(logic);
  analog::Solution solution = settled(
      aboves, [&] { return analog::operating_point(circuit, options); }, "DC operating point");
  aboves.accept_initial();
  return solution;
}

std::vector<analog::Solution> dc_sweep(analog::Circuit& circuit, event::LogicSimulation& logic,
                                       std::string_view source, std::span<const double> values,
                                       const analog::DcOptions& options) {
  AboveSignals aboves(circuit);
  aboves.connect(logic);
  std::vector<analog::Solution> solutions;
  for (double value : values) {
    const double one[] = {value};
    solutions.push_back(settled(
        aboves, [&] { return std::move(analog::dc_sweep(circuit, source, one, options).front()); },
        "DC sweep at " + std::string(source) + " = " + std::to_string(value)));
    aboves.accept_initial();
  }
  return solutions;
}

}  // namespace host::mixed
