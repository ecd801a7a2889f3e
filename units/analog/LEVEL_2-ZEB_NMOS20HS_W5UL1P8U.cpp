// LEVEL_2-ZEB_NMOS20HS_W5UL1P8U: 20HS N transistor, corner-selected parameters.
#include "units/analog/mos20hs.h"

ZEB_ELAB_FUNCS(zeb::analog_unit<zeb::units::mos20hs<zeb::units::channel::n, true>>::exports);
