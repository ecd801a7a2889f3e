// LEVEL_2-ZEB_PAD_ANA_BASIC: structural unit.
#include "units/structural/groups.h"

ZEB_ELAB_FUNCS(zeb::structural_unit<zeb::structural::analog_pad>::exports);
