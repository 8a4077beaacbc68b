// Minimal version of the device settings page, to be completed.
#ifndef DEVICEFORM_H
#define DEVICEFORM_H

#include "scanshortcut.h"

#include <QWidget>

class PMessage;
class PreviewForm;

class DeviceForm : public QWidget
{
    Q_OBJECT
public:
    DeviceForm(PMessage *hub, QWidget *parent = nullptr);

    void updateDeviceVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void updateDeviceUIcontrolToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void connectAllChangeValueControlMessages();
    void disconnectAllChangeValueControlMessages();
    void resetDialogIndex();
    void updatePaperSourceState(int paperSource);
    void updateStampIndexAndCounter(tagSCAN_SHORTCUT_MENU &profile);

public slots:
    void imageAreaChangeMulLength(int imageType, double height);
    void currentImageHeightChange(double height);

private:
    PMessage *m_hub;
    PreviewForm *m_preview;
    tagSCAN_SHORTCUT_MENU m_shown;
    int m_paperSource = 0;
    int m_imageType = 0;
    double m_height = 0;
};

#endif
