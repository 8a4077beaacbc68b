// The Images page modes of the image tool form: images per side, front and
// back set differently and combining, which show, hide and align the lists.

#include "settingtoolform.h"
#include "ui_settingtoolform.h"

#include "imagetoolrecord.h"
#include "oxadvancedlengths.h"
#include "pmessage.h"
#include "settingtoolcontentform.h"

#include <QMenu>
#include <QPalette>
#include <QPixmap>

namespace L = OxAdvancedLengths;

// ---- wording and entries ----

void SettingToolForm::loadToolImagePageWording()
{
    ui->tabWidgetTool->setTabText(1, tr("影像"));
    ui->labelCombineFrontAndBack->setText(tr("合并正反面影像(&M)："));
    ui->labelCombineFrontAndBack->setBuddy(ui->comboBoxCombineFrontAndBack);
    QPalette palette = ui->labelCombinePicture->palette();
    palette.setColor(QPalette::All, QPalette::Window, QColor(255, 255, 255, 255));
    ui->labelCombinePicture->setPalette(palette);
    ui->labelCombinePicture->setAutoFillBackground(true);
    ui->checkBoxFrontAndBackDidderent->setText(tr("正面和背面的成像设置不同 (&F)"));
    ui->groupBoxImagesPerSide->setTitle(tr("每面影像 (&E)"));
    ui->groupBoxImagesToConfigureFront->setTitle(tr("要配置的影像：前 (&C)"));
    ui->groupBoxImagesToConfigureBack->setTitle(tr("要配置的影像：后 (&C)"));
    const QString noIndicator = QStringLiteral("QPushButton::menu-indicator{image:none;}");
    for (const SideWidgets &side : m_sides) {
        side.add->setIcon(QIcon(QStringLiteral(":/ui/images/add-tool.png")));
        side.add->setIconSize(QSize(38, 25));
        side.add->setFlat(true);
        side.add->setStyleSheet(noIndicator);
        side.add->setToolTip(tr("添加"));
        side.change->setIcon(QIcon(QStringLiteral(":/ui/images/rename.png")));
        side.change->setIconSize(QSize(38, 25));
        side.change->setFlat(true);
        side.change->setStyleSheet(noIndicator);
        side.change->setToolTip(tr("修改"));
        side.remove->setIcon(QIcon(QStringLiteral(":/ui/images/delete.png")));
        side.remove->setIconSize(QSize(38, 25));
        side.remove->setAutoRaise(true);
        side.remove->setToolTip(tr("删除"));
        side.up->setIcon(QIcon(QStringLiteral(":/ui/images/up.png")));
        side.up->setIconSize(QSize(25, 25));
        side.up->setFlat(true);
        side.down->setIcon(QIcon(QStringLiteral(":/ui/images/down.png")));
        side.down->setIconSize(QSize(25, 25));
        side.down->setFlat(true);
    }
    ui->labelImagesNote->setText(tr("注：扫描仪决定要创建上面哪个影像"));
}

void SettingToolForm::createToolImageCombine()
{
    QComboBox *combo = ui->comboBoxCombineFrontAndBack;
    combo->clear();
    combo->addItem(tr("(无)"), 0);
    combo->addItem(tr("正面在上"), 4);
    combo->addItem(tr("正面在下"), 1);
    combo->addItem(tr("正面在左侧"), 2);
    combo->addItem(tr("正面在右侧"), 3);
}

void SettingToolForm::createToolImagePerImage()
{
    QComboBox *combo = ui->comboBoxImagesPerSide;
    combo->clear();
    combo->addItem(tr("一个"), 0);
    combo->addItem(tr("一个 - 视文档内容而定"), 1);
    combo->addItem(tr("多个"), 2);
}

void SettingToolForm::connectImagePageMessages()
{
    connectImagePageChangeValueControlMessages();
    connect(ui->listWidgetImagesFront, &QListWidget::itemSelectionChanged, this,
            &SettingToolForm::itemSelectionChangedFront);
    connect(ui->listWidgetImagesBack, &QListWidget::itemSelectionChanged, this,
            &SettingToolForm::itemSelectionChangedBack);
    connect(ui->toolButtonImagesFrontDelete, &QToolButton::clicked, this,
            &SettingToolForm::clickedBtnFrontDelete);
    connect(ui->toolButtonImagesBackDelete, &QToolButton::clicked, this,
            &SettingToolForm::clickedBtnBackDelete);
    connect(ui->pushButtonImagesFrontUp, &QPushButton::clicked, this,
            &SettingToolForm::clickedBtnFrontUp);
    connect(ui->pushButtonImagesFrontDown, &QPushButton::clicked, this,
            &SettingToolForm::clickedBtnFrontDown);
    connect(ui->pushButtonImagesBackUp, &QPushButton::clicked, this,
            &SettingToolForm::clickedBtnBackUp);
    connect(ui->pushButtonImagesBackDown, &QPushButton::clicked, this,
            &SettingToolForm::clickedBtnBackDown);
    connect(ui->pushButtonSettingToolAbout, &QPushButton::clicked, this,
            &SettingToolForm::clickedBtnAbout);
    connect(ui->pushButtonSettingToolHelp, &QPushButton::clicked, this,
            &SettingToolForm::clickedBtnHelp);
}

void SettingToolForm::connectImagePageChangeValueControlMessages()
{
    if (!m_imageConnections.isEmpty())
        return;
    const auto combo = QOverload<int>::of(&QComboBox::currentIndexChanged);
    m_imageConnections << connect(ui->comboBoxCombineFrontAndBack, combo, this,
                                  &SettingToolForm::currentItemChangeToolImageCombine);
    m_imageConnections << connect(ui->comboBoxImagesPerSide, combo, this,
                                  &SettingToolForm::currentItemChangeToolImagePerImage);
    m_imageConnections << connect(ui->checkBoxFrontAndBackDidderent, &QCheckBox::stateChanged, this,
                                  &SettingToolForm::stateChangedFrontAndBackDidderent);
}

void SettingToolForm::disconnectImagePageChangeValueControlMessages()
{
    dropConnections(m_imageConnections);
}

// ---- modes ----

void SettingToolForm::setListGroupsShown(bool front, bool back)
{
    m_sides[Front].group->setHidden(!front);
    m_sides[Back].group->setHidden(!back);
}

// Several images a side in the order listed: the lists are edited by hand,
// the content page is not used.
void SettingToolForm::showOrderedLists(int input)
{
    m_contentForm->initAdvancedSettingContent(InputDocumentFlag(input));
    ui->comboBoxToolSleevedDoc->setCurrentIndex(0);
    setListGroupsShown(true, true);
    ui->labelImagesNote->show();
    removeContentTab();
    for (const SideWidgets &side : m_sides) {
        side.add->setEnabled(false);
        side.up->setEnabled(false);
        side.down->setEnabled(true);
    }
}

// Images chosen by the scanner from the content: the lists only show them.
void SettingToolForm::showByContentLists()
{
    if (sleevedData() == 1)
        ui->comboBoxToolSleevedDoc->setCurrentIndex(0);
    setListGroupsShown(true, true);
    ui->labelImagesNote->show();
    showContentTab();
    for (const SideWidgets &side : m_sides) {
        side.add->setEnabled(false);
        side.remove->setEnabled(false);
        side.up->setEnabled(false);
        side.down->setEnabled(false);
    }
}

void SettingToolForm::setSingleTitle()
{
    ui->groupBoxImagesToConfigureFront->setTitle(tr("要配置的影像 (&C)"));
}

void SettingToolForm::setFrontTitle()
{
    ui->groupBoxImagesToConfigureFront->setTitle(tr("要配置的影像：前 (&C)"));
}

void SettingToolForm::currentItemChangeToolImageCombine(int)
{
    static const char *const kPictures[] = {
        ":/ui/images/single-contrary.png", ":/settings/images/settings/FrontDown.png",
        ":/settings/images/settings/FrontLeft.png", ":/settings/images/settings/FrontRight.png",
        ":/settings/images/settings/FrontUp.png"};
    const int value = L::currentData(ui->comboBoxCombineFrontAndBack);
    QPixmap picture;
    if (value >= 0 && value <= 4)
        picture = QPixmap(QLatin1String(kPictures[value]));
    ui->labelCombinePicture->setPixmap(picture);
    ui->labelCombinePicture->setAlignment(Qt::AlignCenter);
    ui->labelCombinePicture->setScaledContents(true);
}

void SettingToolForm::currentItemChangeToolImagePerImage(int)
{
    const int perImage = perImageData();
    const bool different = ui->checkBoxFrontAndBackDidderent->isChecked();
    const bool bothSides = inputData() == InputDocumentBoth;
    const QString orderedMatching =
        tr("注：扫描仪根据上面列出的顺序来创建影像(两面的顺序必须匹配)");
    switch (perImage) {
    case 0:
        m_contentForm->initAdvancedSettingContent(InputDocumentFlag(inputData()));
        setListGroupsShown(false, false);
        ui->labelImagesNote->hide();
        removeContentTab();
        if (different) {
            setListGroupsShown(false, false);
            setDeleteEnabled(false);
            ui->labelCombineFrontAndBack->setEnabled(false);
            setFrontTitle();
        } else {
            m_sides[Back].group->hide();
            setCombineEnabled(true);
            setSingleTitle();
            setDeleteEnabled(false);
        }
        setCombineEnabled(bothSides && !different && splitData() == 0);
        break;
    case 1:
        showByContentLists();
        ui->labelImagesNote->setText(tr("注：扫描仪决定要创建上面哪个影像"));
        if (different && bothSides) {
            setListGroupsShown(true, true);
            setFrontTitle();
            pairUpLists();
        } else {
            m_sides[Back].group->hide();
            setSingleTitle();
            equaliseLists();
        }
        setCombineEnabled(false);
        break;
    case 2:
        showOrderedLists(inputData());
        if (different && bothSides) {
            setListGroupsShown(true, true);
            setDeleteEnabled(true);
            setFrontTitle();
            pairUpLists();
            ui->labelImagesNote->setText(orderedMatching);
        } else {
            m_sides[Back].group->hide();
            setSingleTitle();
            setDeleteEnabled(false);
            equaliseLists();
            ui->labelImagesNote->setText(different ? orderedMatching
                                                   : tr("注：扫描仪根据上面列出的顺序来创建影像"));
        }
        setCombineEnabled(false);
        break;
    default:
        break;
    }
}

void SettingToolForm::stateChangedFrontAndBackDidderent()
{
    const InputDocumentFlag input = InputDocumentFlag(inputData());
    const bool checked = ui->checkBoxFrontAndBackDidderent->isChecked();
    if (checked) {
        const int perImage = perImageData();
        if (perImage == 0) {
            setListGroupsShown(false, false);
            setDeleteEnabled(false);
        } else if (perImage == 2) {
            setListGroupsShown(true, true);
            setDeleteEnabled(true);
            equaliseLists();
            ui->labelImagesNote->setText(
                tr("注：扫描仪根据上面列出的顺序来创建影像(两面的顺序必须匹配)"));
        } else {
            setListGroupsShown(true, true);
            setDeleteEnabled(false);
            ui->labelImagesNote->setText(tr("注：扫描仪决定要创建上面哪个影像"));
        }
        if (sleevedData() == 1)
            ui->comboBoxToolSleevedDoc->setCurrentIndex(0);
        setFrontTitle();
        setCombineEnabled(false);
        if (m_hub)
            emit m_hub->changedInputDocTypeSettingToolToMain(input, true);
        currentItemChangeToolImagePerImage(0);
        if (m_hub)
            emit m_hub->changedInputDocTypeSettingToolToMain(input, true);
        return;
    }
    if (m_sides[Front].list->count() <= 1)
        ui->comboBoxImagesPerSide->setCurrentIndex(0);
    m_sides[Back].group->hide();
    setSingleTitle();
    setDeleteEnabled(false);
    const int perImage = perImageData();
    if (perImage == 0) {
        const int sleeved = sleevedData();
        setCombineEnabled(input == InputDocumentBoth && (sleeved == 0 || sleeved == 1) &&
                          splitData() == 0);
    } else if (perImage == 2) {
        setCombineEnabled(false);
        ui->labelImagesNote->setText(tr("注：扫描仪根据上面列出的顺序来创建影像"));
    } else {
        setCombineEnabled(false);
        ui->labelImagesNote->setText(tr("注：扫描仪决定要创建上面哪个影像"));
    }
    currentItemChangeToolImagePerImage(0);
    if (m_hub)
        emit m_hub->changedInputDocTypeSettingToolToMain(input, false);
}
