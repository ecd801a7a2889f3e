// LEVEL_0-ZEB_PAD_RES61: pad resistor, the linear resistor with its resistance at generic 5.
#include "units/analog/resistor.h"

ZEB_ELAB_FUNCS(zeb::analog_unit<zeb::units::linear_resistor<5>>::exports);
