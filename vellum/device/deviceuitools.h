#ifndef DEVICEUITOOLS_H
#define DEVICEUITOOLS_H

#include <QBoxLayout>
#include <QWidget>

#include <initializer_list>

// Building blocks of the device pages' widget trees, which are written by
// hand rather than generated.
namespace deviceui {

// A widget with the object name that the pages and the tests look it up by.
template <typename T>
T *named(QWidget *parent, const char *name)
{
    T *w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// The widgets side by side, pushed to the left unless told otherwise.
inline QHBoxLayout *row(std::initializer_list<QWidget *> widgets, bool stretch = true)
{
    auto *l = new QHBoxLayout;
    for (QWidget *w : widgets)
        l->addWidget(w);
    if (stretch)
        l->addStretch();
    return l;
}

} // namespace deviceui

#endif
