#include "host/analog/circuit.h"

#include <algorithm>
#include <stdexcept>

#include "host/analog/analysis_error.h"
#include "host/analog/system.h"
#include "host/elaborate.h"
#include "host/generics.h"
#include "host/kernel.h"

namespace host::analog {

namespace {

std::string describe(const Instance& instance) {
  return "instance '" + instance.name + "' (" + std::string(instance.entry->name) + ")";
}

std::string port_list(const CatalogEntry& entry) {
  std::string list;
  for (const PortInfo& port : entry.ports) {
    if (port.mode != PortMode::terminal) continue;
    if (!list.empty()) list += ", ";
    list += port.name;
  }
  return list;
}

void set_by_position(generic_record* generic, const GenericValue& given) {
  if (const auto* real = std::get_if<double>(&given.value)) {
    generic->value.real = *real;
  } else if (const auto* integer = std::get_if<std::int64_t>(&given.value)) {
    generic->value.integer = *integer;
  } else {
    const auto& values = std::get<std::vector<double>>(given.value);
    double* array = kernel().memory.make_array<double>(values.size());
    std::copy(values.begin(), values.end(), array);
    generic->value.array = array;
  }
}

void set_by_name(Instance& instance, const GenericValue& given) {
  try {
    if (const auto* real = std::get_if<double>(&given.value)) {
      set_generic(instance, given.name, *real);
    } else if (const auto* integer = std::get_if<std::int64_t>(&given.value)) {
      set_generic(instance, given.name, static_cast<double>(*integer));
    } else {
      const auto& values = std::get<std::vector<double>>(given.value);
      if (values.size() != 3) {
        throw std::invalid_argument(instance.name + ": generic " + given.name +
                                    " takes three values, one per corner");
      }
      set_generic_table(instance, given.name, {values[0], values[1], values[2]});
    }
  } catch (const std::invalid_argument& error) {
    throw CircuitError(std::string("instance ") + error.what());
  }
}

}  // namespace

Circuit::Circuit(Design& design) : design_(design), node_names_{"0"} {}

Circuit::~Circuit() = default;

std::int32_t Circuit::find_node(std::string_view name) const {
  if (name == "gnd") return reference_node;
  const auto found = std::find(node_names_.begin(), node_names_.end(), name);
  return found == node_names_.end() ? -1 : static_cast<std::int32_t>(found - node_names_.begin());
}

std::int32_t Circuit::node(std::string_view name) {
  if (name.empty()) throw CircuitError("a node needs a name");
  const std::int32_t found = find_node(name);
  if (found >= 0) return found;
  if (system_) throw CircuitError("node '" + std::string(name) + "' added after analysis began");
  node_names_.emplace_back(name);
  return node_count();
}

void Circuit::check_new_name(const std::string& name) const {
  if (name.empty()) throw CircuitError("an element needs a name");
  if (system_) throw CircuitError("element '" + name + "' added after analysis began");
  const bool taken = std::any_of(sources_.begin(), sources_.end(),
                                 [&](const Source& s) { return s.name == name; }) ||
                     std::any_of(units_.begin(), units_.end(),
                                 [&](const UnitInstance& u) { return u.instance->name == name; });
  if (taken) throw CircuitError("element '" + name + "' defined twice");
}

void Circuit::add_source(std::string name, SourceKind kind, std::string_view plus,
                         std::string_view minus, Waveform waveform) {
  check_new_name(name);
  if (std::string problem = waveform.problem(); !problem.empty()) {
    throw CircuitError("source '" + name + "': " + problem);
  }
  const std::int32_t p = node(plus);
  const std::int32_t m = node(minus);
  sources_.push_back({std::move(name), kind, p, m, std::move(waveform)});
}

void Circuit::voltage_source(std::string name, std::string_view plus, std::string_view minus,
                             Waveform waveform) {
  add_source(std::move(name), SourceKind::voltage, plus, minus, std::move(waveform));
}

void Circuit::current_source(std::string name, std::string_view plus, std::string_view minus,
                             Waveform waveform) {
  add_source(std::move(name), SourceKind::current, plus, minus, std::move(waveform));
}

Source& Circuit::source(std::string_view name) {
  for (Source& s : sources_) {
    if (s.name == name) return s;
  }
  throw CircuitError("no source '" + std::string(name) + "'");
}

Instance& Circuit::unit(std::string name, std::string_view deliverable,
                        const std::vector<std::string>& nodes,
                        const std::vector<GenericValue>& generics) {
  check_new_name(name);
  const CatalogEntry* entry = find_entry(deliverable);
  if (entry == nullptr) {
    throw CircuitError("instance '" + name + "': unknown deliverable '" + std::string(deliverable) +
                       "'");
  }
  if (entry->kind != UnitKind::analog) {
    throw CircuitError("instance '" + name + "': " + std::string(deliverable) + " is a " +
                       std::string(kind_name(entry->kind)) +
                       " unit; the analog engine takes analog units");
  }
  return place(design_.add(std::move(name), deliverable), nodes, generics);
}

Instance& Circuit::unit(std::string name, const CatalogEntry& entry, const Plugin& plugin,
                        const std::vector<std::string>& nodes,
                        const std::vector<GenericValue>& generics) {
  check_new_name(name);
  return place(design_.add(std::move(name), entry, plugin), nodes, generics);
}

Instance& Circuit::place(Instance& instance, const std::vector<std::string>& nodes,
                         const std::vector<GenericValue>& generics) {
  const CatalogEntry& entry = *instance.entry;
  if (static_cast<std::int32_t>(nodes.size()) != entry.pin_count()) {
    throw CircuitError(describe(instance) + " has " + std::to_string(entry.pin_count()) +
                       " ports (" + port_list(entry) + "); " + std::to_string(nodes.size()) +
                       " nodes given");
  }
  for (const GenericValue& given : generics) {
    if (!given.name.empty()) {
      set_by_name(instance, given);
      continue;
    }
    if (given.position < 0 || given.position >= instance.record->generic_count) {
      throw CircuitError(describe(instance) + ": generic position " +
                         std::to_string(given.position) + " outside 0 to " +
                         std::to_string(instance.record->generic_count - 1));
    }
    set_by_position(instance.generic(given.position), given);
    instance.given[static_cast<std::size_t>(given.position)] = true;
  }
  UnitInstance placed{&instance, {}};
  for (const std::string& n : nodes) placed.nodes.push_back(node(n));
  units_.push_back(std::move(placed));
  return instance;
}

void Circuit::elaborate(Instance& instance) {
  Kernel& k = kernel();
  const ams_elab_tavo_table* tavo = instance.plugin->table->ams_elab_tavo;
  if (tavo == nullptr || tavo->tavo[0] == nullptr || tavo->tavo[1] == nullptr ||
      tavo->tavo[2] == nullptr || instance.plugin->table->ams_each_iter == nullptr) {
    throw CircuitError(describe(instance) + " has no analog elaboration or iteration table");
  }
  k.analog.clear_stray();
  host::elaborate(instance);
  k.current_object = instance.object_index;
  for (int step = 0; step < 3; ++step) tavo->tavo[step](instance.record);

  UnitDeclarations& declared = *k.analog.declarations(instance.object_index);
  declared.check(instance.entry->pin_count());
  std::string problems;
  for (const std::string& problem : declared.problems()) problems += "; " + problem;
  if (declared.state_count() != instance.record->state_count) {
    problems += "; asks for " + std::to_string(declared.state_count()) +
                " implicit states but its check phase stored " +
                std::to_string(instance.record->state_count);
  }
  if (!k.analog.stray_fault().empty()) problems += "; " + k.analog.stray_fault();
  k.analog.clear_stray();
  if (!problems.empty()) {
    throw CircuitError(describe(instance) + " at analog elaboration: " + problems.substr(2));
  }
}

void Circuit::elaborate() {
  for (; elaborated_ < units_.size(); ++elaborated_) elaborate(*units_[elaborated_].instance);
}

System& Circuit::system() {
  if (!system_) {
    elaborate();
    system_ = std::make_unique<System>(*this);
  }
  return *system_;
}

}  // namespace host::analog
