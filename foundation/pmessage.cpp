#include "pmessage.h"

PMessage::PMessage(QObject *parent)
    : QObject(parent)
{
    registerMetaTypes();
}

void PMessage::registerMetaTypes()
{
    // Worker threads emit on the hub and GUI-thread receivers get the
    // signals queued: every argument type must be known by name.
    qRegisterMetaType<SCAN_SHORTCUT_MENU *>("SCAN_SHORTCUT_MENU*");
    qRegisterMetaType<InputDocumentFlag>("InputDocumentFlag");
    qRegisterMetaType<PerImageFlag>("PerImageFlag");
    qRegisterMetaType<AdvancedColorCountFlag>("AdvancedColorCountFlag");
    qRegisterMetaType<ImageSizeUnitFlag>("ImageSizeUnitFlag");
    qRegisterMetaType<AdfPaperSourceFlag>("AdfPaperSourceFlag");
    qRegisterMetaType<ColorModeFlag>("ColorModeFlag");
    qRegisterMetaType<SettingToolSideFlag>("SettingToolSideFlag");
    qRegisterMetaType<PreviewQualityFlag>("PreviewQualityFlag");
    qRegisterMetaType<PreviewAutoUpdateFlag>("PreviewAutoUpdateFlag");
    qRegisterMetaType<ImageResolutionFlag>("ImageResolutionFlag");
    qRegisterMetaType<PMessage::CancelOwnerFlag>("PMessage::CancelOwnerFlag");
    qRegisterMetaType<schar>("schar");
    qRegisterMetaType<uchar>("uchar");
}
