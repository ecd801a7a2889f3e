// The state of the stand-in kernel that the C services act on: one design at a time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "frame/records.h"
#include "host/analog/service_state.h"
#include "host/event/event_kernel.h"
#include "host/memory.h"
#include "host/trace.h"

namespace host {

// A report a plug-in made through vams_error or the complex runtime.
struct Report {
  std::int32_t code;
  std::vector<std::int64_t> arguments;
  std::string text;
};

struct EndComputedCallback {
  instance_record* instance;
  void (*callback)(instance_record*);
  std::int32_t mode;
};

// Pin values for evaluating one instance outside any analysis (conformance tests, device
// curves): while set, VPin, VPin_Complex, dvpin_by_dt and IS_AC_MODE answer from here, and
// derivative quantities keep the complex values they hold.
struct FixedPins {
  static constexpr int max_pins = 8;
  std::array<double, max_pins + 1> voltage{};  // by pin number
  std::array<double, max_pins + 1> slope{};    // dV/dt by pin number
  std::array<ac_value, max_pins + 1> ac_voltage{};
  bool ac_mode = false;
};

// Process data the declared units answer from.
struct Settings {
  std::int32_t corner = 0;             // process corner 0 to 2
  double temperature = 27.0;           // the derating value
  std::int64_t tick_fs = 1;            // tick length in femtoseconds
  double nominal_resistance = 1000.0;  // the process's "res" parameter, in ohms
  // When set, the corner lookup answers this real instead of the corner (fault injection).
  std::optional<double> corner_answer;
  // Monte Carlo: when set, the corner and resistance parameters take a random deviation.
  bool spread = false;
  std::mt19937_64 spread_random;
};

class Kernel {
 public:
  RecordNames names;
  Trace trace{names};
  Memory memory;
  Settings settings;
  event::EventKernel events;

  std::vector<Report> reports;
  std::vector<EndComputedCallback> end_computed;
  std::vector<quantity_record*> explicit_quantities;
  std::vector<instance_record*> objects;  // by object index
  std::int32_t current_object = -1;
  FixedPins* fixed_pins = nullptr;
  analog::ServiceState analog;  // analog declarations and the engine's evaluation targets
  // The event-kernel signal that shows each above record, once a mixed-signal analysis
  // connected them; update_blk_sig publishes there.
  std::unordered_map<const above_record*, std::int32_t> above_signals;

  // Scratch sizes the units announced for their generic defaults.
  std::int32_t range_table_size = 0;
  std::int32_t value_table_size = 0;
  std::int32_t value_scal_table_size = 0;
  std::int32_t scratch_range_entries = 0;  // entries of tmp_extra as made

  // Frees every record and block and forgets all bookkeeping; settings and tracing stay.
  void reset();
};

// The one kernel the services act on.
Kernel& kernel();

}  // namespace host
