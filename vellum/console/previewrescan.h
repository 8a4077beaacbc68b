#ifndef PREVIEWRESCAN_H
#define PREVIEWRESCAN_H

class PMessage;
class QWidget;

namespace preview {

// A setting changed that the preview picture on show no longer reflects:
// asks whether to scan the preview again. Either answer puts the console
// back into preview mode; Yes also starts the scan. The callers decide
// whether to ask at all (once per picture, never while a profile loads).
void askRescan(QWidget *parent, PMessage *hub);

} // namespace preview

#endif
