#include "host/declared_units.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "frame/declared_subprograms.h"
#include "host/kernel.h"

namespace host {

namespace {

// A string argument as its range record describes it.
Trace::string_argument text(const char* first, const range_record* range) {
  const std::int32_t length = range != nullptr ? range->right - range->left + 1 : 0;
  return {std::string_view(first, length > 0 ? static_cast<std::size_t>(length) : 0)};
}

double corner_lookup(const char* name, std::int32_t, std::int32_t, range_record* name_range,
                     void*) {
  kernel().trace.call("corner_lookup", text(name, name_range));
  const Settings& settings = kernel().settings;
  return settings.corner_answer ? *settings.corner_answer : static_cast<double>(settings.corner);
}

// The value a per-corner parameter takes: the selected table element itself.
double corner_parameter(double value, double spread, const char* name, std::int32_t, std::int32_t,
                        range_record* name_range, const char* unit, std::int32_t, std::int32_t,
                        range_record* unit_range, std::int32_t a, std::int32_t b, void*) {
  kernel().trace.call("corner_parameter", value, spread, text(name, name_range),
                      text(unit, unit_range), a, b);
  Settings& settings = kernel().settings;
  // Monte Carlo: a normal deviation of relative sigma `spread`.
  if (settings.spread && spread > 0.0) {
    return value * (1.0 + spread * std::normal_distribution<double>()(settings.spread_random));
  }
  return value;
}

// The value a named resistance takes: the process's nominal value of that parameter, moved
// by the mean relative deviation.
double resistance_parameter(double mean, double upper, double lower, const char* name, std::int32_t,
                            std::int32_t, range_record* name_range, const char* unit, std::int32_t,
                            std::int32_t, range_record* unit_range, std::int32_t a, std::int32_t b,
                            void*) {
  kernel().trace.call("resistance_parameter", mean, upper, lower, text(name, name_range),
                      text(unit, unit_range), a, b);
  Settings& settings = kernel().settings;
  double deviation = mean;
  // Monte Carlo: a normal deviation around the mean, 6 sigma wide as the bounds, clipped to
  // them.
  if (settings.spread && upper != lower) {
    const double low = std::min(lower, upper);
    const double high = std::max(lower, upper);
    const double sigma = (high - low) / 6.0;
    deviation = std::clamp(
        mean + sigma * std::normal_distribution<double>()(settings.spread_random), low, high);
  }
  return settings.nominal_resistance * (1.0 + deviation);
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
