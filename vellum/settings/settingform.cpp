// Minimal version of the scan settings page, to be completed.
#include "settingform.h"

#include "previewform.h"

#include <cstring>

SettingForm::SettingForm(PMessage *hub, QWidget *parent) : QWidget(parent), m_hub(hub)
{
    zeroScanShortcut(m_shown);
    m_preview = new PreviewForm(hub, this);
}

void SettingForm::updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    m_shown = profile;
    m_preview->updateVariableToUIControl(profile);
}

int SettingForm::updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    std::memcpy(profile.sideSettings, m_shown.sideSettings, sizeof(profile.sideSettings));
    profile.sideStream = m_shown.sideStream;
    m_preview->updateUIControlToVariable(profile);
    return 1;
}

bool SettingForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    return std::memcmp(profile.sideSettings, m_shown.sideSettings, sizeof(profile.sideSettings)) == 0
           && profile.sideStream == m_shown.sideStream
           && m_preview->compareVariableAndUIControl(profile);
}

void SettingForm::connectAllChangeValueControlMessages() { m_connected = true; }
void SettingForm::disconnectAllChangeValueControlMessages() { m_connected = false; }
void SettingForm::resetDialogIndex() {}
int SettingForm::getcurrentIndex() { return 0; }

void SettingForm::updateFlatbedType(int flatbedType)
{
    m_flatbedType = flatbedType;
    m_preview->updateFlatbedType(flatbedType);
}

int SettingForm::judgeSettingIsReasonable(tagSCAN_SHORTCUT_MENU profile)
{
    Q_UNUSED(profile)
    return 0;
}
