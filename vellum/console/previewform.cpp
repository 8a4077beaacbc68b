// Minimal version of the preview widget, to be completed.
#include "previewform.h"

PreviewForm::PreviewForm(PMessage *hub, QWidget *parent)
    : QWidget(parent), m_hub(hub), m_quality(PreviewQualityFlag(0)),
      m_autoUpdate(PreviewAutoUpdateFlag(0)), m_unit(ImageSizeUnitFlag(0))
{
}

void PreviewForm::updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    m_quality = profile.previewQuality;
    m_autoUpdate = profile.previewAutoUpdate;
    m_unit = profile.sizeUnit;
}

void PreviewForm::updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    profile.previewQuality = m_quality;
    profile.previewAutoUpdate = m_autoUpdate;
    profile.sizeUnit = m_unit;
}

bool PreviewForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    return profile.previewQuality == m_quality && profile.previewAutoUpdate == m_autoUpdate
           && profile.sizeUnit == m_unit;
}

void PreviewForm::updateFlatbedType(int) { m_bedLength = 12.08; }
int PreviewForm::getPreviewQuality() { return int(m_quality); }
void PreviewForm::hideControlforDevice() {}
void PreviewForm::settingToolPreviewSize(double, double, double, double, double) {}
void PreviewForm::enableStateChangedRotateAndCenter(bool) {}
