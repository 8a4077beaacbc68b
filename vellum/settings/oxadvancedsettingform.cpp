#include "oxadvancedsettingform.h"
#include "ui_oxadvancedsettingform.h"

#include "aboutdialog.h"
#include "oxadvancedlengths.h"
#include "pmessage.h"
#include "settingformhelpers.h"

#include <QListWidgetItem>

namespace L = OxAdvancedLengths;
using settingform::storedFlag;

namespace {

constexpr int kPageSizeCount = 23;

bool keepsOriginalSizeAt(int dpi)
{
    return dpi == 75 || dpi == 150 || dpi == 200 || dpi == 300;
}

} // namespace

OxAdvancedSettingForm::OxAdvancedSettingForm(PMessage *hub, QWidget *parent)
    : QWidget(parent), ui(new Ui::OxAdvancedSettingForm), m_hub(hub)
{
    // The pictures live in the library; a program linking it statically
    // would not pull them in otherwise. About and Help show the console's
    // pictures.
    Q_INIT_RESOURCE(console);
    ui->setupUi(this);
    initDialog();
}

OxAdvancedSettingForm::~OxAdvancedSettingForm()
{
    delete ui;
}

void OxAdvancedSettingForm::initDialog()
{
    // Connections come first, so filling the split and length lists runs
    // their handlers: the length group starts disabled, the second length
    // hidden. The combine list stays empty until a profile or an input type.
    connectMessage();
    connectGeneralPageChangeValueControlMessages();
    loadToolOxGeneralPageWording();
    createOxGeneralSplitDoc();
    createOxGeneralLength();
    createOxCombineSite();
    createOxScalingTo();
    loadToolOxSizePageWording();
    // Building the panel is no edit: the notification starts afterwards.
    connectEditNotifications();
    ui->tabWidget->setCurrentIndex(0);
}

void OxAdvancedSettingForm::connectMessage()
{
    connectGeneralPageMessages();
    connectSizePageMessage();
}

void OxAdvancedSettingForm::connectGeneralPageMessages()
{
    connect(ui->pushButtonHide, &QPushButton::clicked, this,
            &OxAdvancedSettingForm::clickedBtnSettingToolHide);
    connect(ui->pushButtonSettingToolAbout, &QPushButton::clicked, this,
            &OxAdvancedSettingForm::clickedBtnAbout);
    connect(ui->pushButtonSettingToolHelp, &QPushButton::clicked, this,
            &OxAdvancedSettingForm::clickedBtnHelp);
    if (!m_hub)
        return;
    connect(m_hub, &PMessage::changedInputDocTypeMainToSettingTool, this,
            &OxAdvancedSettingForm::changeInputDocType);
    connect(m_hub, &PMessage::settingColorModeOx, this,
            &OxAdvancedSettingForm::getSettingColorMode);
    connect(m_hub, &PMessage::changedPaperSource, this, &OxAdvancedSettingForm::changePaperSource);
    connect(m_hub, &PMessage::changedImageSizeUnit, this,
            &OxAdvancedSettingForm::changedImageSizeUnit);
    connect(m_hub, &PMessage::setResolution, this, &OxAdvancedSettingForm::changedResolution);
}

void OxAdvancedSettingForm::connectSizePageMessage()
{
    connect(ui->checkBoxAlignTheSize, &QCheckBox::stateChanged, this,
            &OxAdvancedSettingForm::stateChangeAlignTheSize);
    connect(ui->pushButtonReset, &QPushButton::clicked, this,
            &OxAdvancedSettingForm::clickedBtnReset);
    connect(ui->pushButtonAllSelect, &QPushButton::clicked, this,
            &OxAdvancedSettingForm::clickedBtnAllSelect);
    connect(ui->listWidgetPageSize, &QListWidget::clicked, this,
            &OxAdvancedSettingForm::clickedListWidgetPageSize);
}

void OxAdvancedSettingForm::connectGeneralPageChangeValueControlMessages()
{
    if (!m_changeConnections.isEmpty())
        return;
    using F = OxAdvancedSettingForm;
    auto &c = m_changeConnections;
    const auto combo = QOverload<int>::of(&QComboBox::currentIndexChanged);
    c << connect(ui->comboBoxToolSplitDocOx, combo, this, &F::currentItemChangeToolGeneralSplitDoc);
    c << connect(ui->comboBoxToolLengthOx, combo, this, &F::currentItemChangeToolGeneralLength);
    c << connect(ui->comboBoxCombineType, combo, this, &F::currentItemChangeCombineType);
    c << connect(ui->doubleSpinBoxLengthLeftOx, &QDoubleSpinBox::editingFinished, this,
                 &F::valueChangeLength);
    c << connect(ui->doubleSpinBoxLengthRightOx, &QDoubleSpinBox::editingFinished, this,
                 &F::valueChangeLength);
    for (QCheckBox *box :
         {ui->checkBoxColorOutput, ui->checkBoxGrayOutput, ui->checkBoxBlackWhiteOutput})
        c << connect(box, &QCheckBox::stateChanged, this, &F::stateChangeManyCurrent);
    c << connect(ui->checkBoxSaveSize, &QCheckBox::stateChanged, this, &F::stateChangeSaveSize);
}

void OxAdvancedSettingForm::connectEditNotifications()
{
    // Any change the user can make on either tab counts as an edit.
    if (!m_hub || !m_notifyConnections.isEmpty())
        return;
    const auto combo = QOverload<int>::of(&QComboBox::currentIndexChanged);
    auto &c = m_notifyConnections;
    PMessage *hub = m_hub;
    auto notify = [hub] { emit hub->controlValueChanged(); };
    for (QComboBox *box : {ui->comboBoxCombineType, ui->comboBoxCombineSite, ui->comboBoxScalingTo,
                           ui->comboBoxToolSplitDocOx, ui->comboBoxToolLengthOx})
        c << connect(box, combo, this, notify);
    for (QCheckBox *box :
         {ui->checkBoxColorOutput, ui->checkBoxGrayOutput, ui->checkBoxBlackWhiteOutput,
          ui->checkBoxSaveSize, ui->checkBoxAlignTheSize})
        c << connect(box, &QCheckBox::stateChanged, this, notify);
    for (QDoubleSpinBox *box : {ui->doubleSpinBoxLengthLeftOx, ui->doubleSpinBoxLengthRightOx})
        c << connect(box, &QDoubleSpinBox::editingFinished, this, notify);
    c << connect(ui->listWidgetPageSize, &QListWidget::itemSelectionChanged, this, notify);
}

void OxAdvancedSettingForm::connectAllChangeValueControlMessages()
{
    connectGeneralPageChangeValueControlMessages();
    connectEditNotifications();
}

void OxAdvancedSettingForm::disconnectAllChangeValueControlMessages()
{
    for (const QMetaObject::Connection &c : qAsConst(m_changeConnections))
        disconnect(c);
    m_changeConnections.clear();
    for (const QMetaObject::Connection &c : qAsConst(m_notifyConnections))
        disconnect(c);
    m_notifyConnections.clear();
}

void OxAdvancedSettingForm::resetDialogIndex()
{
    ui->tabWidget->setCurrentIndex(0);
}

void OxAdvancedSettingForm::loadToolOxGeneralPageWording()
{
    ui->tabWidget->setTabText(0, tr("一般"));
    ui->tabWidget->setTabText(1, tr("尺寸"));
    ui->pushButtonHide->setText(tr("完成 (&D)"));
    ui->groupBoxManyCurrentOutput->setTitle(tr("多流输出"));
    ui->checkBoxColorOutput->setText(tr("彩色"));
    ui->checkBoxGrayOutput->setText(tr("灰阶"));
    ui->checkBoxBlackWhiteOutput->setText(tr("黑白"));
    ui->groupBoxImageCombine->setTitle(tr("图像合并"));
    ui->checkBoxSaveSize->setText(tr("保留原大小"));
    ui->labelCombineSite->setText(tr("合并位置:"));
    ui->labelScalingTo->setText(tr("缩放到："));
    ui->groupBoxToolSplitDocOx->setTitle(tr("图像拆分"));
    ui->groupBoxToolLengthOx->setTitle(tr("长度"));
    ui->labelToolLenghtLeftOx->setText(L::unitName(m_unit));
    ui->labelToolLenghtRightOx->setText(L::unitName(m_unit));
}

void OxAdvancedSettingForm::loadToolOxSizePageWording()
{
    ui->groupBoxAliginTheSize->setTitle(tr("对齐大小"));
    ui->checkBoxAlignTheSize->setText(tr("开启"));
    ui->labelPageSize->setText(tr("文档尺寸："));
    ui->pushButtonReset->setText(tr("重设"));
    ui->pushButtonAllSelect->setText(tr("全部选定"));
    static const char *const kSizes[kPageSizeCount] = {
        QT_TR_NOOP("US Ledger - 11 x 17 英寸"),      QT_TR_NOOP("US 规定规格 - 8.5 x 14 英寸"),
        QT_TR_NOOP("US 信函 - 8.5 x 11 英寸"),       QT_TR_NOOP("US Executive - 7.25 x 10.5 英寸"),
        QT_TR_NOOP("US Statement - 5.5 x 8.5 英寸"), QT_TR_NOOP("ISO A3 - 29.7 x 42.0 厘米"),
        QT_TR_NOOP("ISO A4 - 21.0 x 29.7 厘米"),     QT_TR_NOOP("ISO A5 - 14.8 x 21.0 厘米"),
        QT_TR_NOOP("ISO A6 - 10.5 x 14.8 厘米"),     QT_TR_NOOP("ISO A7 - 7.4 x 10.5 厘米"),
        QT_TR_NOOP("ISO B4 - 25.0 x 35.3 厘米"),     QT_TR_NOOP("ISO B5 - 17.6 x 25.0 厘米"),
        QT_TR_NOOP("ISO B6 - 12.5 x 17.6 厘米"),     QT_TR_NOOP("ISO B7 - 8.8 x 12.5 厘米"),
        QT_TR_NOOP("JIS B4 - 25.7 x 36.4 厘米"),     QT_TR_NOOP("JIS B5 - 18.2 x 25.7 厘米"),
        QT_TR_NOOP("JIS B6 - 12.8 x 18.2 厘米"),     QT_TR_NOOP("JIS B7 - 9.1 x 12.8 厘米"),
        QT_TR_NOOP("JIS B8 - 6.4 x 9.1 厘米"),       QT_TR_NOOP("ISO C4 - 22.9 x 32.4 厘米"),
        QT_TR_NOOP("ISO C5 - 16.2 x 22.9 厘米"),     QT_TR_NOOP("ISO C6 - 11.4 x 16.2 厘米"),
        QT_TR_NOOP("ISO C7 - 8.1 x 11.4 厘米")};
    ui->listWidgetPageSize->clear();
    for (const char *text : kSizes)
        ui->listWidgetPageSize->addItem(tr(text));
}

void OxAdvancedSettingForm::createOxGeneralSplitDoc()
{
    ui->comboBoxToolSplitDocOx->clear();
    ui->comboBoxToolSplitDocOx->addItem(tr("(无)"), SplitOff);
    ui->comboBoxToolSplitDocOx->addItem(tr("拆分成 2 个影像"), SplitTwo);
    ui->comboBoxToolSplitDocOx->addItem(tr("拆分成 3 个影像"), SplitThree);
}

void OxAdvancedSettingForm::createOxGeneralLength()
{
    ui->comboBoxToolLengthOx->clear();
    ui->comboBoxToolLengthOx->addItem(tr("小于"), 2);
    ui->comboBoxToolLengthOx->addItem(tr("大于"), 1);
    ui->comboBoxToolLengthOx->addItem(tr("介于"), 0);
}

void OxAdvancedSettingForm::createOxCombineSite()
{
    ui->comboBoxCombineSite->clear();
    ui->comboBoxCombineSite->addItem(tr("正面在上"), 4);
    ui->comboBoxCombineSite->addItem(tr("正面在下"), 1);
    ui->comboBoxCombineSite->addItem(tr("正面在左侧"), 2);
    ui->comboBoxCombineSite->addItem(tr("正面在右侧"), 3);
}

void OxAdvancedSettingForm::createOxScalingTo()
{
    ui->comboBoxScalingTo->clear();
    ui->comboBoxScalingTo->addItem(tr("A3"), CombineScalingA3);
    ui->comboBoxScalingTo->addItem(tr("A4"), CombineScalingA4);
}

void OxAdvancedSettingForm::createOxCombineType(int inputDocument)
{
    ui->comboBoxCombineType->clear();
    ui->comboBoxCombineType->addItem(tr("无"), CombineOff);
    if (inputDocument == InputDocumentBoth) {
        ui->comboBoxCombineType->addItem(tr("正反面合并"), CombineFrontBack);
    } else {
        ui->comboBoxCombineType->addItem(tr("2合1"), CombineTwo);
        ui->comboBoxCombineType->addItem(tr("4合1"), CombineFour);
        ui->comboBoxCombineType->addItem(tr("9合1"), CombineNine);
    }
}

void OxAdvancedSettingForm::showCombineSiteOrScaling(int inputDocument)
{
    const bool bothSides = inputDocument == InputDocumentBoth;
    ui->labelCombineSite->setHidden(!bothSides);
    ui->comboBoxCombineSite->setHidden(!bothSides);
    ui->labelScalingTo->setHidden(bothSides);
    ui->comboBoxScalingTo->setHidden(bothSides);
    ui->checkBoxSaveSize->setHidden(bothSides);
}

void OxAdvancedSettingForm::enableSaveSizeForResolution()
{
    if (keepsOriginalSizeAt(m_resolution)) {
        ui->checkBoxSaveSize->setEnabled(true);
    } else {
        ui->checkBoxSaveSize->setEnabled(false);
        ui->checkBoxSaveSize->setChecked(false);
    }
}

int OxAdvancedSettingForm::checkedStreamCount() const
{
    return int(ui->checkBoxColorOutput->isChecked()) + int(ui->checkBoxGrayOutput->isChecked()) +
           int(ui->checkBoxBlackWhiteOutput->isChecked());
}

double OxAdvancedSettingForm::shownFactor() const
{
    return L::unitFactor(m_unit, m_pixelFactor);
}

// ---- hub and control handlers ----

void OxAdvancedSettingForm::getSettingColorMode(ColorModeFlag colorMode)
{
    QCheckBox *colour = ui->checkBoxColorOutput;
    QCheckBox *gray = ui->checkBoxGrayOutput;
    QCheckBox *blackWhite = ui->checkBoxBlackWhiteOutput;
    colour->setChecked(true);
    switch (colorMode) {
    case ColorModeColor:
        colour->setEnabled(false);
        gray->setChecked(false);
        gray->setEnabled(true);
        blackWhite->setChecked(false);
        blackWhite->setEnabled(true);
        break;
    case ColorModeGray:
        colour->setChecked(false);
        colour->setEnabled(false);
        gray->setChecked(true);
        gray->setEnabled(false);
        blackWhite->setChecked(false);
        blackWhite->setEnabled(true);
        break;
    case ColorModeBlackWhite:
        colour->setChecked(false);
        colour->setEnabled(false);
        gray->setChecked(false);
        gray->setEnabled(false);
        blackWhite->setChecked(true);
        blackWhite->setEnabled(false);
        break;
    default:
        break;
    }
}

void OxAdvancedSettingForm::clickedBtnSettingToolHide()
{
    if (m_hub)
        emit m_hub->hideSettingToolForm();
}

void OxAdvancedSettingForm::changeInputDocType(InputDocumentFlag inputDocId)
{
    if (L::currentData(ui->comboBoxToolSplitDocOx) != SplitOff) {
        ui->comboBoxToolSplitDocOx->setCurrentIndex(0);
        if (L::currentData(ui->comboBoxToolLengthOx) != 2)
            ui->comboBoxToolLengthOx->setCurrentIndex(0);
    }
    m_inputDocument = inputDocId;
    createOxCombineType(inputDocId);
    ui->comboBoxCombineType->setCurrentIndex(0);
    showCombineSiteOrScaling(inputDocId);
    stateChangeManyCurrent();
}

void OxAdvancedSettingForm::currentItemChangeToolGeneralSplitDoc(int)
{
    if (L::currentData(ui->comboBoxToolSplitDocOx) != SplitOff) {
        ui->groupBoxToolLengthOx->setEnabled(true);
        ui->groupBoxImageCombine->setEnabled(false);
    } else {
        ui->groupBoxToolLengthOx->setEnabled(false);
        if (m_paperSource != PaperSourceFlatbed)
            ui->groupBoxImageCombine->setEnabled(true);
    }
}

void OxAdvancedSettingForm::currentItemChangeToolGeneralLength(int)
{
    L::showLengthLabels(L::currentData(ui->comboBoxToolLengthOx), m_unit, ui->labelToolLenghtLeftOx,
                        ui->doubleSpinBoxLengthRightOx, ui->labelToolLenghtRightOx);
}

void OxAdvancedSettingForm::currentItemChangeCombineType(int)
{
    const bool combining = L::currentData(ui->comboBoxCombineType) != CombineOff;
    ui->groupBoxToolSplitDocOx->setEnabled(!combining);
    ui->labelScalingTo->setEnabled(combining);
    ui->labelCombineSite->setEnabled(combining);
    ui->comboBoxScalingTo->setEnabled(combining);
    ui->comboBoxCombineSite->setEnabled(combining);
    if (combining) {
        enableSaveSizeForResolution();
    } else {
        ui->checkBoxSaveSize->setEnabled(false);
        ui->checkBoxSaveSize->setChecked(false);
    }
    showCombineSiteOrScaling(m_inputDocument);
    stateChangeSaveSize();
}

void OxAdvancedSettingForm::changePaperSource(AdfPaperSourceFlag paperSource)
{
    m_paperSource = paperSource;
    if (L::currentData(ui->comboBoxToolSplitDocOx) != SplitOff || checkedStreamCount() != 1)
        return;
    if (paperSource == PaperSourceFlatbed) {
        ui->comboBoxCombineType->setCurrentIndex(0);
        ui->groupBoxImageCombine->setEnabled(false);
    } else {
        ui->groupBoxImageCombine->setEnabled(true);
    }
}

void OxAdvancedSettingForm::changedImageSizeUnit(ImageSizeUnitFlag unit)
{
    const double oldFactor = shownFactor();
    const double left = L::toInches(ui->doubleSpinBoxLengthLeftOx->value(), oldFactor);
    const double right = L::toInches(ui->doubleSpinBoxLengthRightOx->value(), oldFactor);
    if (unit >= UnitCentimetre && unit <= UnitPixel) {
        m_unit = unit;
        const double factor = shownFactor();
        changeUnitSize(left * factor, right * factor);
        changedDoubleSpinboxSingleStep(L::unitStep(m_unit, m_pixelFactor));
    }
    currentItemChangeToolGeneralLength(0);
}

void OxAdvancedSettingForm::changedDoubleSpinboxSingleStep(double step)
{
    ui->doubleSpinBoxLengthLeftOx->setSingleStep(step);
    ui->doubleSpinBoxLengthRightOx->setSingleStep(step);
}

void OxAdvancedSettingForm::changeUnitSize(double lengthLeft, double lengthRight)
{
    ui->doubleSpinBoxLengthLeftOx->setValue(lengthLeft);
    ui->doubleSpinBoxLengthRightOx->setValue(lengthRight);
}

void OxAdvancedSettingForm::stateChangeManyCurrent()
{
    const int count = checkedStreamCount();
    if (count >= 2) {
        ui->comboBoxCombineType->setCurrentIndex(0);
        ui->comboBoxToolSplitDocOx->setCurrentIndex(0);
        ui->groupBoxImageCombine->setEnabled(false);
        ui->groupBoxToolSplitDocOx->setEnabled(false);
    } else {
        // Splitting and combining exclude each other also when the count
        // falls to none: a group opens again only while the other is off.
        const bool splitting = L::currentData(ui->comboBoxToolSplitDocOx) != SplitOff;
        const bool combining = L::currentData(ui->comboBoxCombineType) != CombineOff;
        if (m_paperSource != PaperSourceFlatbed && !splitting)
            ui->groupBoxImageCombine->setEnabled(true);
        if (!combining)
            ui->groupBoxToolSplitDocOx->setEnabled(true);
    }
    if (m_hub)
        emit m_hub->manyCurrentControl(
            ui->checkBoxColorOutput->isChecked(), ui->checkBoxGrayOutput->isChecked(),
            ui->checkBoxBlackWhiteOutput->isChecked(), count, m_inputDocument);
}

void OxAdvancedSettingForm::stateChangeSaveSize()
{
    const int combine = L::currentData(ui->comboBoxCombineType);
    bool shown;
    if (combine == CombineTwo || combine == CombineFour || combine == CombineNine)
        shown = !ui->checkBoxSaveSize->isChecked();
    else if (combine == CombineOff)
        shown = m_inputDocument != InputDocumentBoth;
    else
        shown = false;
    ui->labelScalingTo->setHidden(!shown);
    ui->comboBoxScalingTo->setHidden(!shown);
}

void OxAdvancedSettingForm::changedResolution(ImageResolutionFlag resolution)
{
    const double dpi = L::pixelFactorFor(resolution);
    m_resolution = int(dpi);
    if (m_unit == UnitPixel) {
        const double left = L::toInches(ui->doubleSpinBoxLengthLeftOx->value(), m_pixelFactor);
        const double right = L::toInches(ui->doubleSpinBoxLengthRightOx->value(), m_pixelFactor);
        m_pixelFactor = dpi;
        changeUnitSize(left * dpi, right * dpi);
        changedDoubleSpinboxSingleStep(L::unitStep(UnitPixel, m_pixelFactor));
    } else {
        m_pixelFactor = dpi;
    }
    currentItemChangeToolGeneralLength(0);
    if (L::currentData(ui->comboBoxCombineType) == CombineOff)
        ui->checkBoxSaveSize->setEnabled(false);
    else
        enableSaveSizeForResolution();
}

void OxAdvancedSettingForm::valueChangeLength()
{
    L::boundLengths(ui->doubleSpinBoxLengthLeftOx, ui->doubleSpinBoxLengthRightOx, shownFactor(),
                    17.0, 17.0, true);
}

void OxAdvancedSettingForm::stateChangeAlignTheSize()
{
    const bool on = ui->checkBoxAlignTheSize->isChecked();
    ui->listWidgetPageSize->setHidden(!on);
    ui->pushButtonReset->setHidden(!on);
    ui->pushButtonAllSelect->setHidden(!on);
    ui->labelPageSize->setHidden(!on);
}

void OxAdvancedSettingForm::clickedBtnReset()
{
    QListWidget *list = ui->listWidgetPageSize;
    list->clearSelection();
    list->item(5)->setSelected(true);
    list->item(6)->setSelected(true);
}

void OxAdvancedSettingForm::clickedBtnAllSelect()
{
    ui->listWidgetPageSize->selectAll();
}

void OxAdvancedSettingForm::clickedListWidgetPageSize(const QModelIndex &index)
{
    QListWidget *list = ui->listWidgetPageSize;
    if (list->selectedItems().isEmpty() && index.isValid() && list->item(index.row()))
        list->item(index.row())->setSelected(true);
}

void OxAdvancedSettingForm::clickedBtnHelp()
{
    L::openSettingsGuide();
}

void OxAdvancedSettingForm::clickedBtnAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}

// ---- profile ----

bool OxAdvancedSettingForm::updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    const tagSCAN_SIDE_SETTING &block = profile.sideSettings[0];
    const ImageSizeUnitFlag unit = ImageSizeUnitFlag(L::shownUnit(profile.sizeUnit));
    m_pixelFactor = L::pixelFactorFor(block.resolution);
    m_resolution = int(m_pixelFactor);
    const double factor = L::unitFactor(unit, m_pixelFactor);
    m_inputDocument = profile.inputDocument;
    m_paperSource = profile.paperSource;

    getSettingColorMode(block.colorMode);
    ui->checkBoxColorOutput->setChecked(storedFlag(profile.colorOutput));
    ui->checkBoxGrayOutput->setChecked(storedFlag(profile.grayOutput));
    ui->checkBoxBlackWhiteOutput->setChecked(storedFlag(profile.blackWhiteOutput));

    createOxCombineType(m_inputDocument);
    ui->comboBoxCombineType->setCurrentIndex(0);
    showCombineSiteOrScaling(m_inputDocument);

    L::selectByData(ui->comboBoxCombineType, profile.combineType);
    ui->checkBoxSaveSize->setChecked(storedFlag(profile.saveSize));
    L::selectByData(ui->comboBoxCombineSite, profile.combineSite);
    L::selectByData(ui->comboBoxScalingTo, profile.combineScaling);
    L::selectByData(ui->comboBoxToolSplitDocOx, profile.splitDocumentCount);
    L::selectByData(ui->comboBoxToolLengthOx, profile.splitDocumentLengthMode);

    changeUnitSize(L::finiteLength(profile.lengthLeft) * factor,
                   L::finiteLength(profile.lengthRight) * factor);

    const int combine = L::currentData(ui->comboBoxCombineType);
    if (combine != CombineOff) {
        ui->groupBoxToolSplitDocOx->setEnabled(false);
        ui->labelCombineSite->setEnabled(true);
        ui->comboBoxCombineSite->setEnabled(true);
        ui->labelScalingTo->setEnabled(true);
        ui->comboBoxScalingTo->setEnabled(true);
        // An unusual resolution keeps the stored mark, only greyed out.
        ui->checkBoxSaveSize->setEnabled(keepsOriginalSizeAt(m_resolution));
    } else {
        ui->groupBoxToolSplitDocOx->setEnabled(true);
        ui->checkBoxSaveSize->setEnabled(false);
        ui->labelCombineSite->setEnabled(false);
        ui->comboBoxCombineSite->setEnabled(false);
        ui->labelScalingTo->setEnabled(false);
        ui->comboBoxScalingTo->setEnabled(false);
    }
    stateChangeSaveSize();

    currentItemChangeToolGeneralSplitDoc(0);
    m_unit = unit;
    changedDoubleSpinboxSingleStep(L::unitStep(m_unit, m_pixelFactor));
    currentItemChangeToolGeneralLength(0);

    const int count = checkedStreamCount();
    if (count >= 2) {
        ui->groupBoxImageCombine->setEnabled(false);
        ui->groupBoxToolSplitDocOx->setEnabled(false);
    } else if (count == 1 && profile.splitDocumentCount == SplitOff &&
               m_paperSource == PaperSourceFlatbed) {
        ui->groupBoxImageCombine->setEnabled(false);
    }

    ui->checkBoxAlignTheSize->setChecked(storedFlag(profile.alignTheSize));
    for (int i = 0; i < kPageSizeCount; ++i)
        ui->listWidgetPageSize->item(i)->setSelected(storedFlag(profile.pageSizes[i]));
    stateChangeAlignTheSize();
    return true;
}

// Lengths go back to inches with the factor of the unit the boxes show: the
// record's unit may be one the panel does not know (shown as inches), or the
// preview's unit entry that a write-back put there.
bool OxAdvancedSettingForm::updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    const double factor = shownFactor();

    profile.colorOutput = ui->checkBoxColorOutput->isChecked();
    profile.grayOutput = ui->checkBoxGrayOutput->isChecked();
    profile.blackWhiteOutput = ui->checkBoxBlackWhiteOutput->isChecked();
    profile.combineType = CombineTypeFlag(L::currentData(ui->comboBoxCombineType));
    profile.saveSize = ui->checkBoxSaveSize->isChecked();
    profile.combineSite = ImageMergeModeFlag(L::currentData(ui->comboBoxCombineSite));
    profile.combineScaling = CombineScalingFlag(L::currentData(ui->comboBoxScalingTo));
    profile.splitDocumentCount = SplitDocumentCountFlag(L::currentData(ui->comboBoxToolSplitDocOx));
    profile.splitDocumentLengthMode =
        SplitDocumentLengthModeFlag(L::currentData(ui->comboBoxToolLengthOx));
    profile.lengthLeft = L::toInches(ui->doubleSpinBoxLengthLeftOx->value(), factor);
    profile.lengthRight = L::toInches(ui->doubleSpinBoxLengthRightOx->value(), factor);
    profile.alignTheSize = ui->checkBoxAlignTheSize->isChecked();
    int selected = 0;
    for (int i = 0; i < kPageSizeCount; ++i) {
        const bool on = ui->listWidgetPageSize->item(i)->isSelected();
        profile.pageSizes[i] = on;
        selected += on ? 1 : 0;
    }
    profile.pageSizeCount = selected;
    return true;
}

bool OxAdvancedSettingForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    const double factor = shownFactor();

    if (storedFlag(profile.colorOutput) != ui->checkBoxColorOutput->isChecked() ||
        storedFlag(profile.grayOutput) != ui->checkBoxGrayOutput->isChecked() ||
        storedFlag(profile.blackWhiteOutput) != ui->checkBoxBlackWhiteOutput->isChecked() ||
        profile.combineType != L::currentData(ui->comboBoxCombineType) ||
        storedFlag(profile.saveSize) != ui->checkBoxSaveSize->isChecked() ||
        profile.combineSite != L::currentData(ui->comboBoxCombineSite) ||
        profile.combineScaling != L::currentData(ui->comboBoxScalingTo) ||
        profile.splitDocumentCount != L::currentData(ui->comboBoxToolSplitDocOx) ||
        profile.splitDocumentLengthMode != L::currentData(ui->comboBoxToolLengthOx) ||
        profile.lengthLeft != L::toInches(ui->doubleSpinBoxLengthLeftOx->value(), factor) ||
        profile.lengthRight != L::toInches(ui->doubleSpinBoxLengthRightOx->value(), factor) ||
        storedFlag(profile.alignTheSize) != ui->checkBoxAlignTheSize->isChecked())
        return false;
    for (int i = 0; i < kPageSizeCount; ++i)
        if (storedFlag(profile.pageSizes[i]) != ui->listWidgetPageSize->item(i)->isSelected())
            return false;
    return true;
}
