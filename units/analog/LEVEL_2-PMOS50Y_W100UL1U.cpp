// LEVEL_2-PMOS50Y_W100UL1U: 50 V P transistor, corner-selected parameters.
#include "units/analog/mos50v.h"

ZEB_ELAB_FUNCS(zeb::analog_unit<zeb::units::mos50v<zeb::units::channel::p, true>>::exports);
