// The tables a plug-in exports: elab_funcs and the analog tables it points to.
#pragma once

#include <cstdint>

#include "frame/records.h"

using elab_desent_fn = void (*)(void* record, std::int32_t phase);
using usr_eval_fn = void (*)(std::int32_t request, void* result, range_record** range_out);
// Entries of code_suprgs and ac_code_suprgs; each is called through its own signature.
using subprogram_fn = void (*)();
using instance_fn = void (*)(instance_record*);
using each_iter_fn = void (*)(instance_record*, std::int32_t flag);

// ams__elab_tavo: ams__elab_tavo_1, _2, _3, then two null slots.
struct ams_elab_tavo_table {
  instance_fn tavo[5];
};

// ams__each_iter_fct_t: ams__each_iter, ams__each_iter_AC, then a null slot.
struct ams_each_iter_table {
  each_iter_fn each_iter;
  each_iter_fn each_iter_ac;
  void* unused;
};

// elab_funcs: exactly six pointer slots.
struct elab_funcs_table {
  elab_desent_fn elab_desent;                // 0 every unit
  usr_eval_fn usr_eval;                      // 1 units with computed generic defaults
  const subprogram_fn* code_suprgs;          // 2 units with a subprogram
  const subprogram_fn* ac_code_suprgs;       // 3 as slot 2
  const ams_elab_tavo_table* ams_elab_tavo;  // 4 analog units
  const ams_each_iter_table* ams_each_iter;  // 5 analog units
};

static_assert(sizeof(elab_funcs_table) == 6 * sizeof(void*));
static_assert(sizeof(ams_elab_tavo_table) == 5 * sizeof(void*));
static_assert(sizeof(ams_each_iter_table) == 3 * sizeof(void*));
