// The state of the stand-in kernel that the C services act on: one design at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/records.h"
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

// Process data the declared units answer from.
struct Settings {
  std::int32_t corner = 0;    // process corner 0 to 2
  double temperature = 27.0;  // the derating value
  std::int64_t tick_fs = 1;   // tick length in femtoseconds
};

class Kernel {
 public:
  RecordNames names;
  Trace trace{names};
  Memory memory;
  Settings settings;

  std::vector<Report> reports;
  std::vector<EndComputedCallback> end_computed;
  std::vector<quantity_record*> explicit_quantities;
  std::vector<instance_record*> objects;  // by object index
  std::int32_t current_object = -1;

  // Scratch sizes the units announced for their generic defaults.
  std::int32_t range_table_size = 0;
  std::int32_t value_table_size = 0;
  std::int32_t value_scal_table_size = 0;

  // Frees every record and block and forgets all bookkeeping; settings and tracing stay.
  void reset();
};

// The one kernel the services act on.
Kernel& kernel();

}  // namespace host
