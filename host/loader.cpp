#include "host/loader.h"

#include <dlfcn.h>

namespace host {

unsigned filled_slots(const elab_funcs_table& table) {
  unsigned slots = 0;
  if (table.elab_desent) slots |= slot::elab_desent;
  if (table.usr_eval) slots |= slot::usr_eval;
  if (table.code_suprgs) slots |= slot::code_suprgs;
  if (table.ac_code_suprgs) slots |= slot::ac_code_suprgs;
  if (table.ams_elab_tavo) slots |= slot::ams_elab_tavo;
  if (table.ams_each_iter) slots |= slot::ams_each_iter;
  return slots;
}

std::string describe_slots(unsigned slots) {
  std::string text;
  for (int i = 0; i < 6; ++i) {
    if ((slots & (1u << i)) == 0) continue;
    if (!text.empty()) text += ',';
    text += std::to_string(i);
  }
  return text.empty() ? "none" : text;
}

Plugin Loader::open(const std::filesystem::path& path, const std::string& name) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    throw LoadError(path.string() + ": no such plug-in file");
  }
  // RTLD_NOW: a service the host does not provide fails here, not in the middle of a run.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    throw LoadError(path.string() + ": cannot load plug-in: " + (reason ? reason : "unknown"));
  }
  auto* table = static_cast<const elab_funcs_table*>(dlsym(handle, "elab_funcs"));
  if (table == nullptr) {
    dlclose(handle);
    throw LoadError(path.string() + ": not a plug-in: no elab_funcs");
  }
  return {name, path, table};
}

const Plugin& Loader::load(const CatalogEntry& entry) {
  if (auto it = loaded_.find(entry.name); it != loaded_.end()) return it->second;
  const std::string name(entry.name);
  Plugin plugin = open(directory_ / (name + ".so"), name);
  const auto problem = [&](const std::string& what) {
    return LoadError(plugin.path.string() + ": elab_funcs does not fit a " +
                     std::string(kind_name(entry.kind)) + " unit: " + what);
  };
  const unsigned slots = filled_slots(*plugin.table);
  if (slots != entry.slots) {
    throw problem("slots " + describe_slots(slots) + " filled, expected " +
                  describe_slots(entry.slots));
  }
  if (const ams_elab_tavo_table* tavo = plugin.table->ams_elab_tavo) {
    if (!tavo->tavo[0] || !tavo->tavo[1] || !tavo->tavo[2] || tavo->tavo[3] || tavo->tavo[4]) {
      throw problem("ams__elab_tavo must hold three entries and two nulls");
    }
  }
  if (const ams_each_iter_table* iter = plugin.table->ams_each_iter) {
    if (!iter->each_iter || !iter->each_iter_ac || iter->unused) {
      throw problem("ams__each_iter_fct_t must hold two entries and a null");
    }
  }
  return loaded_.emplace(name, std::move(plugin)).first->second;
}

}  // namespace host
