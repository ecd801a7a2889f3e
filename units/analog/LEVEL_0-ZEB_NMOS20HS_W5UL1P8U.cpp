// LEVEL_0-ZEB_NMOS20HS_W5UL1P8U: 20HS N transistor, parameters always of the first corner.
#include "units/analog/mos20hs.h"

ZEB_ELAB_FUNCS(zeb::analog_unit<zeb::units::mos20hs<zeb::units::channel::n, false>>::exports);
