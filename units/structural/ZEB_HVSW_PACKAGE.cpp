// ZEB_HVSW_PACKAGE: structural unit.
#include "units/structural/groups.h"

ZEB_ELAB_FUNCS(zeb::structural_unit<zeb::structural::package>::exports);
