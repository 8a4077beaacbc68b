#ifndef DIALOGHELPERS_H
#define DIALOGHELPERS_H

class QLabel;
class QString;
class QWidget;

namespace dialoghelpers {

// Moves a window to the middle of the desktop: (desktop - window) / 2 on
// each axis, integer division.
void centreOnDesktop(QWidget *window);
// Shows a picture centred and scaled to the label; an unreadable file leaves
// the label empty.
void showPicture(QLabel *label, const QString &path);

} // namespace dialoghelpers

#endif
