// The objects the event kernel connects: signals, their drivers and the processes they wake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "frame/records.h"
#include "host/event/projected_waveform.h"
#include "host/event/stimulus.h"

namespace host::event {

struct Signal {
  std::string name;
  signal_record* record = nullptr;
  std::int64_t* value = nullptr;   // effective value; every port on the signal points here
  std::int32_t driver = -1;        // its one source, if any
  std::vector<std::int32_t> wake;  // processes an event on it runs
};

// A process's driver, or one of the kernel's own sources (a stimulus, external values).
struct Driver {
  std::string name;   // "U1.process1.driver0", "stimulus", "external values"
  std::string owner;  // the instance, or the kind of kernel source
  driver_record* record = nullptr;
  std::int32_t signal = -1;
  std::int32_t handle = 0;  // the handle it was first activated with
  ProjectedWaveform waveform;
  std::optional<Stimulus> stimulus;
  bool in_delta_list = false;
};

struct Process {
  std::string name;      // "U1.process1"
  std::string instance;  // "U1"
  process_record* record = nullptr;
  std::vector<std::string> port_names;
  std::int32_t driver_count = -1;  // declared by set_nb_drivers
  std::int32_t driver = -1;
  std::vector<std::int32_t> wake_slots;  // port per slot, -1 while free
  bool slots_allocated = false;
  bool queued = false;
};

}  // namespace host::event
