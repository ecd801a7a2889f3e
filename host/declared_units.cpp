#include "host/declared_units.h"

#include <cmath>

#include "frame/declared_subprograms.h"
#include "host/kernel.h"

namespace host {

namespace {

double corner_lookup(const char*, std::int32_t, std::int32_t, range_record*, void*) {
  return static_cast<double>(kernel().settings.corner);
}

double corner_parameter(double value, double, const char*, std::int32_t, std::int32_t,
                        range_record*, const char*, std::int32_t, std::int32_t, range_record*,
                        std::int32_t, std::int32_t, void*) {
  return value;
}

double resistance_parameter(double, double nominal, double, const char*, std::int32_t, std::int32_t,
                            range_record*, const char*, std::int32_t, std::int32_t, range_record*,
                            std::int32_t, std::int32_t, void*) {
  return nominal;
}

template <class F>
subprogram_fn entry(F* function) {
  return reinterpret_cast<subprogram_fn>(function);
}

const subprogram_fn process_data_code[zeb::resistance_parameter_subprogram + 1] = {
    entry(&corner_lookup),
    nullptr,
    entry(&corner_parameter),
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    entry(&resistance_parameter)};
// The process data have no complex twins; the plug-ins cache this table and never call it.
const subprogram_fn process_data_ac_code[zeb::resistance_parameter_subprogram + 1] = {};

const elab_funcs_table process_data_exports{
    nullptr, nullptr, process_data_code, process_data_ac_code, nullptr, nullptr};
const elab_funcs_table derating_exports{};

}  // namespace

DeclaredUnits::DeclaredUnits(Memory& memory, double temperature) {
  process_data_ = memory.make<declaration_record>();
  process_data_->exports = &process_data_exports;

  derating_unit_ = memory.make<declaration_record>();
  derating_unit_->exports = &derating_exports;
  auto* context = memory.make<context_record>();
  context->objects = memory.make_array<generic_record*>(derating_object + 1);
  derating_ = memory.make<generic_record>();
  derating_->value.real = temperature;
  context->objects[derating_object] = derating_;
  derating_unit_->context = context;
}

void DeclaredUnits::bind(declaration_entry* table) const {
  table[derating_declaration].declared = derating_unit_;
  for (int n = 6; n <= 10; ++n) table[n].declared = process_data_;
}

}  // namespace host
