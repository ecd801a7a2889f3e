// A design: instances of deliverables with the records the kernel owns for them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "frame/records.h"
#include "host/catalog.h"
#include "host/declared_units.h"
#include "host/loader.h"

namespace host {

// One process of a logic cell instance with its ports and its driver.
struct Process {
  process_record* record = nullptr;
  std::int32_t number = 0;  // 1-based
};

struct Instance {
  std::string name;
  const CatalogEntry* entry = nullptr;
  const Plugin* plugin = nullptr;
  instance_record* record = nullptr;
  std::vector<Process> processes;
  std::vector<port_record*> ports;  // digital ports by position
  std::vector<bool> given;          // generics a user gave, by position
  std::int32_t object_index = -1;

  pin_record* pin(std::int32_t n) const { return record->pins[n - 1]; }
  quantity_record* quantity(std::int32_t position) const { return record->quantities[position]; }
  generic_record* generic(std::int32_t position) const { return record->generics[position]; }
  above_record* above(std::int32_t k) const { return record->aboves[k]; }
};

// Builds and owns the records of one design in the kernel; resets the kernel when it goes.
class Design {
 public:
  explicit Design(Loader& loader);
  ~Design();
  Design(const Design&) = delete;
  Design& operator=(const Design&) = delete;

  // Loads the deliverable and builds an instance's records; throws LoadError or
  // std::invalid_argument for an unknown deliverable.
  Instance& add(std::string name, std::string_view deliverable);
  // Builds an instance of a unit described by `entry` whose table is already loaded.
  Instance& add(std::string name, const CatalogEntry& entry, const Plugin& plugin);

  const std::vector<std::unique_ptr<Instance>>& instances() const { return instances_; }
  Loader& loader() { return loader_; }
  const DeclaredUnits& declared() const { return declared_; }

 private:
  design_record* design_for(const CatalogEntry& entry);
  void build_analog(Instance& instance, const CatalogEntry& entry);
  void build_digital(Instance& instance, const CatalogEntry& entry);

  Loader& loader_;
  DeclaredUnits declared_;
  std::map<std::string_view, design_record*> designs_;
  std::vector<std::unique_ptr<Instance>> instances_;
};

}  // namespace host
