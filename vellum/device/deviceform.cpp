// Minimal version of the device settings page, to be completed.
#include "deviceform.h"

#include "previewform.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace {
// The device page's fields: General and Transport up to the counter, then the
// feed and multifeed group, then the imprinter block.
struct Range { std::size_t begin, end; };
constexpr Range kRanges[] = {
    {offsetof(tagSCAN_SHORTCUT_MENU, paperSource), offsetof(tagSCAN_SHORTCUT_MENU, diagnosticsEquipment)},
    {offsetof(tagSCAN_SHORTCUT_MENU, activeFeed), offsetof(tagSCAN_SHORTCUT_MENU, padding2590)},
    {offsetof(tagSCAN_SHORTCUT_MENU, stampConfig), offsetof(tagSCAN_SHORTCUT_MENU, reserved4418)},
};
}

DeviceForm::DeviceForm(PMessage *hub, QWidget *parent) : QWidget(parent), m_hub(hub)
{
    zeroScanShortcut(m_shown);
    m_preview = new PreviewForm(hub, this);
    m_preview->hideControlforDevice();
}

void DeviceForm::updateDeviceVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    m_shown = profile;
    m_preview->updateVariableToUIControl(profile);
}

void DeviceForm::updateDeviceUIcontrolToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    for (const Range &r : kRanges)
        std::memcpy(reinterpret_cast<char *>(&profile) + r.begin,
                    reinterpret_cast<const char *>(&m_shown) + r.begin, r.end - r.begin);
}

bool DeviceForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    for (const Range &r : kRanges)
        if (std::memcmp(reinterpret_cast<const char *>(&profile) + r.begin,
                        reinterpret_cast<const char *>(&m_shown) + r.begin, r.end - r.begin))
            return false;
    return true;
}

void DeviceForm::connectAllChangeValueControlMessages() {}
void DeviceForm::disconnectAllChangeValueControlMessages() {}
void DeviceForm::resetDialogIndex() {}

void DeviceForm::updatePaperSourceState(int paperSource) { m_paperSource = paperSource; }

void DeviceForm::updateStampIndexAndCounter(tagSCAN_SHORTCUT_MENU &profile)
{
    profile.stampCounter = m_shown.stampCounter;
}

void DeviceForm::imageAreaChangeMulLength(int imageType, double height)
{
    m_imageType = imageType;
    m_height = std::round(height * 100) / 100;
}

void DeviceForm::currentImageHeightChange(double height)
{
    m_height = std::round(height * 100) / 100;
}
