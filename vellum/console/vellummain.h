#ifndef VELLUMMAIN_H
#define VELLUMMAIN_H

#include "corvanglobal.h"

// Runs the console as a program of its own: one instance per user, one
// window, the event loop's exit code (0 when another instance answered).
VELLUM_EXPORT int vellum_main(int argc, char **argv);

extern "C" VELLUM_EXPORT int cdrv_vellum_main(int argc, char **argv);

#endif
