#include "host/design.h"

#include <stdexcept>

#include "host/generics.h"
#include "host/kernel.h"

namespace host {

Design::Design(Loader& loader)
    : loader_(loader), declared_(kernel().memory, kernel().settings.temperature) {}

Design::~Design() {
  kernel().reset();
}

design_record* Design::design_for(const CatalogEntry& entry) {
  if (auto it = designs_.find(entry.name); it != designs_.end()) return it->second;
  Memory& memory = kernel().memory;
  auto* design = memory.make<design_record>();
  design->declarations = memory.make_array<declaration_entry>(declaration_count);
  declared_.bind(design->declarations);
  kernel().names.name(design, "design(" + std::string(entry.name) + ")");
  designs_.emplace(entry.name, design);
  return design;
}

Instance& Design::add(std::string name, std::string_view deliverable) {
  const CatalogEntry* entry = find_entry(deliverable);
  if (entry == nullptr) {
    throw std::invalid_argument("unknown deliverable '" + std::string(deliverable) + "'");
  }
  return add(std::move(name), *entry, loader_.load(*entry));
}

Instance& Design::add(std::string name, const CatalogEntry& entry_data, const Plugin& plugin) {
  const CatalogEntry* entry = &entry_data;
  auto instance = std::make_unique<Instance>();
  instance->name = std::move(name);
  instance->entry = entry;
  instance->plugin = &plugin;

  Memory& memory = kernel().memory;
  RecordNames& names = kernel().names;
  instance_record* record = memory.make<instance_record>();
  instance->record = record;
  names.name(record, instance->name);
  record->design = design_for(*entry);

  record->generic_count = entry->generic_count;
  record->generics =
      memory.make_array<generic_record*>(static_cast<std::size_t>(entry->generic_count));
  names.name(record->generics, instance->name + ".generics");
  for (std::int32_t g = 0; g < entry->generic_count; ++g) {
    record->generics[g] = memory.make<generic_record>();
    names.name(record->generics[g], instance->name + ".g" + std::to_string(g));
  }
  apply_catalog_defaults(*instance);
  if (entry->kind == UnitKind::digital) {
    build_digital(*instance, *entry);
  } else {
    build_analog(*instance, *entry);
  }
  instances_.push_back(std::move(instance));
  return *instances_.back();
}

void Design::build_analog(Instance& instance, const CatalogEntry& entry) {
  Memory& memory = kernel().memory;
  RecordNames& names = kernel().names;
  instance_record* record = instance.record;

  const std::int32_t pins = entry.pin_count();
  record->pins = memory.make_array<pin_record*>(static_cast<std::size_t>(pins));
  for (std::int32_t n = 1; n <= pins; ++n) {
    auto* pin = memory.make<pin_record>();
    pin->voltage = memory.make<quantity_record>();
    pin->voltage->value = memory.make<double>();
    pin->voltage->ac = memory.make<ac_value>();
    record->pins[n - 1] = pin;
    names.name(pin, instance.name + ".pin" + std::to_string(n));
    names.name(pin->voltage, instance.name + ".pin" + std::to_string(n) + ".voltage");
  }

  const auto quantities = entry.quantities.size();
  record->quantities = memory.make_array<quantity_record*>(quantities);
  for (std::size_t q = 0; q < quantities; ++q) {
    const QuantityBinding& binding = entry.quantities[q];
    auto* quantity = memory.make<quantity_record>();
    quantity->value = memory.make<double>();
    quantity->ac = memory.make<ac_value>();
    if (binding.kind == QuantityKind::across || binding.kind == QuantityKind::through) {
      quantity->plus = binding.plus > 0 ? record->pins[binding.plus - 1] : nullptr;
      quantity->minus = binding.minus > 0 ? record->pins[binding.minus - 1] : nullptr;
    }
    record->quantities[q] = quantity;
    names.name(quantity, instance.name + ".q" + std::to_string(q));
  }

  record->aboves = memory.make_array<above_record*>(entry.watched.size());
  for (std::size_t k = 0; k < entry.watched.size(); ++k) {
    auto* above = memory.make<above_record>();
    above->watched = record->quantities[entry.watched[k]];
    record->aboves[k] = above;
    names.name(above, instance.name + ".above" + std::to_string(k));
  }
}

void Design::build_digital(Instance& instance, const CatalogEntry& entry) {
  Memory& memory = kernel().memory;
  RecordNames& names = kernel().names;
  const auto port_count = entry.ports.size();
  auto** ports = memory.make_array<port_record*>(port_count);
  for (std::size_t p = 0; p < port_count; ++p) {
    auto* port = memory.make<port_record>();
    port->signal = memory.make<signal_record>();
    port->value = memory.make<std::int64_t>();  // 'U'
    ports[p] = port;
    instance.ports.push_back(port);
    const std::string port_name = instance.name + "." + std::string(entry.ports[p].name);
    names.name(port, port_name);
    names.name(port->signal, port_name + ".signal");
  }
  for (std::int32_t n = 1; n <= entry.process_count; ++n) {
    auto* process = memory.make<process_record>();
    process->instance = instance.record;
    process->ports = ports;
    process->drivers = memory.make_array<driver_record*>(1);
    process->drivers[0] = memory.make<driver_record>();
    const std::string process_name = instance.name + ".process" + std::to_string(n);
    names.name(process, process_name);
    names.name(process->drivers[0], process_name + ".driver0");
    instance.processes.push_back({process, n});
  }
  kernel().events.add_instance(instance);
}

}  // namespace host
