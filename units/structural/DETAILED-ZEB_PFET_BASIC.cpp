// DETAILED-ZEB_PFET_BASIC: structural unit.
#include "units/structural/groups.h"

ZEB_ELAB_FUNCS(zeb::structural_unit<zeb::structural::fet>::exports);
