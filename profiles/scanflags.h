#ifndef SCANFLAGS_H
#define SCANFLAGS_H

// The profile record's enumerations; the hub's signals carry them too, so
// they are defined in the foundation.
#include "scanenums.h"

#endif
