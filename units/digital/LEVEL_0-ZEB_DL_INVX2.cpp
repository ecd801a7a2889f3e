// LEVEL_0-ZEB_DL_INVX2: inverter, zero delay.
#include "units/digital/inverter.h"

ZEB_ELAB_FUNCS(zeb::logic_cell<zeb::cells::inverter<398>>::exports);
