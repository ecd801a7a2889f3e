// A circuit for the analog engine: named nodes, independent sources and instances of analog
// units, built through a small API that tests and the netlist reader share.
//
//   host::Design design(loader);
//   host::analog::Circuit circuit(design);
//   circuit.voltage_source("V1", "in", "0", Waveform::dc(1.0).with_ac(1.0));
//   circuit.unit("R1", "LEVEL_0-ZEB_RES_2P", {"in", "out"}, {{"R", 1e3}});
//   circuit.unit("C1", "LEVEL_0-ZEB_CAP_2P", {"out", "0"}, {{18, 1e-6}});
//
// Node "0" (also "gnd") is the reference node. Generics are named as in the catalog, or given
// by position with a value of the record's type; either way the unit computes no default for
// them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/analog/waveform.h"
#include "host/design.h"

namespace host::analog {

class System;

struct GenericValue {
  using Value = std::variant<double, std::int64_t, std::vector<double>>;
  GenericValue(std::int32_t at, Value v) : position(at), value(std::move(v)) {}
  GenericValue(std::string generic, Value v) : name(std::move(generic)), value(std::move(v)) {}
  GenericValue(const char* generic, Value v) : name(generic), value(std::move(v)) {}

  std::int32_t position = -1;  // when no name is given
  std::string name;
  // By name: a real (or a whole number for an integer generic) or three reals for a corner
  // table. By position: written as is, a real, an integer or a real array.
  Value value;
};

enum class SourceKind { voltage, current };

// A voltage source holds V(plus) - V(minus) at its value; its branch current flows from the
// plus node through the source to the minus node (SPICE's sign). A current source drives its
// value from the plus node through the source into the minus node.
struct Source {
  std::string name;
  SourceKind kind;
  std::int32_t plus;
  std::int32_t minus;
  Waveform waveform;
};

struct UnitInstance {
  Instance* instance;
  std::vector<std::int32_t> nodes;  // node of pin n at n-1
};

class Circuit {
 public:
  static constexpr std::int32_t reference_node = 0;

  explicit Circuit(Design& design);
  ~Circuit();
  Circuit(const Circuit&) = delete;
  Circuit& operator=(const Circuit&) = delete;

  // The node of that name, created on first use; "0" and "gnd" are the reference node.
  std::int32_t node(std::string_view name);
  // The node of that name, or -1.
  std::int32_t find_node(std::string_view name) const;
  const std::string& node_name(std::int32_t node) const { return node_names_[node]; }
  // Nodes other than the reference node; they are numbered 1 to node_count().
  std::int32_t node_count() const { return static_cast<std::int32_t>(node_names_.size()) - 1; }

  void voltage_source(std::string name, std::string_view plus, std::string_view minus,
                      Waveform waveform);
  void current_source(std::string name, std::string_view plus, std::string_view minus,
                      Waveform waveform);
  // An instance of a deliverable, its pins on `nodes` in port order. Throws CircuitError.
  Instance& unit(std::string name, std::string_view deliverable,
                 const std::vector<std::string>& nodes,
                 const std::vector<GenericValue>& generics = {});
  // The same for a unit whose table the caller loaded.
  Instance& unit(std::string name, const CatalogEntry& entry, const Plugin& plugin,
                 const std::vector<std::string>& nodes,
                 const std::vector<GenericValue>& generics = {});

  const std::vector<Source>& sources() const { return sources_; }
  // The source of that name; throws CircuitError when there is none.
  Source& source(std::string_view name);
  const std::vector<UnitInstance>& units() const { return units_; }
  Design& design() { return design_; }

  // Elaborates the units not yet elaborated: the set-up and check phases, then
  // ams__elab_tavo_1 to _3 with the instance current. Throws CircuitError naming the instance.
  void elaborate();
  // The equations of the elaborated circuit, built on first use; the circuit is closed then.
  System& system();

 private:
  void check_new_name(const std::string& name) const;
  void add_source(std::string name, SourceKind kind, std::string_view plus, std::string_view minus,
                  Waveform waveform);
  Instance& place(Instance& instance, const std::vector<std::string>& nodes,
                  const std::vector<GenericValue>& generics);
  void elaborate(Instance& instance);

  Design& design_;
  std::vector<std::string> node_names_;
  std::vector<Source> sources_;
  std::vector<UnitInstance> units_;
  std::size_t elaborated_ = 0;
  std::unique_ptr<System> system_;
};

}  // namespace host::analog
