// LEVEL_0-PMOS50Y_W100UL1U: 50 V P transistor.
#include "units/analog/mos50v.h"

ZEB_ELAB_FUNCS(zeb::analog_unit<zeb::units::mos50v<zeb::units::channel::p, false>>::exports);
