#include "host/generics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "frame/host_services.h"
#include "host/kernel.h"

namespace host {

namespace {

const GenericInfo& named(const Instance& instance, std::string_view name) {
  const GenericInfo* info = instance.entry->generic(name);
  if (info == nullptr) {
    throw std::invalid_argument(instance.name + ": " + std::string(instance.entry->name) +
                                " has no generic '" + std::string(name) + "'");
  }
  return *info;
}

}  // namespace

void prepare_scratch() {
  Kernel& k = kernel();
  if (k.scratch_range_entries >= k.range_table_size && tmp_value_scal != nullptr) return;
  const std::int32_t entries = std::max(k.range_table_size, 2);
  tmp_extra = k.memory.make_array<range_record*>(static_cast<std::size_t>(entries));
  for (std::int32_t i = 0; i < entries; ++i) {
    tmp_extra[i] = k.memory.make<range_record>();
    k.names.name(tmp_extra[i], "range" + std::to_string(i));
  }
  tmp_value_scal = k.memory.make<double>();
  ebi_fp = k.memory.make<evaluation_frame>();
  k.scratch_range_entries = entries;
}

void apply_catalog_defaults(Instance& instance) {
  instance.given.assign(static_cast<std::size_t>(instance.record->generic_count), false);
  for (const GenericInfo& info : instance.entry->generics) {
    generic_record* generic = instance.generic(info.position);
    switch (info.type) {
      case GenericType::real:
        generic->value.real = info.default_value[0];
        break;
      case GenericType::integer:
        generic->value.integer = static_cast<std::int64_t>(info.default_value[0]);
        break;
      case GenericType::corner_table: {
        double* table = kernel().memory.make_array<double>(3);
        std::copy(info.default_value.begin(), info.default_value.end(), table);
        generic->value.array = table;
        break;
      }
    }
  }
}

void set_generic(Instance& instance, std::string_view name, double value) {
  const GenericInfo& info = named(instance, name);
  generic_record* generic = instance.generic(info.position);
  switch (info.type) {
    case GenericType::real:
      generic->value.real = value;
      break;
    case GenericType::integer:
      if (!(std::trunc(value) == value) || std::fabs(value) > 9.0e15) {
        throw std::invalid_argument(instance.name + ": generic " + std::string(info.name) +
                                    " takes an integer");
      }
      generic->value.integer = static_cast<std::int64_t>(value);
      break;
    case GenericType::corner_table:
      std::fill_n(generic->value.array, 3, value);
      break;
  }
  instance.given[static_cast<std::size_t>(info.position)] = true;
}

void set_generic_table(Instance& instance, std::string_view name,
                       const std::array<double, 3>& table) {
  const GenericInfo& info = named(instance, name);
  if (info.type != GenericType::corner_table) {
    throw std::invalid_argument(instance.name + ": generic " + std::string(info.name) +
                                " takes one value, not a table");
  }
  std::copy(table.begin(), table.end(), instance.generic(info.position)->value.array);
  instance.given[static_cast<std::size_t>(info.position)] = true;
}

void request_default(Instance& instance, std::int32_t request, void* result,
                     range_record** range_out) {
  prepare_scratch();
  ebi_fp->instance = instance.record;
  instance.plugin->table->usr_eval(request, result, range_out);
}

void evaluate_defaults(Instance& instance) {
  if (instance.plugin->table->usr_eval == nullptr) return;
  std::vector<const GenericInfo*> computed;
  for (const GenericInfo& info : instance.entry->generics) {
    if (info.request > 0 && !instance.given[static_cast<std::size_t>(info.position)]) {
      computed.push_back(&info);
    }
  }
  std::sort(computed.begin(), computed.end(),
            [](const GenericInfo* a, const GenericInfo* b) { return a->request < b->request; });
  for (const GenericInfo* info : computed) {
    unsigned char result[8] = {};
    range_record* range = nullptr;
    request_default(instance, info->request, result, &range);
    std::memcpy(&instance.generic(info->position)->value, result, sizeof result);
  }
}

}  // namespace host
