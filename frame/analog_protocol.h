// The analog instance protocol: elaboration of states and matrix, iterations, and the
// end-of-solution callback.
#pragma once

#include "frame/host_services.h"
#include "frame/records.h"

namespace zeb {

template <class Unit>
struct analog_protocol {
  static void ams__elab_tavo_1(instance_record*) {}
  static void ams__elab_tavo_2(instance_record*) {}
  static void ams__elab_tavo_3(instance_record*) {}
  static void ams__compute_explicit(instance_record*) {}
  static void ams__ac_compute_explicit(instance_record*) {}
  static void ams__each_iter(instance_record*, std::int32_t) {}
  static void ams__each_iter_AC(instance_record*, std::int32_t) {}

  // Brings the instance's quantities up to date with the host's final solution.
  static void ams__end_computed(instance_record* instance) {
    vhdl_update_fas_envir(instance->object_index);
    if (IS_AC_MODE() != 0) {
      ams__ac_compute_explicit(instance);
    } else {
      ams__compute_explicit(instance);
    }
  }
};

}  // namespace zeb
