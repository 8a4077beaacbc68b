#include "customslider.h"

#include <QMouseEvent>

#include <cmath>

CustomSlider::CustomSlider(QWidget *parent) : QSlider(parent), m_value(0) {}

int CustomSlider::valueAt(int x) const
{
    const int w = width();
    if (w <= 0)
        return value();
    // 64 bits: a range over the whole int span must not overflow.
    const qint64 span = qint64(maximum()) - qint64(minimum());
    double v = minimum() + double(x) / double(w) * double(span);
    if (v > maximum())
        v = maximum();
    if (v < minimum())
        v = minimum();
    // Halves round up on the positive side only; negative values truncate
    // toward zero, so a press just left of the centre of -10..10 gives 0.
    if (v >= 0)
        return int(v + 0.5);
    return int(v);
}

static int eventX(const QMouseEvent *event)
{
    return int(std::lround(event->localPos().x()));
}

void CustomSlider::mousePressEvent(QMouseEvent *event)
{
    // A slider without width has no position to map from: nothing changes.
    if (event->button() != Qt::LeftButton || width() <= 0)
        return;
    QSlider::mousePressEvent(event);
    m_value = valueAt(eventX(event));
    setValue(m_value);
}

void CustomSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || width() <= 0)
        return;
    QSlider::mouseReleaseEvent(event);
    m_value = valueAt(eventX(event));
    setValue(m_value);
    emit sliderValueChange(m_value);
}

void CustomSlider::mouseMoveEvent(QMouseEvent *event)
{
    // Move events carry no button of their own, only the held ones: a drag
    // therefore never reaches the base class and the handle stays put.
    if (event->button() == Qt::LeftButton)
        QSlider::mouseMoveEvent(event);
}
