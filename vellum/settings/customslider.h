#ifndef CUSTOMSLIDER_H
#define CUSTOMSLIDER_H

#include <QSlider>

class QMouseEvent;

// A horizontal slider whose handle jumps to the point the user presses, and
// which reports the chosen value once, when the left button is released.
// Dragging does not move the handle: the value follows the press point and
// then the release point.
class CustomSlider : public QSlider
{
    Q_OBJECT
public:
    explicit CustomSlider(QWidget *parent = nullptr);

    // The value a left press or release at local x gives (exposed for tests).
    int valueAt(int x) const;

signals:
    void sliderValueChange(int value);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    int m_value;
};

#endif
