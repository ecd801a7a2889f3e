// Stand-ins for the two host services the runtime calls, recording every call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fake_host {

struct Report {
  std::int32_t level;
  std::string text;
};

// What get_fnz_ac_deriv was called with: the handle and the values it found behind the pointers.
struct DerivCall {
  std::int32_t handle;
  double re;
  double im;
};

extern std::vector<Report> reports;
extern std::vector<DerivCall> deriv_calls;
// The values get_fnz_ac_deriv writes; an empty one leaves its part alone.
extern std::optional<double> deriv_re;
extern std::optional<double> deriv_im;

void reset();

}  // namespace fake_host
