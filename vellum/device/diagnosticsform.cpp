// Minimal version of the diagnostics page, to be completed.
#include "diagnosticsform.h"

#include "aboutdialog.h"

#include <cstddef>
#include <cstring>

namespace {
// The diagnostics group: device type to the log selector.
constexpr std::size_t kBegin = offsetof(tagSCAN_SHORTCUT_MENU, diagnosticsEquipment);
constexpr std::size_t kEnd = offsetof(tagSCAN_SHORTCUT_MENU, activeFeed);
}

DiagnosticsForm::DiagnosticsForm(PMessage *hub, QWidget *parent) : QWidget(parent), m_hub(hub)
{
    zeroScanShortcut(m_shown);
}

void DiagnosticsForm::updateDiagnosePageVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    m_shown = profile;
}

void DiagnosticsForm::updateDiagnosePageUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    std::memcpy(reinterpret_cast<char *>(&profile) + kBegin,
                reinterpret_cast<const char *>(&m_shown) + kBegin, kEnd - kBegin);
}

bool DiagnosticsForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    return std::memcmp(reinterpret_cast<const char *>(&profile) + kBegin,
                       reinterpret_cast<const char *>(&m_shown) + kBegin, kEnd - kBegin)
           == 0;
}

void DiagnosticsForm::resetDialogIndex() {}
void DiagnosticsForm::setModelName(QString name) { m_model = name; }

void DiagnosticsForm::updatePaperSourceState(int paperSource, QString serial, QString firmware,
                                             int flatbedType)
{
    m_paperSource = paperSource;
    m_serial = serial;
    m_firmware = firmware;
    m_flatbedType = flatbedType;
}

void DiagnosticsForm::clickedBtnAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}
