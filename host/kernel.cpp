#include "host/kernel.h"

#include "frame/host_services.h"

namespace host {

Kernel& kernel() {
  static Kernel the_kernel;
  return the_kernel;
}

void Kernel::reset() {
  names = RecordNames();
  trace.clear();
  events.reset();
  memory.release_all();
  reports.clear();
  end_computed.clear();
  explicit_quantities.clear();
  objects.clear();
  current_object = -1;
  fixed_pins = nullptr;
  range_table_size = value_table_size = value_scal_table_size = scratch_range_entries = 0;
  ebi_fp = nullptr;
  tmp_extra = nullptr;
  tmp_value_scal = nullptr;
  analog = analog::ServiceState();
  above_signals.clear();
  sim_digital_analog_interaction = 0;
}

}  // namespace host
