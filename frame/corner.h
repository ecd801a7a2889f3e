// Per-corner tables: three elements indexed by the process corner 0 to 2.
#pragma once

#include <cstdint>

#include "frame/elaboration.h"
#include "frame/host_services.h"

namespace zeb {

// The element at corner index k; an index outside 0 to 2 is reported (code 4 with the
// bounds) and element 0 is used.
inline double corner_element(const double* table, std::int64_t k) {
  if (k < 0 || k > 2) {
    vams_error(error_index, k, std::int64_t{0}, std::int64_t{2});
    k = 0;
  }
  return table[k];
}

}  // namespace zeb
