#include "diagnosticsform.h"

#include "aboutdialog.h"
#include "adjustingdialog.h"
#include "devicelogpackage.h"
#include "devicesaveasdialog.h"
#include "errorhandling.h"
#include "filehelper.h"
#include "pmessage.h"
#include "smallrecords.h"
#include "vellumglobal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr double kFactorScale = 10000.0;
constexpr int kScanLogPosition = 2;

// Counter lines of the report: the device's own label (the first N
// characters of its line) replaced by ours.
struct CounterRow
{
    int line;
    int labelLength;
    const char *label;
    bool hours;
};
const CounterRow kCounterRows[] = {
    {2, 31, "开机:", true},           {3, 31, "传送:", true},        {4, 35, "正面灯管:", true},
    {5, 35, "背面灯管:", true},       {6, 37, "扫描总页数:", false}, {7, 35, "首次扫描:", false},
    {32, 39, "重张进纸计数:", false},
};

// The report's captions with the blanks that carry their values to one
// column, a Chinese character counted as two.
const char *const kReportCaptions[] = {
    "版本信息:             ", "扫描仪机型:           ", "序列号:               ",
    "固件:                 ", "附件:                 ", "日期 / 时间:          "};

// The first font in which those captions are equally wide (a fixed-pitch font
// whose Chinese glyphs are two Latin ones wide), at the size of the given one;
// the given font when the desktop has none.
QFont reportFont(const QFont &base)
{
    const QFontDatabase fonts;
    for (const QString &family : fonts.families(QFontDatabase::SimplifiedChinese)) {
        QFont font(family);
        font.setPointSizeF(base.pointSizeF());
        const QFontMetrics metrics(font);
        const int width = metrics.horizontalAdvance(QString::fromUtf8(kReportCaptions[0]));
        bool aligned = true;
        for (const char *caption : kReportCaptions)
            aligned = aligned && metrics.horizontalAdvance(QString::fromUtf8(caption)) == width;
        if (aligned)
            return font;
    }
    return base;
}

// A value the scanner has not given yet.
QString shown(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("—") : value;
}

void selectByData(QComboBox *box, int value)
{
    const int index = box->findData(value);
    if (index >= 0)
        box->setCurrentIndex(index);
}

} // namespace

DiagnosticsForm::DiagnosticsForm(PMessage *hub, QWidget *parent) : QWidget(parent), m_hub(hub)
{
    buildForm();
    // Connections first: filling the combo boxes below runs their handlers
    // once, which builds the first report.
    connectSignals();
    m_pushButtonDiagnosticsComplete->setText(tr("完成"));
    m_comboBoxDiagnosticsEquipment->addItem(tr("文档进纸器"), int(DiagnosticsFeeder));
    m_comboBoxDiagnosticsEquipment->addItem(tr("平板"), int(DiagnosticsFlatbed));
    loadGeneralWording();
    loadLogWording();
    if (!QFileInfo::exists(g_VellumCfgFile.m_strScanLogFile))
        m_textEditLog->clear();
    m_adjustingType = 1;
    m_tabWidget->setCurrentIndex(0);
}

QDoubleSpinBox *DiagnosticsForm::makeFactorBox(const char *name)
{
    auto *box = new QDoubleSpinBox(m_groupBoxCorrectedMagnification);
    box->setObjectName(name);
    box->setFixedSize(130, 20);
    return box;
}

void DiagnosticsForm::buildForm()
{
    setObjectName("DiagnosticsForm");
    m_labelDiagnosticsEquipment = new QLabel(this);
    m_labelDiagnosticsEquipment->setObjectName("labelDiagnosticsEquipment");
    m_comboBoxDiagnosticsEquipment = new QComboBox(this);
    m_comboBoxDiagnosticsEquipment->setObjectName("comboBoxDiagnosticsEquipment");
    m_comboBoxDiagnosticsEquipment->setMinimumSize(221, 21);
    m_pushButtonAbout = new QPushButton(this);
    m_pushButtonAbout->setObjectName("pushButtonAbout");
    m_pushButtonAbout->setFixedSize(24, 24);
    m_pushButtonHelp = new QPushButton(this);
    m_pushButtonHelp->setObjectName("pushButtonHelp");
    m_pushButtonHelp->setFixedSize(24, 24);
    m_tabWidget = new QTabWidget(this);
    m_tabWidget->setObjectName("tabWidget");
    m_tabWidget->setMinimumSize(793, 530);
    m_tabGeneral = new QWidget;
    m_tabGeneral->setObjectName("tabDiagnosticsGeneralPage");
    m_tabLog = new QWidget;
    m_tabLog->setObjectName("tabDiagnosticsLogPage");
    m_tabWidget->addTab(m_tabGeneral, QString());
    m_tabWidget->addTab(m_tabLog, QString());
    m_pushButtonDiagnosticsComplete = new QPushButton(this);
    m_pushButtonDiagnosticsComplete->setObjectName("pushButtonDiagnosticsComplete");

    // General tab.
    m_groupBoxTest = new QGroupBox(m_tabGeneral);
    m_groupBoxTest->setObjectName("groupBoxTest");
    m_pushButtonScanner = new QPushButton(m_groupBoxTest);
    m_pushButtonScanner->setObjectName("pushButtonScanner");
    m_checkBoxCountOnly = new QCheckBox(m_groupBoxTest);
    m_checkBoxCountOnly->setObjectName("checkBoxCountOnly");
    auto *testLayout = new QVBoxLayout(m_groupBoxTest);
    testLayout->addWidget(m_pushButtonScanner, 0, Qt::AlignLeft);
    testLayout->addWidget(m_checkBoxCountOnly);

    m_groupBoxCorrectedMagnification = new QGroupBox(m_tabGeneral);
    m_groupBoxCorrectedMagnification->setObjectName("groupBoxCorrectedMagnification");
    m_labelFront = new QLabel(m_groupBoxCorrectedMagnification);
    m_labelFront->setObjectName("labelFront");
    m_labelFrontX = new QLabel(m_groupBoxCorrectedMagnification);
    m_labelFrontX->setObjectName("labelFrontX");
    m_labelFrontY = new QLabel(m_groupBoxCorrectedMagnification);
    m_labelFrontY->setObjectName("labelFrontY");
    m_labelRear = new QLabel(m_groupBoxCorrectedMagnification);
    m_labelRear->setObjectName("labelRear");
    m_labelRearX = new QLabel(m_groupBoxCorrectedMagnification);
    m_labelRearX->setObjectName("labelRearX");
    m_labelRearY = new QLabel(m_groupBoxCorrectedMagnification);
    m_labelRearY->setObjectName("labelRearY");
    m_frontX = makeFactorBox("doubleSpinBoxFrontX");
    m_frontY = makeFactorBox("doubleSpinBoxFrontY");
    m_rearX = makeFactorBox("doubleSpinBoxRearX");
    m_rearY = makeFactorBox("doubleSpinBoxRearY");
    m_pushButtonSetUp = new QPushButton(m_groupBoxCorrectedMagnification);
    m_pushButtonSetUp->setObjectName("pushButtonSetUp");
    m_pushButtonSetUp->setFixedSize(64, 23);
    auto *mag = new QGridLayout(m_groupBoxCorrectedMagnification);
    mag->addWidget(m_labelFront, 0, 0);
    mag->addWidget(m_labelFrontX, 0, 1);
    mag->addWidget(m_frontX, 0, 2);
    mag->addWidget(m_labelFrontY, 0, 3);
    mag->addWidget(m_frontY, 0, 4);
    mag->addWidget(m_labelRear, 1, 0);
    mag->addWidget(m_labelRearX, 1, 1);
    mag->addWidget(m_rearX, 1, 2);
    mag->addWidget(m_labelRearY, 1, 3);
    mag->addWidget(m_rearY, 1, 4);
    mag->addWidget(m_pushButtonSetUp, 2, 4, Qt::AlignRight);
    mag->setColumnStretch(5, 1);

    m_pushButtonAdjusting = new QPushButton(m_tabGeneral);
    m_pushButtonAdjusting->setObjectName("pushButtonAdjusting");
    m_pushButtonAdjusting->setFixedSize(125, 23);
    auto *general = new QVBoxLayout(m_tabGeneral);
    general->addWidget(m_groupBoxTest);
    general->addWidget(m_groupBoxCorrectedMagnification);
    general->addWidget(m_pushButtonAdjusting, 0, Qt::AlignLeft);
    general->addStretch();

    // Log tab.
    m_comboBoxLog = new QComboBox(m_tabLog);
    m_comboBoxLog->setObjectName("comboBoxLog");
    m_pushButtonSaveAs = new QPushButton(m_tabLog);
    m_pushButtonSaveAs->setObjectName("pushButtonSaveAs");
    m_pushButtonReFresh = new QPushButton(m_tabLog);
    m_pushButtonReFresh->setObjectName("pushButtonReFresh");
    m_textEditLog = new QTextEdit(m_tabLog);
    m_textEditLog->setObjectName("textEditLog");
    auto *logBar = new QHBoxLayout;
    logBar->addWidget(m_comboBoxLog);
    logBar->addWidget(m_pushButtonSaveAs);
    logBar->addWidget(m_pushButtonReFresh);
    logBar->addStretch();
    auto *log = new QVBoxLayout(m_tabLog);
    log->addLayout(logBar);
    log->addWidget(m_textEditLog);

    auto *top = new QHBoxLayout;
    top->addWidget(m_labelDiagnosticsEquipment);
    top->addWidget(m_comboBoxDiagnosticsEquipment);
    top->addStretch();
    top->addWidget(m_pushButtonAbout);
    top->addWidget(m_pushButtonHelp);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_pushButtonDiagnosticsComplete);
    auto *page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(m_tabWidget);
    page->addLayout(bottom);
}

void DiagnosticsForm::connectSignals()
{
    connect(m_pushButtonDiagnosticsComplete, &QPushButton::clicked, this,
            &DiagnosticsForm::clickedBtnDiagnosticshide);
    connect(m_pushButtonAdjusting, &QPushButton::clicked, this,
            &DiagnosticsForm::clickedBtnAdjusting);
    connect(m_pushButtonSaveAs, &QPushButton::clicked, this, &DiagnosticsForm::clickedBtnSaveAs);
    connect(m_comboBoxDiagnosticsEquipment, QOverload<int>::of(&QComboBox::currentIndexChanged),
            this, &DiagnosticsForm::currentEquipmentChangeGeneralPage);
    connect(m_pushButtonScanner, &QPushButton::clicked, this,
            &DiagnosticsForm::clickedTestScanerBtn);
    connect(m_pushButtonSetUp, &QPushButton::clicked, this, &DiagnosticsForm::clickedMagnification);
    connect(m_pushButtonReFresh, &QPushButton::clicked, this, &DiagnosticsForm::clickedReFresh);
    connect(m_pushButtonAbout, &QPushButton::clicked, this, &DiagnosticsForm::clickedBtnAbout);
    connect(m_pushButtonHelp, &QPushButton::clicked, this, &DiagnosticsForm::clickedBtnHelp);
    connect(m_comboBoxLog, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DiagnosticsForm::currentItemChangeLog);
    connect(m_tabWidget, &QTabWidget::tabBarClicked, this,
            &DiagnosticsForm::currentActionChangeLog);
    if (!m_hub)
        return;
    connect(m_hub, &PMessage::calibrateEnsureBtn, this, &DiagnosticsForm::setAdjustingType);
    // Edits count as changes of the profile, as on the device page.
    const auto changed = [this] { emit m_hub->controlValueChanged(); };
    connect(m_checkBoxCountOnly, &QCheckBox::toggled, this, changed);
    for (QDoubleSpinBox *box : {m_frontX, m_frontY, m_rearX, m_rearY})
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    connect(m_comboBoxDiagnosticsEquipment, QOverload<int>::of(&QComboBox::currentIndexChanged),
            this, changed);
    connect(m_comboBoxLog, QOverload<int>::of(&QComboBox::currentIndexChanged), this, changed);
}

void DiagnosticsForm::loadGeneralWording()
{
    m_labelDiagnosticsEquipment->setText(tr("设备："));
    m_tabWidget->setTabText(0, tr("一般"));
    m_tabGeneral->setWindowTitle(tr("一般"));
    m_groupBoxTest->setTitle(tr("测试 (&T)"));
    m_pushButtonScanner->setText(tr("扫描仪..."));
    m_checkBoxCountOnly->setText(tr("仅做计数"));
    m_groupBoxCorrectedMagnification->setTitle(tr("修正放大倍率 (&G)"));
    m_labelFront->setText(tr("正面"));
    m_labelFrontX->setText(tr("X："));
    m_labelFrontY->setText(tr("Y："));
    m_labelRear->setText(tr("背面"));
    m_labelRearX->setText(tr("X："));
    m_labelRearY->setText(tr("Y："));
    m_pushButtonSetUp->setText(tr("设置"));
    m_pushButtonAdjusting->setText(tr("校准 (&C)..."));
    m_pushButtonAbout->setStyleSheet(
        "QPushButton#pushButtonAbout{border-image:url(:/ui/images/about.png)}");
    m_pushButtonHelp->setStyleSheet(
        "QPushButton#pushButtonHelp{border-image:url(:/ui/images/help.png)}");
    for (QDoubleSpinBox *box : {m_frontX, m_frontY, m_rearX, m_rearY}) {
        box->setDecimals(4);
        box->setRange(0.5, 2.0);
        box->setSingleStep(0.0001);
        box->setValue(1.0); // no correction until a profile is shown
    }
}

void DiagnosticsForm::loadLogWording()
{
    m_tabWidget->setTabText(1, tr("日志"));
    m_tabLog->setWindowTitle(tr("日志"));
    m_comboBoxLog->addItem(tr("一般"), int(DiagnosticsLogGeneral));
    m_comboBoxLog->addItem(tr("操作员"), int(DiagnosticsLogOperator));
    m_comboBoxLog->addItem(tr("扫描日志"), int(DiagnosticsLogScan));
    m_pushButtonSaveAs->setIcon(QIcon(":/ui/images/save-as.png"));
    m_pushButtonSaveAs->setToolTip(tr("另存为"));
    m_pushButtonReFresh->setIcon(QIcon(":/ui/images/resume.png"));
    m_pushButtonReFresh->setToolTip(tr("刷新"));
    m_textEditLog->setReadOnly(true);
    m_textEditLog->setFont(reportFont(m_textEditLog->font()));
}

// --- profile exchange -------------------------------------------------------------

bool DiagnosticsForm::updateDiagnosePageVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    selectByData(m_comboBoxDiagnosticsEquipment, int(profile.diagnosticsEquipment));
    m_checkBoxCountOnly->setChecked(profile.countOnly);
    m_frontX->setValue(profile.frontX / kFactorScale);
    m_frontY->setValue(profile.frontY / kFactorScale);
    m_rearX->setValue(profile.rearX / kFactorScale);
    m_rearY->setValue(profile.rearY / kFactorScale);
    selectByData(m_comboBoxLog, int(profile.diagnosticsLog));
    return true;
}

bool DiagnosticsForm::updateDiagnosePageUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    profile.diagnosticsEquipment =
        DiagnosticsEquipmentFlag(m_comboBoxDiagnosticsEquipment->currentData().toInt());
    profile.frontX = m_frontX->value() * kFactorScale;
    profile.frontY = m_frontY->value() * kFactorScale;
    profile.rearX = m_rearX->value() * kFactorScale;
    profile.rearY = m_rearY->value() * kFactorScale;
    profile.countOnly = m_checkBoxCountOnly->isChecked();
    profile.diagnosticsLog = DiagnosticsLogFlag(m_comboBoxLog->currentData().toInt());
    return true;
}

bool DiagnosticsForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    return profile.frontX == m_frontX->value() * kFactorScale &&
           profile.frontY == m_frontY->value() * kFactorScale &&
           profile.rearX == m_rearX->value() * kFactorScale &&
           profile.rearY == m_rearY->value() * kFactorScale &&
           profile.countOnly == m_checkBoxCountOnly->isChecked();
}

void DiagnosticsForm::resetDialogIndex()
{
    m_tabWidget->setCurrentIndex(0);
}

void DiagnosticsForm::setModelName(QString name)
{
    m_model = name;
}

void DiagnosticsForm::updatePaperSourceState(int paperSource, QString serial, QString firmware,
                                             int flatbedType)
{
    m_labelDiagnosticsEquipment->setEnabled(paperSource != 1);
    m_comboBoxDiagnosticsEquipment->setEnabled(paperSource != 1);
    m_serial = serial;
    m_firmware = firmware;
    m_accessoryType = flatbedType;
}

// --- General tab ------------------------------------------------------------------

void DiagnosticsForm::currentEquipmentChangeGeneralPage(int index)
{
    const bool feeder =
        m_comboBoxDiagnosticsEquipment->itemData(index).toInt() == DiagnosticsFeeder;
    const bool flatbed =
        m_comboBoxDiagnosticsEquipment->itemData(index).toInt() == DiagnosticsFlatbed;
    if (!feeder && !flatbed)
        return;
    m_groupBoxCorrectedMagnification->setHidden(flatbed);
    m_pushButtonAdjusting->setHidden(flatbed);
    m_pushButtonScanner->setHidden(flatbed);
}

void DiagnosticsForm::clickedTestScanerBtn()
{
    // The box tells what the test found, so the test runs first.
    const int rc = g_Devgate.testScanner();
    if (rc == 0)
        ErrorHandling::informationMessage(this, tr("扫描仪..."), tr("扫描仪测试成功"));
    else
        ErrorHandling::criticalMessage(this, rc, tr("扫描仪..."));
}

void DiagnosticsForm::clickedMagnification()
{
    const int rc = g_Devgate.magnification(m_frontX->value(), m_frontY->value(), m_rearX->value(),
                                           m_rearY->value(), m_hub);
    if (rc != 0)
        ErrorHandling::criticalMessage(this, rc, tr("设置"));
}

void DiagnosticsForm::clickedBtnAdjusting()
{
    AdjustingDialog dialog(m_adjustingType, m_hub, this);
    connect(&dialog, &AdjustingDialog::changeMagnification, this,
            &DiagnosticsForm::changeMagnificationValue);
    dialog.exec();
}

void DiagnosticsForm::changeMagnificationValue()
{
    for (QDoubleSpinBox *box : {m_frontX, m_frontY, m_rearX, m_rearY})
        box->setValue(1.0);
}

void DiagnosticsForm::setAdjustingType(int type)
{
    m_adjustingType = type;
}

void DiagnosticsForm::clickedBtnDiagnosticshide()
{
    if (m_hub)
        emit m_hub->hideDiagnosticsForm();
}

void DiagnosticsForm::clickedBtnAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void DiagnosticsForm::clickedBtnHelp()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(g_VellumCfgFile.m_strSettingsGuideFile));
}

// --- Log tab ----------------------------------------------------------------------

QString DiagnosticsForm::clockText(const tagTIME_DATE_LOCAL &clock, bool valid)
{
    if (!valid)
        return QStringLiteral("—");
    return QString("%1/%2/%3 %4:%5")
        .arg(clock.year)
        .arg(clock.month)
        .arg(clock.day)
        .arg(clock.hour)
        .arg(clock.minute);
}

QString DiagnosticsForm::counterLines(const QString &counters)
{
    const QStringList lines = counters.split('\n', Qt::KeepEmptyParts);
    QString out;
    for (const CounterRow &row : kCounterRows) {
        if (row.line >= lines.size())
            continue;
        QString line = tr(row.label) + lines.at(row.line).mid(row.labelLength);
        if (row.hours)
            line += QStringLiteral(" ") + tr("小时");
        out += line + "\n";
    }
    return out;
}

QString DiagnosticsForm::deviceReport(int &rc)
{
    rc = 0;
    QString report;
    report += QString("Corvan %1 Scanners\n\n").arg(m_model);
    report += QString("%1             %2.%3.%4%5\n\n")
                  .arg(tr("版本信息:"), QStringLiteral("5"), QStringLiteral("0"),
                       QStringLiteral("13"), QString());
    report += QString("扫描仪机型:           %1 (USBSCAN/2.0)\n").arg(shown(m_model));
    report += QString("序列号:               %1\n").arg(shown(m_serial));
    report += QString("固件:                 %1\n").arg(shown(m_firmware));
    if (m_accessoryType == 3)
        report += QString("附件:                 QF-%1\n").arg(300);
    else if (m_accessoryType == 2)
        report += QString("附件:                 QF-%1\n").arg(200);

    tagTIME_DATE_LOCAL clock;
    const int clockRc = g_Devgate.timeDateLocal(clock);
    if (clockRc != 0)
        clock = tagTIME_DATE_LOCAL();
    report +=
        QString("\n") + QString("日期 / 时间:          ") + clockText(clock, clockRc == 0) + "\n";

    int counterRc = 0;
    const QString counters = devicelog::readText(5, counterRc);
    report += counterLines(counters);
    rc = clockRc != 0 ? clockRc : counterRc;
    return report;
}

int DiagnosticsForm::getLogMsg()
{
    int rc = 0;
    switch (m_comboBoxLog->currentData().toInt()) {
    case DiagnosticsLogOperator:
        m_textEditLog->setPlainText(devicelog::readText(0, rc));
        break;
    case DiagnosticsLogScan: {
        QFile file(g_VellumCfgFile.m_strScanLogFile);
        QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const int nul = bytes.indexOf('\0');
        if (nul >= 0)
            bytes.truncate(nul);
        m_textEditLog->setPlainText(QString::fromUtf8(bytes));
        break;
    }
    case DiagnosticsLogGeneral:
        m_textEditLog->setPlainText(deviceReport(rc));
        break;
    default:
        break;
    }
    return rc;
}

void DiagnosticsForm::currentItemChangeLog(int index)
{
    Q_UNUSED(index)
    getLogMsg();
}

void DiagnosticsForm::currentActionChangeLog(int index)
{
    Q_UNUSED(index)
    getLogMsg();
}

void DiagnosticsForm::clickedReFresh()
{
    const int rc = getLogMsg();
    if (rc == 0)
        ErrorHandling::informationMessage(this, tr("刷新日志"), tr("刷新成功!"));
    else
        ErrorHandling::criticalMessage(this, rc, tr("刷新日志"));
}

void DiagnosticsForm::saveScanLogText()
{
    QFileDialog dialog(this, tr("另存为"), QString(), tr("Corvan log file(*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile("cvscanlog");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    const QByteArray text = m_textEditLog->toPlainText().toUtf8();
    // Replaced only once the new text is complete: a failure keeps the old file.
    if (!FileHelper::replaceFile(path, text))
        ErrorHandling::criticalMessage(this, RC_FILE_CREATE_FAILED, tr("另存为"));
}

void DiagnosticsForm::clickedBtnSaveAs()
{
    if (m_comboBoxLog->currentIndex() == kScanLogPosition) {
        saveScanLogText();
        return;
    }
    DeviceSaveAsDialog dialog(this);
    dialog.exec();
}
