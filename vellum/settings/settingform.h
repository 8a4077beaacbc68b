// Minimal version of the scan settings page, to be completed.
#ifndef SETTINGFORM_H
#define SETTINGFORM_H

#include "scanshortcut.h"

#include <QWidget>

class PMessage;
class PreviewForm;

class SettingForm : public QWidget
{
    Q_OBJECT
public:
    SettingForm(PMessage *hub, QWidget *parent = nullptr);

    void updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    int updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void connectAllChangeValueControlMessages();
    void disconnectAllChangeValueControlMessages();
    void resetDialogIndex();
    int getcurrentIndex();
    void updateFlatbedType(int flatbedType);
    int judgeSettingIsReasonable(tagSCAN_SHORTCUT_MENU profile);

private:
    PMessage *m_hub;
    PreviewForm *m_preview;
    tagSCAN_SHORTCUT_MENU m_shown;
    bool m_connected = false;
    int m_flatbedType = 0;
};

#endif
