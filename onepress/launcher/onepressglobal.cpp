#include "onepressglobal.h"

// One translation unit fixes the order: the configuration exists before the
// facade.
ConfigFile g_ConfigFile;
Devgate g_Devgate;
