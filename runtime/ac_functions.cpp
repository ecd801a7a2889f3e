#include "runtime/ac_functions.h"

extern "C" {

ac_value real2complex(double r) { return {r, 0.0}; }

}  // extern "C"
