#include "tests/runtime/fake_host.h"

#include "frame/host_services.h"

namespace fake_host {

std::vector<Report> reports;
std::vector<DerivCall> deriv_calls;
std::optional<double> deriv_re;
std::optional<double> deriv_im;

void reset() {
  reports.clear();
  deriv_calls.clear();
  deriv_re.reset();
  deriv_im.reset();
}

}  // namespace fake_host

extern "C" {

void ac_gcc_error_message(std::int32_t level, const char* text) {
  fake_host::reports.push_back({level, text});
}

void get_fnz_ac_deriv(std::int32_t handle, double* re, double* im) {
  fake_host::deriv_calls.push_back({handle, *re, *im});
  if (fake_host::deriv_re) *re = *fake_host::deriv_re;
  if (fake_host::deriv_im) *im = *fake_host::deriv_im;
}

}  // extern "C"
