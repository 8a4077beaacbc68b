#include "settingtoolform.h"
#include "ui_settingtoolform.h"

#include "aboutdialog.h"
#include "imagetoolrecord.h"
#include "oxadvancedlengths.h"
#include "pmessage.h"
#include "settingtoolcontentform.h"

#include <QMenu>

namespace L = OxAdvancedLengths;

namespace {

// The image tool form shows pixels at a fixed 200 per inch, whatever the
// scan resolution.
constexpr double kPixelFactor = 200.0;

bool flag(quint8 byte)
{
    return byte != 0;
}

struct ComboItem
{
    QString text;
    int data;
};

void fillCombo(QComboBox *box, std::initializer_list<ComboItem> items)
{
    box->clear();
    for (const ComboItem &item : items)
        box->addItem(item.text, item.data);
}

} // namespace

SettingToolForm::SettingToolForm(PMessage *hub, QWidget *parent)
    : QWidget(parent), ui(new Ui::SettingToolForm), m_hub(hub)
{
    // The pictures live in the library; a program linking it statically
    // would not pull them in otherwise. The colour-mode pictures are the
    // settings form's, the list buttons', About's and Help's the console's.
    Q_INIT_RESOURCE(imagetools);
    Q_INIT_RESOURCE(settings);
    Q_INIT_RESOURCE(console);
    ui->setupUi(this);
    m_colorMode = KindColor;
    m_unit = UnitCentimetre;
    m_sides[Front] = {ui->listWidgetImagesFront,
                      ui->groupBoxImagesToConfigureFront,
                      ui->pushButtonImagesFrontAdd,
                      ui->pushButtonImagesFrontChange,
                      ui->toolButtonImagesFrontDelete,
                      ui->pushButtonImagesFrontUp,
                      ui->pushButtonImagesFrontDown,
                      nullptr,
                      nullptr};
    m_sides[Back] = {ui->listWidgetImagesBack,
                     ui->groupBoxImagesToConfigureBack,
                     ui->pushButtonImagesBackAdd,
                     ui->pushButtonImagesBackChange,
                     ui->toolButtonImagesBackDelete,
                     ui->pushButtonImagesBackUp,
                     ui->pushButtonImagesBackDown,
                     nullptr,
                     nullptr};
    m_contentForm = new SettingToolContentForm(hub, this);
    m_contentForm->hide();
    initDialog();
}

SettingToolForm::~SettingToolForm()
{
    delete ui;
}

void SettingToolForm::initDialog()
{
    connectMessage();
    loadToolGeneralPageWording();
    createToolGeneralInputDoc();
    createToolGeneralSleevedDoc();
    createToolGeneralSplitDoc();
    createToolGeneralLength();
    loadToolImagePageWording();
    createToolImageCombine();
    createToolImagePerImage();
    createPerImageList();
    createPerImageFrontAddButton();
    createPerImageFrontChangeButton();
    createPerImageBackAddButton();
    createPerImageBackChangeButton();
    ui->tabWidgetTool->setCurrentIndex(0);
}

void SettingToolForm::connectMessage()
{
    connect(ui->pushButtonHide, &QPushButton::clicked, this,
            &SettingToolForm::clickedBtnSettingToolHide);
    connectGeneralPageMessages();
    connectImagePageMessages();
    if (!m_hub)
        return;
    // The paper source arrives once: its handler only sets states, a second
    // run would change nothing.
    connect(m_hub, &PMessage::saveAdvancedSetting, this, &SettingToolForm::saveLearn);
    connect(m_hub, &PMessage::changedImageSizeUnit, this, &SettingToolForm::changedImageSizeUnit);
}

void SettingToolForm::connectGeneralPageMessages()
{
    if (!m_hub)
        return;
    connect(m_hub, &PMessage::changedInputDocTypeMainToSettingTool, this,
            &SettingToolForm::changeInputDocType);
    connect(m_hub, &PMessage::changedPaperSource, this, &SettingToolForm::changePaperSource);
    connect(m_hub, &PMessage::settingColorMode, this, &SettingToolForm::getSettingColorMode);
}

void SettingToolForm::connectGeneralPageChangeValueControlMessages()
{
    if (!m_generalConnections.isEmpty())
        return;
    const auto combo = QOverload<int>::of(&QComboBox::currentIndexChanged);
    auto &c = m_generalConnections;
    c << connect(ui->comboBoxToolInputDoc, combo, this,
                 &SettingToolForm::currentItemChangeToolGeneralInputDoc);
    c << connect(ui->comboBoxToolSleevedDoc, combo, this,
                 &SettingToolForm::currentItemChangeToolGeneralSleevedDoc);
    c << connect(ui->comboBoxToolSplitDoc, combo, this,
                 &SettingToolForm::currentItemChangeToolGeneralSplitDoc);
    c << connect(ui->comboBoxToolLength, combo, this,
                 &SettingToolForm::currentItemChangeToolGeneralLength);
    c << connect(ui->doubleSpinBoxLengthLeft, &QDoubleSpinBox::editingFinished, this,
                 &SettingToolForm::valueChangeLength);
    c << connect(ui->doubleSpinBoxLengthRight, &QDoubleSpinBox::editingFinished, this,
                 &SettingToolForm::valueChangeLength);
}

void SettingToolForm::disconnectGeneralPageChangeValueControlMessages()
{
    dropConnections(m_generalConnections);
}

void SettingToolForm::dropConnections(QList<QMetaObject::Connection> &connections)
{
    for (const QMetaObject::Connection &c : qAsConst(connections))
        disconnect(c);
    connections.clear();
}

void SettingToolForm::connectAllChangeValueControlMessages()
{
    connectGeneralPageChangeValueControlMessages();
    connectImagePageChangeValueControlMessages();
}

void SettingToolForm::disconnectAllChangeValueControlMessages()
{
    disconnectGeneralPageChangeValueControlMessages();
    disconnectImagePageChangeValueControlMessages();
}

void SettingToolForm::resetDialogIndex()
{
    ui->tabWidgetTool->setCurrentIndex(0);
}

void SettingToolForm::updatePaperSourceState(int paperSource)
{
    if (paperSource == 1)
        ui->groupBoxFlatbedScanType->hide();
    else if (paperSource == 3)
        ui->groupBoxFlatbedScanType->show();
}

void SettingToolForm::loadToolGeneralPageWording()
{
    ui->tabWidgetTool->setTabText(0, tr("一般"));
    ui->groupBoxToolDocFeeder->setTitle(tr("文档送纸器 (&F)"));
    ui->labelToolInputDoc->setText(tr("输入文件是 (&I)："));
    ui->labelToolPlaceDoc->setText(tr("向下放置文档"));
    ui->groupBoxToolSleevedDoc->setTitle(tr("有封套的文档是"));
    ui->checkBoxToolDetectMulDoc->setText(tr("检测多个文档"));
    ui->groupBoxFlatbedScanType->setTitle(tr("平板扫描仪扫描的文档是 (&L)"));
    ui->checkBoxFlatbedMultipleDoc->setText(tr("多个文档"));
    ui->groupBoxToolSplitDoc->setTitle(tr("拆分文档 (&S)"));
    ui->groupBoxToolLength->setTitle(tr("长度"));
    ui->pushButtonHide->setText(tr("完成 (&D)"));
    ui->labelToolLenghtLeft->setText(L::unitName(m_unit));
    ui->labelToolLenghtRight->setText(L::unitName(m_unit));
}

void SettingToolForm::createToolGeneralInputDoc()
{
    fillCombo(ui->comboBoxToolInputDoc,
              {{tr("双面"), 2}, {tr("单面 - 正面"), 0}, {tr("单面 - 背面"), 1}});
}

void SettingToolForm::createToolGeneralSleevedDoc()
{
    fillCombo(ui->comboBoxToolSleevedDoc, {{tr("(无)"), 0},
                                           {tr("折叠"), 1},
                                           {tr("双面"), 4},
                                           {tr("单面 - 正面"), 2},
                                           {tr("单面 - 背面"), 3}});
}

void SettingToolForm::createToolGeneralSplitDoc()
{
    fillCombo(ui->comboBoxToolSplitDoc,
              {{tr("(无)"), 0}, {tr("拆分成 2 个影像"), 2}, {tr("拆分成 3 个影像"), 3}});
}

void SettingToolForm::createToolGeneralLength()
{
    fillCombo(ui->comboBoxToolLength, {{tr("小于"), 2}, {tr("大于"), 1}, {tr("介于"), 0}});
}

int SettingToolForm::inputData() const
{
    return L::currentData(ui->comboBoxToolInputDoc);
}

int SettingToolForm::sleevedData() const
{
    return L::currentData(ui->comboBoxToolSleevedDoc);
}

int SettingToolForm::splitData() const
{
    return L::currentData(ui->comboBoxToolSplitDoc);
}

int SettingToolForm::perImageData() const
{
    return L::currentData(ui->comboBoxImagesPerSide);
}

double SettingToolForm::shownFactor() const
{
    return L::unitFactor(m_unit, kPixelFactor);
}

void SettingToolForm::setCombineEnabled(bool enabled)
{
    ui->labelCombineFrontAndBack->setEnabled(enabled);
    ui->comboBoxCombineFrontAndBack->setEnabled(enabled);
}

void SettingToolForm::showContentTab()
{
    if (ui->tabWidgetTool->indexOf(m_contentForm) < 0)
        ui->tabWidgetTool->addTab(m_contentForm, tr("内容设置"));
}

void SettingToolForm::removeContentTab()
{
    if (ui->tabWidgetTool->count() > 2)
        ui->tabWidgetTool->removeTab(2);
}

// ---- General page handlers ----

void SettingToolForm::currentItemChangeToolGeneralInputDoc(int)
{
    const int input = inputData();
    const int sleeved = sleevedData();
    const bool different = ui->checkBoxFrontAndBackDidderent->isChecked();
    if (input == InputDocumentBoth) {
        setCombineEnabled(sleeved == 0 || sleeved == 1);
        ui->checkBoxFrontAndBackDidderent->setEnabled(true);
        removeContentTab();
        currentItemChangeToolImagePerImage(0);
        if (m_hub)
            emit m_hub->changedInputDocTypeSettingToolToMain(InputDocumentBoth, different);
    } else {
        const bool front = input == InputDocumentFront;
        if (sleeved != 0)
            ui->comboBoxToolSleevedDoc->setCurrentIndex(front ? 3 : 4);
        ui->checkBoxFrontAndBackDidderent->setEnabled(false);
        removeContentTab();
        currentItemChangeToolImagePerImage(0);
        if (m_hub)
            emit m_hub->changedInputDocTypeSettingToolToMain(
                front ? InputDocumentFront : InputDocumentBack, different);
        setCombineEnabled(false);
    }
    createTwoSideOrFrontOrBackMessage();
}

void SettingToolForm::currentItemChangeToolGeneralSleevedDoc(int)
{
    const int input = inputData();
    switch (sleevedData()) {
    case 0:
        setCombineEnabled(input == InputDocumentBoth);
        ui->checkBoxToolDetectMulDoc->setEnabled(false);
        ui->groupBoxToolSplitDoc->setEnabled(true);
        ui->comboBoxToolSplitDoc->setEnabled(true);
        break;
    case 1:
        ui->groupBoxToolSplitDoc->setEnabled(false);
        ui->checkBoxToolDetectMulDoc->setEnabled(false);
        ui->comboBoxToolInputDoc->setCurrentIndex(0);
        ui->checkBoxFrontAndBackDidderent->setChecked(false);
        ui->comboBoxImagesPerSide->setCurrentIndex(0);
        setCombineEnabled(true);
        break;
    case 2:
    case 3:
        if (input == InputDocumentFront || input == InputDocumentBack)
            ui->comboBoxToolInputDoc->setCurrentIndex(sleevedData() == 2 ? 1 : 2);
        ui->groupBoxToolSplitDoc->setEnabled(true);
        ui->checkBoxToolDetectMulDoc->setEnabled(true);
        setCombineEnabled(false);
        break;
    case 4:
        ui->comboBoxToolInputDoc->setCurrentIndex(0);
        ui->groupBoxToolSplitDoc->setEnabled(true);
        ui->checkBoxToolDetectMulDoc->setEnabled(true);
        setCombineEnabled(false);
        break;
    default:
        break;
    }
}

void SettingToolForm::currentItemChangeToolGeneralSplitDoc(int)
{
    if (splitData() != 0) {
        ui->groupBoxToolLength->setEnabled(true);
        setCombineEnabled(false);
    } else {
        const int sleeved = sleevedData();
        if (inputData() == InputDocumentBoth && (sleeved == 0 || sleeved == 1))
            setCombineEnabled(perImageData() == 0);
        ui->groupBoxToolLength->setEnabled(false);
    }
}

void SettingToolForm::currentItemChangeToolGeneralLength(int)
{
    L::showLengthLabels(L::currentData(ui->comboBoxToolLength), m_unit, ui->labelToolLenghtLeft,
                        ui->doubleSpinBoxLengthRight, ui->labelToolLenghtRight);
}

void SettingToolForm::valueChangeLength()
{
    L::boundLengths(ui->doubleSpinBoxLengthLeft, ui->doubleSpinBoxLengthRight, shownFactor(), 14.0,
                    8.6, false);
}

void SettingToolForm::changedImageSizeUnit(ImageSizeUnitFlag ImageSizeUnitID)
{
    const double oldFactor = shownFactor();
    const double left = L::toInches(ui->doubleSpinBoxLengthLeft->value(), oldFactor);
    const double right = L::toInches(ui->doubleSpinBoxLengthRight->value(), oldFactor);
    if (ImageSizeUnitID >= UnitCentimetre && ImageSizeUnitID <= UnitPixel) {
        m_unit = ImageSizeUnitID;
        changeUnitSize(left * shownFactor(), right * shownFactor());
    }
    changedDoubleSpinboxSingleStep(L::unitStep(m_unit, kPixelFactor));
    currentItemChangeToolGeneralLength(0);
}

void SettingToolForm::changedDoubleSpinboxSingleStep(double unit)
{
    ui->doubleSpinBoxLengthLeft->setSingleStep(unit);
    ui->doubleSpinBoxLengthRight->setSingleStep(unit);
}

void SettingToolForm::changeUnitSize(double LengthLeft, double LengthRight)
{
    ui->doubleSpinBoxLengthLeft->setValue(LengthLeft);
    ui->doubleSpinBoxLengthRight->setValue(LengthRight);
}

void SettingToolForm::changePaperSource(AdfPaperSourceFlag AdfPaperSourceID)
{
    switch (AdfPaperSourceID) {
    case PaperSourceFeeder:
        ui->comboBoxToolInputDoc->setEnabled(true);
        ui->groupBoxToolSleevedDoc->setEnabled(true);
        ui->checkBoxFlatbedMultipleDoc->setEnabled(false);
        ui->checkBoxFlatbedMultipleDoc->setChecked(false);
        break;
    case PaperSourceFlatbed:
        ui->comboBoxToolInputDoc->setCurrentIndex(1);
        ui->comboBoxToolInputDoc->setEnabled(false);
        ui->groupBoxToolSleevedDoc->setEnabled(false);
        ui->checkBoxFlatbedMultipleDoc->setEnabled(true);
        break;
    case PaperSourceAutomatic:
        ui->comboBoxToolInputDoc->setEnabled(true);
        ui->groupBoxToolSleevedDoc->setEnabled(false);
        ui->checkBoxFlatbedMultipleDoc->setEnabled(true);
        break;
    default:
        break;
    }
}

void SettingToolForm::changeInputDocType(InputDocumentFlag inputDocId)
{
    switch (inputDocId) {
    case InputDocumentFront:
        ui->comboBoxToolInputDoc->setCurrentIndex(1);
        break;
    case InputDocumentBack:
        ui->comboBoxToolInputDoc->setCurrentIndex(2);
        break;
    case InputDocumentBoth:
        ui->comboBoxToolInputDoc->setCurrentIndex(0);
        break;
    default:
        break;
    }
}

void SettingToolForm::clickedBtnSettingToolHide()
{
    createTwoSideOrFrontOrBackMessage();
    if (m_hub)
        emit m_hub->hideSettingToolForm();
}

void SettingToolForm::clickedBtnHelp()
{
    L::openSettingsGuide();
}

void SettingToolForm::clickedBtnAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void SettingToolForm::saveLearn()
{
    currentItemChangeToolImagePerImage(0);
    createTwoSideOrFrontOrBackMessage();
    ui->tabWidgetTool->setCurrentIndex(2);
}

// ---- profile fields ----

bool SettingToolForm::updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    const ImageToolSettings s = readImageToolSettings(profile);
    // The form definition's own third page is never used.
    if (QWidget *unused = ui->tabWidgetTool->findChild<QWidget *>("tabToolContentSetting")) {
        const int index = ui->tabWidgetTool->indexOf(unused);
        if (index >= 0)
            ui->tabWidgetTool->removeTab(index);
    }
    L::selectByData(ui->comboBoxToolInputDoc, s.inputDocument);
    L::selectByData(ui->comboBoxToolSleevedDoc, s.sleevedDocument);
    ui->checkBoxToolDetectMulDoc->setChecked(flag(s.detectMultipleDocuments));
    ui->checkBoxFlatbedMultipleDoc->setChecked(flag(s.flatbedMultipleDocuments));
    L::selectByData(ui->comboBoxToolSplitDoc, s.splitDocument);
    L::selectByData(ui->comboBoxToolLength, s.lengthCondition);
    // Stored as they were shown, in the unit of that moment: no conversion.
    changeUnitSize(L::finiteLength(s.lengthLeft), L::finiteLength(s.lengthRight));
    L::selectByData(ui->comboBoxCombineFrontAndBack, s.combineFrontAndBack);
    ui->comboBoxCombineFrontAndBack->setEnabled(flag(s.combineEnabled));
    ui->checkBoxFrontAndBackDidderent->setChecked(flag(s.frontAndBackDifferent));
    ui->checkBoxFrontAndBackDidderent->setEnabled(flag(s.differentEnabled));
    L::selectByData(ui->comboBoxImagesPerSide, s.perImage);

    for (const SideWidgets &side : m_sides) {
        side.list->setIconSize(QSize(35, 35));
        side.list->clear();
    }
    const int layout = s.layout;
    if (layout >= 0 && layout <= 2) {
        QList<int> front{s.frontOneType};
        QList<int> back{s.backOneType};
        if (layout == 1 || layout == 2)
            front << s.frontTwoType;
        if (layout == 0 || layout == 2)
            back << s.backTwoType;
        fillList(Front, front);
        fillList(Back, back);
    }
    repairLists(layout, -1);
    for (const SideWidgets &side : m_sides)
        if (side.list->count() > 0)
            side.list->setCurrentRow(0);

    m_unit = ImageSizeUnitFlag(L::shownUnit(profile.sizeUnit));
    changedDoubleSpinboxSingleStep(L::unitStep(m_unit, kPixelFactor));
    initcontrol(profile);
    m_contentForm->updateVariableToUIControl(profile);
    return true;
}

void SettingToolForm::initcontrol(tagSCAN_SHORTCUT_MENU &profile)
{
    const ImageToolSettings s = readImageToolSettings(profile);
    const int input = profile.inputDocument;
    const int sleeved = s.sleevedDocument;
    const int perImage = s.perImage;
    QCheckBox *different = ui->checkBoxFrontAndBackDidderent;

    if (input == InputDocumentBoth) {
        setCombineEnabled(sleeved == 0 || sleeved == 1);
        different->setEnabled(true);
        removeContentTab();
    } else {
        if (sleeved != 0)
            ui->comboBoxToolSleevedDoc->setCurrentIndex(input == InputDocumentFront ? 3 : 4);
        different->setEnabled(false);
        setCombineEnabled(false);
        removeContentTab();
    }

    currentItemChangeToolGeneralSleevedDoc(0);
    currentItemChangeToolGeneralSplitDoc(0);
    currentItemChangeToolGeneralLength(0);
    currentItemChangeToolImageCombine(0);

    const QString ordered = tr("注：扫描仪根据上面列出的顺序来创建影像");
    const QString orderedMatching =
        tr("注：扫描仪根据上面列出的顺序来创建影像(两面的顺序必须匹配)");
    const QString byContent = tr("注：扫描仪决定要创建上面哪个影像");
    enum { One, ByContent, Multiple } mode;
    if (!flag(s.frontAndBackDifferent)) {
        if (m_sides[Front].list->count() < 2)
            ui->comboBoxImagesPerSide->setCurrentIndex(0);
        m_sides[Back].group->hide();
        setSingleTitle();
        setDeleteEnabled(false);
        if (perImage == 0) {
            mode = One;
        } else if (perImage == 2) {
            ui->labelImagesNote->setText(ordered);
            mode = Multiple;
        } else {
            ui->labelImagesNote->setText(byContent);
            mode = perImage == 1 ? ByContent : Multiple;
        }
    } else {
        if (perImage == 0) {
            setListGroupsShown(false, false);
        } else if (perImage == 2) {
            setListGroupsShown(true, true);
            setDeleteEnabled(true);
            ui->labelImagesNote->setText(orderedMatching);
        } else {
            setListGroupsShown(true, true);
            setDeleteEnabled(false);
            ui->labelImagesNote->setText(byContent);
        }
        if (sleevedData() == 1)
            ui->comboBoxToolSleevedDoc->setCurrentIndex(0);
        setFrontTitle();
        mode = perImage == 0 ? One : perImage == 1 ? ByContent : Multiple;
    }

    const bool pairedSides = different->isChecked() && input == InputDocumentBoth;
    switch (mode) {
    case Multiple:
        showOrderedLists(input);
        if (pairedSides) {
            setDeleteEnabled(true);
            setFrontTitle();
        } else {
            m_sides[Back].group->hide();
            setDeleteEnabled(false);
            setSingleTitle();
        }
        ui->labelImagesNote->setText(different->isChecked() ? orderedMatching : ordered);
        setCombineEnabled(false);
        break;
    case ByContent:
        showByContentLists();
        ui->labelImagesNote->setText(byContent);
        if (pairedSides) {
            setFrontTitle();
        } else {
            m_sides[Back].group->hide();
            setSingleTitle();
        }
        setCombineEnabled(false);
        break;
    case One:
        m_contentForm->initAdvancedSettingContent(InputDocumentFlag(input));
        setListGroupsShown(false, false);
        ui->labelImagesNote->hide();
        removeContentTab();
        setDeleteEnabled(false);
        if (different->isChecked())
            setFrontTitle();
        else
            setSingleTitle();
        setCombineEnabled(input == InputDocumentBoth && !different->isChecked() &&
                          s.splitDocument == 0);
        break;
    }

    createPerImageFrontAddButton();
    createPerImageFrontChangeButton();
    createPerImageBackAddButton();
    createPerImageBackChangeButton();

    for (Side side : {Front, Back}) {
        const Side other = side == Front ? Back : Front;
        if (m_sides[side].list->count() < 2) {
            m_sides[side].remove->setEnabled(false);
            m_sides[side].add->setEnabled(true);
            selectionRule(side);
            if (m_sides[side].list->count() > 0)
                m_sides[side].list->setCurrentRow(0);
            m_sides[other].remove->setEnabled(false);
        }
    }
}

bool SettingToolForm::updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    ImageToolSettings s = readImageToolSettings(profile);
    s.inputDocument = inputData();
    s.sleevedDocument = sleevedData();
    s.detectMultipleDocuments = ui->checkBoxToolDetectMulDoc->isChecked();
    s.flatbedMultipleDocuments = ui->checkBoxFlatbedMultipleDoc->isChecked();
    s.splitDocument = splitData();
    s.lengthCondition = L::currentData(ui->comboBoxToolLength);
    s.lengthLeft = ui->doubleSpinBoxLengthLeft->value();
    s.lengthRight = ui->doubleSpinBoxLengthRight->value();
    s.combineFrontAndBack = L::currentData(ui->comboBoxCombineFrontAndBack);
    s.combineEnabled = ui->comboBoxCombineFrontAndBack->isEnabled();
    s.frontAndBackDifferent = ui->checkBoxFrontAndBackDidderent->isChecked();
    s.differentEnabled = ui->checkBoxFrontAndBackDidderent->isEnabled();
    s.perImage = perImageData();
    writeImageToolSettings(profile, s);

    const int front = m_sides[Front].list->count();
    const int back = m_sides[Back].list->count();
    auto text = [this](Side side, int row) {
        QListWidgetItem *item = m_sides[side].list->item(row);
        return item ? item->text() : QString();
    };
    const int layout = listLayout();
    if (layout >= 0) {
        s = readImageToolSettings(profile);
        s.layout = layout;
        writeImageToolSettings(profile, s);
        judgeColorItem(profile, text(Front, 0), 1);
        if (front == 2)
            judgeColorItem(profile, text(Front, 1), 2);
        judgeColorItem(profile, text(Back, 0), 3);
        if (back == 2)
            judgeColorItem(profile, text(Back, 1), 4);
    }
    m_contentForm->updateUIControlToVariable(profile);
    return true;
}

// The stored layout the two lists' lengths stand for: one front and two back
// images, two and one, two and two; -1 for any other pair.
int SettingToolForm::listLayout() const
{
    const int front = m_sides[Front].list->count();
    const int back = m_sides[Back].list->count();
    if (front == 1 && back == 2)
        return 0;
    if (front == 2 && back == 1)
        return 1;
    if (front == 2 && back == 2)
        return 2;
    return -1;
}

bool SettingToolForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    const ImageToolSettings s = readImageToolSettings(profile);
    if (s.inputDocument != inputData() || s.sleevedDocument != sleevedData() ||
        flag(s.detectMultipleDocuments) != ui->checkBoxToolDetectMulDoc->isChecked() ||
        flag(s.flatbedMultipleDocuments) != ui->checkBoxFlatbedMultipleDoc->isChecked() ||
        s.splitDocument != splitData() ||
        s.lengthCondition != L::currentData(ui->comboBoxToolLength) ||
        s.lengthLeft != ui->doubleSpinBoxLengthLeft->value() ||
        s.lengthRight != ui->doubleSpinBoxLengthRight->value() ||
        s.combineFrontAndBack != L::currentData(ui->comboBoxCombineFrontAndBack) ||
        flag(s.combineEnabled) != ui->comboBoxCombineFrontAndBack->isEnabled() ||
        flag(s.frontAndBackDifferent) != ui->checkBoxFrontAndBackDidderent->isChecked() ||
        flag(s.differentEnabled) != ui->checkBoxFrontAndBackDidderent->isEnabled() ||
        s.perImage != perImageData())
        return false;

    const int front = m_sides[Front].list->count();
    const int back = m_sides[Back].list->count();
    const int layout = listLayout();
    if (layout >= 0) {
        auto kind = [this](Side side, int row) { return ColorModeFlag(kindAt(side, row)); };
        const ColorModeFlag f2 = front == 2 ? kind(Front, 1) : ColorModeFlag(s.frontTwoType);
        const ColorModeFlag b2 = back == 2 ? kind(Back, 1) : ColorModeFlag(s.backTwoType);
        if (!compareColorType(profile, AdvancedColorCountFlag(layout), kind(Front, 0), f2,
                              kind(Back, 0), b2) ||
            s.layout != layout)
            return false;
    }
    return m_contentForm->compareVariableAndUIControl(profile);
}
