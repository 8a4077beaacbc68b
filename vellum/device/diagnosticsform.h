// Minimal version of the diagnostics page, to be completed.
#ifndef DIAGNOSTICSFORM_H
#define DIAGNOSTICSFORM_H

#include "scanshortcut.h"

#include <QString>
#include <QWidget>

class PMessage;

class DiagnosticsForm : public QWidget
{
    Q_OBJECT
public:
    DiagnosticsForm(PMessage *hub, QWidget *parent = nullptr);

    void updateDiagnosePageVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void updateDiagnosePageUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void resetDialogIndex();
    void setModelName(QString name);
    void updatePaperSourceState(int paperSource, QString serial, QString firmware,
                                int flatbedType);
    void clickedBtnAbout();

private:
    PMessage *m_hub;
    tagSCAN_SHORTCUT_MENU m_shown;
    QString m_model;
    QString m_serial;
    QString m_firmware;
    int m_paperSource = 0;
    int m_flatbedType = 0;
};

#endif
