// Minimal version of the setting-tool page, to be completed.
#include "oxadvancedsettingform.h"

#include "aboutdialog.h"

#include <cstddef>
#include <cstring>

namespace {
// The panel's fields run from the colour output switch to the page-size count.
constexpr std::size_t kBegin = offsetof(tagSCAN_SHORTCUT_MENU, colorOutput);
constexpr std::size_t kEnd = offsetof(tagSCAN_SHORTCUT_MENU, imageToolSettings);
}

OxAdvancedSettingForm::OxAdvancedSettingForm(PMessage *hub, QWidget *parent)
    : QWidget(parent), m_hub(hub)
{
    zeroScanShortcut(m_shown);
}

void OxAdvancedSettingForm::updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    m_shown = profile;
}

void OxAdvancedSettingForm::updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    std::memcpy(reinterpret_cast<char *>(&profile) + kBegin,
                reinterpret_cast<const char *>(&m_shown) + kBegin, kEnd - kBegin);
}

bool OxAdvancedSettingForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    return std::memcmp(reinterpret_cast<const char *>(&profile) + kBegin,
                       reinterpret_cast<const char *>(&m_shown) + kBegin, kEnd - kBegin)
           == 0;
}

void OxAdvancedSettingForm::connectAllChangeValueControlMessages() {}
void OxAdvancedSettingForm::disconnectAllChangeValueControlMessages() {}
void OxAdvancedSettingForm::resetDialogIndex() {}

void OxAdvancedSettingForm::clickedBtnAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}
