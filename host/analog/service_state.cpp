#include "host/analog/service_state.h"

namespace host::analog {

UnitDeclarations* ServiceState::declarations(std::int32_t object) {
  if (object < 0) return nullptr;
  const auto index = static_cast<std::size_t>(object);
  if (declarations_.size() <= index) declarations_.resize(index + 1);
  if (!declarations_[index]) declarations_[index] = std::make_unique<UnitDeclarations>();
  return declarations_[index].get();
}

const UnitDeclarations* ServiceState::find_declarations(std::int32_t object) const {
  if (object < 0 || object >= static_cast<std::int32_t>(declarations_.size())) return nullptr;
  return declarations_[static_cast<std::size_t>(object)].get();
}

void ServiceState::attach(std::int32_t object, UnitRuntime* runtime) {
  const auto index = static_cast<std::size_t>(object);
  if (runtimes_.size() <= index) runtimes_.resize(index + 1, nullptr);
  if (runtimes_[index] == nullptr && runtime != nullptr) ++attached_;
  runtimes_[index] = runtime;
}

void ServiceState::detach_all() {
  runtimes_.assign(runtimes_.size(), nullptr);
  attached_ = 0;
  ac_mode = false;
  stray_.clear();
}

}  // namespace host::analog
