// LEVEL_0-ZEB_PMOS20HS_W5UL1P8U: 20HS P transistor, the same code as LEVEL_2.
#include "units/analog/mos20hs.h"

ZEB_ELAB_FUNCS(zeb::analog_unit<zeb::units::mos20hs<zeb::units::channel::p, true>>::exports);
