// The analog side of the kernel's state that the C services act on: what each object declared
// during its analog elaboration, and, while the engine evaluates, where each object's calls land.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/analog/unit_declarations.h"
#include "host/analog/unit_runtime.h"

namespace host::analog {

class ServiceState {
 public:
  // The declarations of an object (index from 0), created on first use; null for an index < 0.
  UnitDeclarations* declarations(std::int32_t object);
  const UnitDeclarations* find_declarations(std::int32_t object) const;

  // While an analysis runs, the runtime of each of its objects.
  void attach(std::int32_t object, UnitRuntime* runtime);
  void detach_all();
  UnitRuntime* runtime(std::int32_t object) const {
    return object >= 0 && object < static_cast<std::int32_t>(runtimes_.size())
               ? runtimes_[static_cast<std::size_t>(object)]
               : nullptr;
  }
  bool analysing() const { return attached_ > 0; }

  // IS_AC_MODE.
  bool ac_mode = false;
  // While the engine evaluates a unit at a perturbed point to difference it: such an
  // evaluation is no iteration, so watching_on_quantity switches no above signal then.
  bool probing = false;

  // A service call during an analysis that no object can answer (no current object).
  void stray(std::string message) {
    if (stray_.empty()) stray_ = std::move(message);
  }
  const std::string& stray_fault() const { return stray_; }
  void clear_stray() { stray_.clear(); }

 private:
  std::vector<std::unique_ptr<UnitDeclarations>> declarations_;
  std::vector<UnitRuntime*> runtimes_;
  std::int32_t attached_ = 0;
  std::string stray_;
};

}  // namespace host::analog
