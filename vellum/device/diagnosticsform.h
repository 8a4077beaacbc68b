#ifndef DIAGNOSTICSFORM_H
#define DIAGNOSTICSFORM_H

#include "scanshortcut.h"

#include <QString>
#include <QWidget>

class PMessage;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTextEdit;
struct tagTIME_DATE_LOCAL;

// The console's maintenance page: device type, scanner test, count-only,
// magnification correction and calibration on its General tab; the device
// report, the operator log and the scan log on its Log tab. It reaches the
// scanner only through the console's facade, on the GUI thread.
class DiagnosticsForm : public QWidget
{
    Q_OBJECT
public:
    DiagnosticsForm(PMessage *hub, QWidget *parent = nullptr);

    bool updateDiagnosePageVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDiagnosePageUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void resetDialogIndex();
    void setModelName(QString name);
    void updatePaperSourceState(int paperSource, QString serial, QString firmware, int flatbedType);

    // The report of the General log view, from the scanner as it answers now.
    // `rc` is the first facade code that was not 0.
    QString deviceReport(int &rc);
    // The report's clock text; a dash when the clock could not be read.
    static QString clockText(const tagTIME_DATE_LOCAL &clock, bool valid);
    // The report's counter lines from the device's counter list.
    static QString counterLines(const QString &counters);

    int adjustingType() const { return m_adjustingType; }

public slots:
    void clickedBtnAbout();
    void clickedBtnHelp();
    void clickedBtnDiagnosticshide();
    void clickedBtnAdjusting();
    void clickedBtnSaveAs();
    void clickedTestScanerBtn();
    void clickedMagnification();
    void clickedReFresh();
    void currentEquipmentChangeGeneralPage(int index);
    void currentItemChangeLog(int index);
    void currentActionChangeLog(int index);
    void changeMagnificationValue();
    void setAdjustingType(int type);

private:
    void buildForm();
    void connectSignals();
    void loadGeneralWording();
    void loadLogWording();
    // Shows the selected log; the first facade code that was not 0.
    int getLogMsg();
    void saveScanLogText();
    QDoubleSpinBox *makeFactorBox(const char *name);

    PMessage *m_hub;
    int m_adjustingType = 1;
    QString m_model;
    QString m_serial;
    QString m_firmware;
    int m_accessoryType = 0;

    QLabel *m_labelDiagnosticsEquipment = nullptr;
    QComboBox *m_comboBoxDiagnosticsEquipment = nullptr;
    QPushButton *m_pushButtonAbout = nullptr;
    QPushButton *m_pushButtonHelp = nullptr;
    QTabWidget *m_tabWidget = nullptr;
    QWidget *m_tabGeneral = nullptr;
    QWidget *m_tabLog = nullptr;
    QGroupBox *m_groupBoxTest = nullptr;
    QPushButton *m_pushButtonScanner = nullptr;
    QCheckBox *m_checkBoxCountOnly = nullptr;
    QGroupBox *m_groupBoxCorrectedMagnification = nullptr;
    QLabel *m_labelFront = nullptr;
    QLabel *m_labelFrontX = nullptr;
    QLabel *m_labelFrontY = nullptr;
    QLabel *m_labelRear = nullptr;
    QLabel *m_labelRearX = nullptr;
    QLabel *m_labelRearY = nullptr;
    QDoubleSpinBox *m_frontX = nullptr;
    QDoubleSpinBox *m_frontY = nullptr;
    QDoubleSpinBox *m_rearX = nullptr;
    QDoubleSpinBox *m_rearY = nullptr;
    QPushButton *m_pushButtonSetUp = nullptr;
    QPushButton *m_pushButtonAdjusting = nullptr;
    QComboBox *m_comboBoxLog = nullptr;
    QPushButton *m_pushButtonSaveAs = nullptr;
    QPushButton *m_pushButtonReFresh = nullptr;
    QTextEdit *m_textEditLog = nullptr;
    QPushButton *m_pushButtonDiagnosticsComplete = nullptr;
};

#endif
