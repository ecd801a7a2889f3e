// LEVEL_0-ZEB_RES_2P: linear resistor, resistance at generic 18.
#include "units/analog/resistor.h"

ZEB_ELAB_FUNCS(zeb::analog_unit<zeb::units::linear_resistor<18>>::exports);
