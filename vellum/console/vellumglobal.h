#ifndef VELLUMGLOBAL_H
#define VELLUMGLOBAL_H

#include "configfile.h"
#include "corvanglobal.h"
#include "devgate.h"

// The console library's own configuration and its one facade object. Both
// are built at load, configuration first, and live until the process ends.
// The launcher library exports a g_Devgate of its own: protected visibility
// keeps this library's references on this object (exported all the same).
extern ConfigFile g_VellumCfgFile;
extern __attribute__((visibility("protected"))) Devgate g_Devgate;

#endif
