#ifndef CORVANGLOBAL_H
#define CORVANGLOBAL_H

// Symbols are hidden by default in every library of the suite; only what
// crosses a library boundary carries one of these marks.
#define CORVAN_EXPORT __attribute__((visibility("default")))

#define DEVGATE_EXPORT CORVAN_EXPORT
#define VELLUM_EXPORT CORVAN_EXPORT
#define ONEPRESS_EXPORT CORVAN_EXPORT

#endif
