#include "processfile.h"

#include "generatefilename.h"
#include "taskshortcut.h"

// Document writers not in place yet: the run fails and says so.
int ProcessFile::saveOcrPdfInOneFile(tagTASK_SHORTCUT &, GenerateFileName &) { fail(-50); finishSaver(); return -50; }
int ProcessFile::saveOcrOnePageOneFile(tagTASK_SHORTCUT &, GenerateFileName &) { fail(-50); finishSaver(); return -50; }
int ProcessFile::saveOfdFile(tagTASK_SHORTCUT &, GenerateFileName &) { fail(-50); finishSaver(); return -50; }
int ProcessFile::saveTxtFile(tagTASK_SHORTCUT &, GenerateFileName &) { fail(-50); finishSaver(); return -50; }
