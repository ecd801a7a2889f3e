// Allocation and report services.
#include <cstdarg>
#include <string>

#include "frame/host_services.h"
#include "host/kernel.h"

using host::kernel;

extern "C" {

void* vams_calloc(std::size_t count, std::size_t size) {
  kernel().trace.call("vams_calloc", static_cast<std::uint64_t>(count),
                      static_cast<std::uint64_t>(size));
  return kernel().memory.allocate_zeroed(count, size);
}

void* vams_malloc(std::size_t size) {
  kernel().trace.call("vams_malloc", static_cast<std::uint64_t>(size));
  return kernel().memory.allocate(size);
}

void* vams_realloc(void* block, std::size_t size) {
  kernel().trace.call("vams_realloc", block, static_cast<std::uint64_t>(size));
  return kernel().memory.reallocate(block, size);
}

void vams_error(std::int32_t code, ...) {
  host::Report report{code, {}, {}};
  std::va_list arguments;
  va_start(arguments, code);
  switch (code) {
    case 6: {  // state count: declared, stored
      const int declared = va_arg(arguments, int);
      const int stored = va_arg(arguments, int);
      report.arguments = {declared, stored};
      report.text = "state count " + std::to_string(stored) + " stored, " +
                    std::to_string(declared) + " declared";
      break;
    }
    case 4: {  // index, low bound, high bound
      const auto index = va_arg(arguments, std::int64_t);
      const auto low = va_arg(arguments, std::int64_t);
      const auto high = va_arg(arguments, std::int64_t);
      report.arguments = {index, low, high};
      report.text = "index " + std::to_string(index) + " outside " + std::to_string(low) + " to " +
                    std::to_string(high);
      break;
    }
    default:
      report.text = "error " + std::to_string(code);
      break;
  }
  va_end(arguments);
  auto& trace = kernel().trace;
  if (trace.enabled()) {
    std::string call = "vams_error(" + std::to_string(code);
    for (std::int64_t a : report.arguments) call += ", " + std::to_string(a);
    trace.record(call + ")");
  }
  kernel().reports.push_back(std::move(report));
}

void ac_gcc_error_message(std::int32_t level, const char* text) {
  kernel().trace.call("ac_gcc_error_message", level, host::Trace::string_argument{text});
  kernel().reports.push_back({0, {level}, text});
}

}  // extern "C"
