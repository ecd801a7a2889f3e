// MONITOR-ZEB_MONITOR_SUPPLY_20V: structural unit.
#include "units/structural/groups.h"

ZEB_ELAB_FUNCS(zeb::structural_unit<zeb::structural::monitor>::exports);
