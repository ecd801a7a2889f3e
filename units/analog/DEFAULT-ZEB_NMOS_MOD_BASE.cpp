// DEFAULT-ZEB_NMOS_MOD_BASE: N MOS base unit.
#include "units/analog/mos_base.h"

ZEB_ELAB_FUNCS(zeb::analog_unit<zeb::units::mos_base<zeb::units::channel::n>>::exports);
