#include "host/elaborate.h"

#include "host/generics.h"
#include "host/kernel.h"

namespace host {

namespace {

void make_current(Instance& instance) {
  Kernel& k = kernel();
  if (instance.object_index < 0) {
    instance.object_index = static_cast<std::int32_t>(k.objects.size());
    k.objects.push_back(instance.record);
  }
  k.current_object = instance.object_index;
}

}  // namespace

void run_phase(Instance& instance, std::int32_t phase) {
  make_current(instance);
  instance.plugin->table->elab_desent(instance.record, phase);
}

void run_process_phase(Instance& instance, std::int32_t number) {
  make_current(instance);
  void* record = number >= 1 && number <= static_cast<std::int32_t>(instance.processes.size())
                     ? static_cast<void*>(instance.processes[number - 1].record)
                     : static_cast<void*>(instance.record);
  instance.plugin->table->elab_desent(record, number);
}

void elaborate(Instance& instance) {
  run_phase(instance, 0);
  if (instance.entry->kind == UnitKind::package) return;
  evaluate_defaults(instance);
  run_phase(instance, -1);
  for (const Process& process : instance.processes) run_process_phase(instance, process.number);
}

}  // namespace host
