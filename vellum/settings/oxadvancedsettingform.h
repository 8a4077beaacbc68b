// Minimal version of the setting-tool page, to be completed.
#ifndef OXADVANCEDSETTINGFORM_H
#define OXADVANCEDSETTINGFORM_H

#include "scanshortcut.h"

#include <QWidget>

class PMessage;

class OxAdvancedSettingForm : public QWidget
{
    Q_OBJECT
public:
    OxAdvancedSettingForm(PMessage *hub, QWidget *parent = nullptr);

    void updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void connectAllChangeValueControlMessages();
    void disconnectAllChangeValueControlMessages();
    void resetDialogIndex();
    void clickedBtnAbout();

private:
    PMessage *m_hub;
    tagSCAN_SHORTCUT_MENU m_shown;
};

#endif
