// LEVEL_2-NMOSI50Y_W100UL0U5: 50 V N transistor, corner-selected parameters.
#include "units/analog/mos50v.h"

ZEB_ELAB_FUNCS(zeb::analog_unit<zeb::units::mos50v<zeb::units::channel::n, true>>::exports);
