#include "dialoghelpers.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

namespace dialoghelpers {

void centreOnDesktop(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desk = screen->geometry();
    window->move((desk.width() - window->width()) / 2, (desk.height() - window->height()) / 2);
}

void showPicture(QLabel *label, const QString &path)
{
    label->setAlignment(Qt::AlignCenter);
    label->setScaledContents(true);
    QPixmap picture;
    if (picture.load(path))
        label->setPixmap(picture);
    else
        label->clear();
}

} // namespace dialoghelpers
