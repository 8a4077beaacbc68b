#include "vellumglobal.h"

// One translation unit fixes the order: the configuration exists before the
// facade that is handed its address.
ConfigFile g_VellumCfgFile;
Devgate g_Devgate;
