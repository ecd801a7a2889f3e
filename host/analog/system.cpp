#include "host/analog/system.h"

#include <algorithm>

#include "frame/host_services.h"
#include "host/analog/analysis_error.h"
#include "host/analog/circuit.h"
#include "host/analog/unit_element.h"
#include "host/kernel.h"
#include "host/trace.h"

namespace host::analog {

namespace {

std::int32_t node_to_unknown(std::int32_t node) {
  return node == Circuit::reference_node ? reference : node - 1;
}

}  // namespace

System::System(Circuit& circuit) : circuit_(circuit), node_count_(circuit.node_count()) {
  Kernel& k = kernel();
  std::int32_t next = node_count_;
  for (const UnitInstance& placed : circuit.units()) {
    Instance& instance = *placed.instance;
    const UnitDeclarations* declared = k.analog.find_declarations(instance.object_index);
    if (declared == nullptr) {
      throw CircuitError("instance '" + instance.name + "' was not elaborated");
    }
    std::vector<std::int32_t> pins;
    for (std::int32_t node : placed.nodes) pins.push_back(node_to_unknown(node));
    std::vector<std::int32_t> states;
    for (std::int32_t s = 0; s < declared->state_count(); ++s) states.push_back(next++);
    for (std::int32_t pin : declared->derivative_pins()) {
      const std::int32_t u = pins[static_cast<std::size_t>(pin - 1)];
      if (u != reference && std::find(dynamic_.begin(), dynamic_.end(), u) == dynamic_.end()) {
        dynamic_.push_back(u);
      }
    }
    units_.push_back(
        std::make_unique<UnitElement>(instance, *declared, std::move(pins), std::move(states)));
  }
  std::sort(dynamic_.begin(), dynamic_.end());
  first_branch_ = next;
  for (const Source& source : circuit.sources()) {
    SourceSlots slots{&source,
                      source.waveform,
                      node_to_unknown(source.plus),
                      node_to_unknown(source.minus),
                      reference,
                      -1,
                      -1,
                      -1,
                      -1};
    if (source.kind == SourceKind::voltage) slots.branch = next++;
    sources_.push_back(slots);
  }
  size_ = next;
  if (size_ == 0) throw CircuitError("the circuit has no node besides the reference");

  build_pattern();
  residual_.assign(static_cast<std::size_t>(size_), 0.0);
  scratch_.assign(static_cast<std::size_t>(size_), 0.0);
  history_.assign(static_cast<std::size_t>(size_), 0.0);
  ac_op_.assign(static_cast<std::size_t>(size_), 0.0);
  ac_x_.assign(static_cast<std::size_t>(size_), {});
  ac_rhs_.assign(static_cast<std::size_t>(size_), {});
  point_.x = scratch_.data();
  point_.history = history_.data();
  point_.ac_x = ac_x_.data();

  for (const EndComputedCallback& registered : k.end_computed) {
    for (auto& unit : units_) {
      if (unit->instance().record == registered.instance) {
        callbacks_.push_back({registered.callback, registered.instance, unit.get()});
      }
    }
  }
  for (auto& unit : units_) unit->runtime().bind(&point_);
}

System::~System() {
  detach();
}

void System::attach() {
  if (attached_) return;
  for (auto& unit : units_) kernel().analog.attach(unit->instance().object_index, &unit->runtime());
  attached_ = true;
}

void System::detach() {
  if (!attached_) return;
  kernel().analog.detach_all();
  point_.x = scratch_.data();
  point_.ac_x = ac_x_.data();
  clear_integration();
  sim_jomega = {0.0, 0.0};
  attached_ = false;
}

void System::build_pattern() {
  std::vector<std::pair<std::int32_t, std::int32_t>> pattern;
  for (std::int32_t n = 0; n < node_count_; ++n) pattern.emplace_back(n, n);
  for (const SourceSlots& s : sources_) {
    if (s.branch == reference) continue;
    for (std::int32_t node : {s.plus, s.minus}) {
      if (node == reference) continue;
      pattern.emplace_back(node, s.branch);
      pattern.emplace_back(s.branch, node);
    }
  }
  for (const auto& unit : units_) unit->add_pattern(pattern);

  jacobian_ = std::make_unique<RealMatrix>(size_, pattern);
  ac_matrix_ = std::make_unique<ComplexMatrix>(size_, pattern);
  for (std::int32_t n = 0; n < node_count_; ++n) gmin_slots_.push_back(jacobian_->slot(n, n));
  for (SourceSlots& s : sources_) {
    if (s.branch == reference) continue;
    s.plus_branch = jacobian_->slot(s.plus, s.branch);
    s.minus_branch = jacobian_->slot(s.minus, s.branch);
    s.branch_plus = jacobian_->slot(s.branch, s.plus);
    s.branch_minus = jacobian_->slot(s.branch, s.minus);
  }
  for (auto& unit : units_) unit->map_slots(*jacobian_);
}

UnknownKind System::kind(std::int32_t unknown) const {
  if (unknown < node_count_) return UnknownKind::node;
  return unknown < first_branch_ ? UnknownKind::state : UnknownKind::branch;
}

std::int32_t System::node_unknown(std::string_view node) const {
  const std::int32_t id = circuit_.find_node(node);
  return id > 0 ? id - 1 : -1;
}

std::int32_t System::branch_unknown(std::string_view source) const {
  for (const SourceSlots& s : sources_) {
    if (s.source->name == source) return s.branch;
  }
  return -1;
}

std::int32_t System::state_unknown(std::string_view instance, std::int32_t state) const {
  for (const auto& unit : units_) {
    if (unit->instance().name != instance) continue;
    const UnitRuntime& runtime = unit->runtime();
    return state >= 1 && state <= runtime.state_count() ? runtime.state_unknown(state) : -1;
  }
  return -1;
}

std::string System::describe(std::int32_t unknown) const {
  if (unknown < 0 || unknown >= size_) return "no unknown";
  switch (kind(unknown)) {
    case UnknownKind::node: {
      std::string attached;
      const auto add = [&](const std::string& name) {
        attached += attached.empty() ? "" : ", ";
        attached += name;
      };
      for (const auto& unit : units_) {
        const UnitRuntime& runtime = unit->runtime();
        for (std::int32_t n = 1; n <= runtime.pin_count(); ++n) {
          if (runtime.pin_unknown(n) == unknown) {
            add(unit->instance().name);
            break;
          }
        }
      }
      for (const SourceSlots& s : sources_) {
        if (s.plus == unknown || s.minus == unknown) add(s.source->name);
      }
      return "node '" + circuit_.node_name(unknown + 1) + "' (" +
             (attached.empty() ? std::string("nothing attached") : attached) + ")";
    }
    case UnknownKind::state:
      for (const auto& unit : units_) {
        const UnitRuntime& runtime = unit->runtime();
        for (std::int32_t k = 1; k <= runtime.state_count(); ++k) {
          if (runtime.state_unknown(k) == unknown) {
            return "state " + std::to_string(k) + " of instance '" + unit->instance().name + "'";
          }
        }
      }
      break;
    case UnknownKind::branch:
      for (const SourceSlots& s : sources_) {
        if (s.branch == unknown) return "branch current of source '" + s.source->name + "'";
      }
      break;
  }
  return "unknown " + std::to_string(unknown);
}

std::vector<double> System::initial_guess() const {
  std::vector<double> x(static_cast<std::size_t>(size_), 0.0);
  for (const auto& unit : units_) {
    const UnitRuntime& runtime = unit->runtime();
    for (std::int32_t k = 1; k <= runtime.state_count(); ++k) {
      x[static_cast<std::size_t>(runtime.state_unknown(k))] =
          runtime.declarations().initial_state(k);
    }
  }
  return x;
}

void System::set_context(const char* analysis, const char* variable, double value,
                         const char* unit) {
  analysis_ = analysis;
  variable_ = variable;
  value_ = value;
  unit_ = unit;
}

std::string System::context() const {
  std::string text = analysis_;
  if (variable_ != nullptr) {
    text += " at ";
    text += variable_;
    text += " = " + format_double(value_);
    if (*unit_ != '\0') text += std::string(" ") + unit_;
  }
  return text;
}

void System::prepare_transient(double step, double stop, std::vector<double>& breakpoints) {
  for (SourceSlots& s : sources_) {
    s.transient = s.source->waveform.for_transient(step, stop);
    s.transient.breakpoints(stop, breakpoints);
  }
}

void System::set_integration(double alpha, std::span<const double> history) {
  std::copy(history.begin(), history.end(), history_.begin());
  point_.alpha = alpha;
  sim_alpha = alpha;
}

void System::clear_integration() {
  std::fill(history_.begin(), history_.end(), 0.0);
  point_.alpha = 0.0;
  sim_alpha = 0.0;
}

void System::stamp_sources(const LoadPoint& point) {
  std::span<double> j = jacobian_->values();
  const double* x = point_.x;
  for (const SourceSlots& s : sources_) {
    const double value = point.source_scale * (point.transient ? s.transient.at(point.time)
                                                               : s.source->waveform.dc_value());
    if (s.source->kind == SourceKind::current) {
      if (s.plus != reference) residual_[s.plus] += value;
      if (s.minus != reference) residual_[s.minus] -= value;
      continue;
    }
    const double current = x[s.branch];
    double across = -value;
    if (s.plus != reference) {
      residual_[s.plus] += current;
      j[s.plus_branch] += 1.0;
      j[s.branch_plus] += 1.0;
      across += x[s.plus];
    }
    if (s.minus != reference) {
      residual_[s.minus] -= current;
      j[s.minus_branch] -= 1.0;
      j[s.branch_minus] -= 1.0;
      across -= x[s.minus];
    }
    residual_[s.branch] += across;
  }
}

void System::check_stray() const {
  const std::string& stray = kernel().analog.stray_fault();
  if (!stray.empty()) throw AnalysisError(context() + ": " + stray);
}

void System::load(std::span<double> x, const LoadPoint& point) {
  attach();
  point_.x = x.data();
  std::fill(residual_.begin(), residual_.end(), 0.0);
  jacobian_->clear();
  stamp_sources(point);
  std::span<double> j = jacobian_->values();
  if (point.gmin != 0.0) {
    for (std::int32_t n = 0; n < node_count_; ++n) {
      j[gmin_slots_[n]] += point.gmin;
      residual_[n] += point.gmin * x[n];
    }
  }
  for (auto& unit : units_) {
    try {
      unit->load(x.data(), residual_, j);
    } catch (const AnalysisError& fault) {
      throw AnalysisError(context() + ": " + fault.what());
    }
  }
  check_stray();
}

void System::load_ac(std::span<const double> op, double omega) {
  attach();
  std::copy(op.begin(), op.end(), ac_op_.begin());
  for (std::int32_t u = 0; u < size_; ++u) ac_x_[u] = {op[u], 0.0};
  point_.x = ac_op_.data();
  point_.ac_x = ac_x_.data();
  point_.jomega = {0.0, omega};
  sim_jomega = {0.0, omega};
  kernel().analog.ac_mode = true;

  ac_matrix_->clear();
  std::fill(ac_rhs_.begin(), ac_rhs_.end(), std::complex<double>{});
  std::span<std::complex<double>> m = ac_matrix_->values();
  for (const SourceSlots& s : sources_) {
    const std::complex<double> phasor = s.source->waveform.phasor();
    if (s.source->kind == SourceKind::current) {
      if (s.plus != reference) ac_rhs_[s.plus] -= phasor;
      if (s.minus != reference) ac_rhs_[s.minus] += phasor;
      continue;
    }
    if (s.plus != reference) {
      m[s.plus_branch] += 1.0;
      m[s.branch_plus] += 1.0;
    }
    if (s.minus != reference) {
      m[s.minus_branch] -= 1.0;
      m[s.branch_minus] -= 1.0;
    }
    ac_rhs_[s.branch] = phasor;
  }
  for (auto& unit : units_) {
    try {
      unit->load_ac(ac_x_.data(), m);
    } catch (const AnalysisError& fault) {
      throw AnalysisError(context() + ": " + fault.what());
    }
  }
  check_stray();
}

void System::run_end_computed() {
  for (const Callback& callback : callbacks_) {
    UnitRuntime& runtime = callback.unit->runtime();
    runtime.clear_outputs();
    callback.function(callback.instance);
    if (!runtime.fault().empty()) {
      throw AnalysisError(context() + ": after the solution, " + runtime.fault());
    }
  }
  check_stray();
}

void System::complete(std::span<double> x) {
  attach();
  point_.x = x.data();
  kernel().analog.ac_mode = false;
  for (auto& unit : units_) unit->runtime().publish_states();
  run_end_computed();
  if (observer_.real) observer_.real(variable_ != nullptr ? value_ : 0.0, x);
}

void System::complete_ac(std::span<const std::complex<double>> x) {
  attach();
  std::copy(x.begin(), x.end(), ac_x_.begin());
  point_.ac_x = ac_x_.data();
  kernel().analog.ac_mode = true;
  for (auto& unit : units_) unit->runtime().publish_ac_states();
  run_end_computed();
  if (observer_.ac) observer_.ac(variable_ != nullptr ? value_ : 0.0, x);
}

std::int32_t System::singular_unknown(const RealMatrix& matrix) const {
  if (matrix.singular_column() >= 0) return matrix.singular_column();
  const CompressedPattern& pattern = matrix.pattern();
  const auto values = matrix.values();
  std::vector<bool> row_used(static_cast<std::size_t>(size_), false);
  std::int32_t empty_column = -1;
  for (std::int32_t c = 0; c < size_; ++c) {
    bool used = false;
    for (std::int32_t k = pattern.column_starts[c]; k < pattern.column_starts[c + 1]; ++k) {
      if (values[k] != 0.0) {
        used = true;
        row_used[static_cast<std::size_t>(pattern.rows[k])] = true;
      }
    }
    if (!used && empty_column < 0) empty_column = c;
  }
  if (empty_column >= 0) return empty_column;
  for (std::int32_t r = 0; r < size_; ++r) {
    if (!row_used[static_cast<std::size_t>(r)]) return r;
  }
  return -1;
}

}  // namespace host::analog
