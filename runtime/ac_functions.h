// The complex small-signal runtime: the operators and functions of the units' AC paths.
#pragma once

#include "frame/ac_value.h"

extern "C" {

ac_value real2complex(double r);

}  // extern "C"
