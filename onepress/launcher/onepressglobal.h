#ifndef ONEPRESSGLOBAL_H
#define ONEPRESSGLOBAL_H

#include "configfile.h"
#include "corvanglobal.h"
#include "devgate.h"

// The launcher library's own configuration and its one facade object, built
// at load, configuration first. The console library exports a g_Devgate of
// its own: ours is protected, so this library's references bind to this
// object whatever else the process has loaded.
extern ConfigFile g_ConfigFile;
extern __attribute__((visibility("protected"))) Devgate g_Devgate;

#endif
