// LEVEL_2-ZEB_PAD_TRI: structural unit.
#include "units/structural/groups.h"

ZEB_ELAB_FUNCS(zeb::structural_unit<zeb::structural::pad>::exports);
