#ifndef VELLUMGLOBAL_H
#define VELLUMGLOBAL_H

#include "configfile.h"
#include "corvanglobal.h"
#include "devgate.h"

// The console library's own configuration and its one facade object. Both
// are built at load, configuration first, and live until the process ends.
extern ConfigFile g_VellumCfgFile;
extern VELLUM_EXPORT Devgate g_Devgate;

#endif
