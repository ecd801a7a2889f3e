#include "tests/support/record_snapshot.h"

#include <cstdio>
#include <cstring>

#include "host/kernel.h"
#include "host/trace.h"

namespace test {

#define ZEB_FIELD(record, field, type) \
  { #field, offsetof(record, field), sizeof(record::field), RecordSnapshot::Type::type }

struct Layouts {
  using F = RecordSnapshot::Field;
  inline static const std::vector<F> instance{ZEB_FIELD(instance_record, design, pointer),
                                              ZEB_FIELD(instance_record, generics, pointer),
                                              ZEB_FIELD(instance_record, generic_count, int32),
                                              ZEB_FIELD(instance_record, aboves, pointer),
                                              ZEB_FIELD(instance_record, pins, pointer),
                                              ZEB_FIELD(instance_record, quantities, pointer),
                                              ZEB_FIELD(instance_record, object_index, int32),
                                              ZEB_FIELD(instance_record, state_count, int32)};
  inline static const std::vector<F> pin{
      ZEB_FIELD(pin_record, voltage, pointer), ZEB_FIELD(pin_record, current, real),
      ZEB_FIELD(pin_record, ac_current.re, real), ZEB_FIELD(pin_record, ac_current.im, real),
      ZEB_FIELD(pin_record, flags, flags)};
  inline static const std::vector<F> quantity{
      ZEB_FIELD(quantity_record, value, pointer), ZEB_FIELD(quantity_record, ac, pointer),
      ZEB_FIELD(quantity_record, state_number, int32), ZEB_FIELD(quantity_record, plus, pointer),
      ZEB_FIELD(quantity_record, minus, pointer)};
  inline static const std::vector<F> generic{ZEB_FIELD(generic_record, value.integer, int64)};
  inline static const std::vector<F> above{ZEB_FIELD(above_record, state_copy, int32),
                                           ZEB_FIELD(above_record, state, int32),
                                           ZEB_FIELD(above_record, watched, pointer),
                                           ZEB_FIELD(above_record, threshold, real),
                                           ZEB_FIELD(above_record, threshold_function, function),
                                           ZEB_FIELD(above_record, owner, pointer)};
  inline static const std::vector<F> process{
      ZEB_FIELD(process_record, instance, pointer), ZEB_FIELD(process_record, ports, pointer),
      ZEB_FIELD(process_record, function, function), ZEB_FIELD(process_record, drivers, pointer)};
  inline static const std::vector<F> port{ZEB_FIELD(port_record, signal, pointer),
                                          ZEB_FIELD(port_record, value, pointer)};
  inline static const std::vector<F> signal{ZEB_FIELD(signal_record, flags, flags)};
  inline static const std::vector<F> driver{ZEB_FIELD(driver_record, handle, int32)};
  inline static const std::vector<F> value{{"", 0, 8, RecordSnapshot::Type::int64}};
};

#undef ZEB_FIELD

RecordSnapshot::RecordSnapshot(const host::Instance& instance) {
  const instance_record* record = instance.record;
  add(record, sizeof *record, Layouts::instance);
  for (std::int32_t g = 0; g < record->generic_count; ++g) {
    add(record->generics[g], sizeof(generic_record), Layouts::generic);
  }
  for (std::int32_t n = 1; n <= instance.entry->pin_count(); ++n) {
    add(instance.pin(n), sizeof(pin_record), Layouts::pin);
    add(instance.pin(n)->voltage, sizeof(quantity_record), Layouts::quantity);
  }
  for (std::size_t q = 0; q < instance.entry->quantities.size(); ++q) {
    add(instance.quantity(static_cast<std::int32_t>(q)), sizeof(quantity_record),
        Layouts::quantity);
  }
  for (std::size_t k = 0; k < instance.entry->watched.size(); ++k) {
    add(instance.above(static_cast<std::int32_t>(k)), sizeof(above_record), Layouts::above);
  }
  for (const host::Process& process : instance.processes) {
    add(process.record, sizeof(process_record), Layouts::process);
    add(process.record->drivers[0], sizeof(driver_record), Layouts::driver);
  }
  for (const port_record* port : instance.ports) {
    add(port, sizeof(port_record), Layouts::port);
    add(port->signal, sizeof(signal_record), Layouts::signal);
    add(port->value, sizeof(std::int64_t), Layouts::value);
  }
}

void RecordSnapshot::add(const void* record, std::size_t size, const std::vector<Field>& fields) {
  const auto* bytes = static_cast<const unsigned char*>(record);
  copies_.push_back({host::kernel().names.of(record), bytes,
                     std::vector<unsigned char>(bytes, bytes + size), &fields});
}

std::string RecordSnapshot::format(const Field& field, const unsigned char* bytes) {
  switch (field.type) {
    case Type::int32: {
      std::int32_t v;
      std::memcpy(&v, bytes, sizeof v);
      return std::to_string(v);
    }
    case Type::int64: {
      std::int64_t v;
      std::memcpy(&v, bytes, sizeof v);
      return std::to_string(v);
    }
    case Type::real: {
      double v;
      std::memcpy(&v, bytes, sizeof v);
      return host::format_double(v);
    }
    case Type::flags: {
      char text[8];
      std::snprintf(text, sizeof text, "0x%02x", bytes[0]);
      return text;
    }
    case Type::pointer: {
      const void* p;
      std::memcpy(&p, bytes, sizeof p);
      return host::kernel().names.of(p);
    }
    case Type::function: {
      const void* p;
      std::memcpy(&p, bytes, sizeof p);
      return p == nullptr ? "null" : "fn";
    }
  }
  return "?";
}

std::vector<std::string> RecordSnapshot::writes_since() const {
  std::vector<std::string> writes;
  for (const Copy& copy : copies_) {
    std::vector<bool> covered(copy.bytes.size(), false);
    for (const Field& field : *copy.fields) {
      for (std::size_t i = 0; i < field.size; ++i) covered[field.offset + i] = true;
      if (std::memcmp(copy.address + field.offset, copy.bytes.data() + field.offset, field.size) !=
          0) {
        const std::string name = *field.name ? copy.name + "." + field.name : copy.name;
        writes.push_back(name + " = " + format(field, copy.address + field.offset));
      }
    }
    for (std::size_t i = 0; i < copy.bytes.size(); ++i) {
      if (!covered[i] && copy.address[i] != copy.bytes[i]) {
        char text[24];
        std::snprintf(text, sizeof text, "+0x%02zx", i);
        writes.push_back(copy.name + text + " changed");
      }
    }
  }
  return writes;
}

}  // namespace test
