#include "mainwindowform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

// The rows inside the group boxes sit a little closer than the style's
// default, so the window keeps its 616 x 559 with the desktop's usual fonts
// (CJK fallback fonts make every row taller than Latin text does).
constexpr int kRowSpacing = 3;
// A grid whose rows and columns are spaced apart differently passes no
// spacing on to a grid nested in it: the nested one states its own.
constexpr int kColumnSpacing = 6;

template <typename T>
T *make(QWidget *parent, const char *name)
{
    T *w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QPushButton *smallButton(QWidget *parent, const char *name, bool iconSized = true)
{
    QPushButton *b = make<QPushButton>(parent, name);
    b->setFixedSize(24, 24);
    if (iconSized)
        b->setIconSize(QSize(24, 24));
    return b;
}

QLabel *imageLabel(QWidget *parent, const char *name)
{
    QLabel *l = make<QLabel>(parent, name);
    l->setFixedSize(32, 32);
    l->setAutoFillBackground(true);
    l->setLineWidth(0);
    return l;
}

QComboBox *combo(QWidget *parent, const char *name, bool limited = true)
{
    QComboBox *c = make<QComboBox>(parent, name);
    if (limited)
        c->setMaxVisibleItems(20);
    return c;
}

} // namespace

void Ui_MainWindow::setupUi(QMainWindow *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName("MainWindow");
    window->resize(616, 559);
    window->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    centralWidget = make<QWidget>(window, "centralWidget");
    verticalLayout = new QVBoxLayout(centralWidget);
    verticalLayout->setObjectName("verticalLayout");
    verticalLayout->setSpacing(6);
    verticalLayout->setContentsMargins(11, 11, 11, 11);

    // 1. Task row.
    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName("horizontalLayout");
    horizontalLayout->setSpacing(6);
    labelTaskShortcut = make<QLabel>(centralWidget, "labelTaskShortcut");
    comboBoxTaskShortcut = combo(centralWidget, "comboBoxTaskShortcut");
    pushButtonTaskRename = make<QPushButton>(centralWidget, "pushButtonTaskRename");
    pushButtonAbout = smallButton(centralWidget, "pushButtonAbout", false);
    pushButtonAbout->setFocusPolicy(Qt::NoFocus);
    pushButtonHelp = smallButton(centralWidget, "pushButtonHelp");
    pushButtonHelp->setFocusPolicy(Qt::NoFocus);
    horizontalLayout->addWidget(labelTaskShortcut);
    horizontalLayout->addWidget(comboBoxTaskShortcut);
    horizontalLayout->addWidget(pushButtonTaskRename);
    horizontalLayout->addWidget(pushButtonAbout);
    horizontalLayout->addWidget(pushButtonHelp);
    verticalLayout->addLayout(horizontalLayout);

    // 2. Scan to.
    groupBoxScanTo = make<QGroupBox>(centralWidget, "groupBoxScanTo");
    gridLayout_7 = new QGridLayout(groupBoxScanTo);
    gridLayout_7->setObjectName("gridLayout_7");
    gridLayout_7->setContentsMargins(11, 11, 11, 11);
    gridLayout_4 = new QGridLayout();
    gridLayout_4->setObjectName("gridLayout_4");
    gridLayout_4->setVerticalSpacing(kRowSpacing);
    QWidget *g = groupBoxScanTo;
    labelDestAddress = make<QLabel>(g, "labelDestAddress");
    labelDestAddressImage = imageLabel(g, "labelDestAddressImage");
    comboBoxScanDestination = combo(g, "comboBoxScanDestination");
    pushButtonCreateNewMenu = smallButton(g, "pushButtonCreateNewMenu");
    pushButtonSaveAs = smallButton(g, "pushButtonSaveAs");
    pushButtonModify = smallButton(g, "pushButtonModify");
    pushButtonDelete = smallButton(g, "pushButtonDelete");
    gridLayout_4->addWidget(labelDestAddress, 0, 0);
    gridLayout_4->addWidget(labelDestAddressImage, 0, 1);
    gridLayout_4->addWidget(comboBoxScanDestination, 0, 2, 1, 2);
    gridLayout_4->addWidget(pushButtonCreateNewMenu, 0, 4);
    gridLayout_4->addWidget(pushButtonSaveAs, 0, 5);
    gridLayout_4->addWidget(pushButtonModify, 0, 6);
    gridLayout_4->addWidget(pushButtonDelete, 0, 7);
    labelFileType = make<QLabel>(g, "labelFileType");
    labelFileTypeImage = imageLabel(g, "labelFileTypeImage");
    comboBoxFileType = combo(g, "comboBoxFileType");
    pushButtonOcrFileSetting = make<QPushButton>(g, "pushButtonOcrFileSetting");
    gridLayout_4->addWidget(labelFileType, 1, 0);
    gridLayout_4->addWidget(labelFileTypeImage, 1, 1);
    gridLayout_4->addWidget(comboBoxFileType, 1, 2, 1, 2);
    gridLayout_4->addWidget(pushButtonOcrFileSetting, 1, 4, 1, 3);
    labelSaveFilePath = make<QLabel>(g, "labelSaveFilePath");
    lineEditSaveFilePath = make<QLineEdit>(g, "lineEditSaveFilePath");
    pushButtonBrowsePath = make<QPushButton>(g, "pushButtonBrowsePath");
    gridLayout_4->addWidget(labelSaveFilePath, 2, 0);
    gridLayout_4->addWidget(lineEditSaveFilePath, 2, 2, 1, 2);
    gridLayout_4->addWidget(pushButtonBrowsePath, 2, 4, 1, 3);
    gridLayout = new QGridLayout();
    gridLayout->setObjectName("gridLayout");
    gridLayout->setVerticalSpacing(kRowSpacing);
    gridLayout->setHorizontalSpacing(kColumnSpacing);
    labelFileNameFormat = make<QLabel>(g, "labelFileNameFormat");
    comboBoxFileNameFormat = combo(g, "comboBoxFileNameFormat");
    labelFileNamePrefix = make<QLabel>(g, "labelFileNamePrefix");
    lineEditFileNamePrefix = make<QLineEdit>(g, "lineEditFileNamePrefix");
    lineEditFileNamePrefix->setMaxLength(20);
    checkBoxAfterSendFileDeleteFile = make<QCheckBox>(g, "checkBoxAfterSendFileDeleteFile");
    checkBoxBeforeSaveFileSettingName = make<QCheckBox>(g, "checkBoxBeforeSaveFileSettingName");
    gridLayout->addWidget(labelFileNameFormat, 0, 0);
    gridLayout->addWidget(comboBoxFileNameFormat, 0, 1);
    gridLayout->addWidget(labelFileNamePrefix, 0, 2);
    gridLayout->addWidget(lineEditFileNamePrefix, 0, 3);
    gridLayout->addWidget(checkBoxAfterSendFileDeleteFile, 1, 0, 1, 2);
    gridLayout->addWidget(checkBoxBeforeSaveFileSettingName, 1, 3);
    gridLayout_4->addLayout(gridLayout, 3, 0, 1, 8);
    labelPrinterName = make<QLabel>(g, "labelPrinterName");
    lineEditPrinterName = make<QLineEdit>(g, "lineEditPrinterName");
    lineEditPrinterName->setReadOnly(true);
    pushButtonPrinterSetting = make<QPushButton>(g, "pushButtonPrinterSetting");
    checkBoxBeforePrintingDisplaySetting =
        make<QCheckBox>(g, "checkBoxBeforePrintingDisplaySetting");
    labelScalePrintingPage = make<QLabel>(g, "labelScalePrintingPage");
    comboBoxScalePrintingPage = combo(g, "comboBoxScalePrintingPage", false);
    checkBoxCenterPrinting = make<QCheckBox>(g, "checkBoxCenterPrinting");
    gridLayout_4->addWidget(labelPrinterName, 4, 0);
    gridLayout_4->addWidget(lineEditPrinterName, 4, 2, 1, 3);
    gridLayout_4->addWidget(pushButtonPrinterSetting, 4, 5, 1, 3);
    gridLayout_4->addWidget(checkBoxBeforePrintingDisplaySetting, 5, 0, 1, 3);
    gridLayout_4->addWidget(labelScalePrintingPage, 6, 0, 1, 2);
    gridLayout_4->addWidget(comboBoxScalePrintingPage, 6, 2);
    gridLayout_4->addWidget(checkBoxCenterPrinting, 6, 3);
    gridLayout_7->addLayout(gridLayout_4, 0, 0);
    verticalLayout->addWidget(groupBoxScanTo);

    // 3. Scan options.
    groupBoxScanOption = make<QGroupBox>(centralWidget, "groupBoxScanOption");
    gridLayout_5 = new QGridLayout(groupBoxScanOption);
    gridLayout_5->setObjectName("gridLayout_5");
    gridLayout_5->setContentsMargins(11, 11, 11, 11);
    gridLayout_2 = new QGridLayout();
    gridLayout_2->setObjectName("gridLayout_2");
    gridLayout_2->setVerticalSpacing(kRowSpacing);
    QWidget *o = groupBoxScanOption;
    checkBoxBeforeSaveFileEditImage = make<QCheckBox>(o, "checkBoxBeforeSaveFileEditImage");
    checkBoxBlankPageSeparate = make<QCheckBox>(o, "checkBoxBlankPageSeparate");
    pushButtonBlankPageSetting = make<QPushButton>(o, "pushButtonBlankPageSetting");
    checkBoxADFTrayEmptyWaiting = make<QCheckBox>(o, "checkBoxADFTrayEmptyWaiting");
    checkBoxBarcodeSeparate = make<QCheckBox>(o, "checkBoxBarcodeSeparate");
    checkBoxAddKeywordToDoc = make<QCheckBox>(o, "checkBoxAddKeywordToDoc");
    checkBoxAddWatermark = make<QCheckBox>(o, "checkBoxAddWatermark");
    pushButtonWatermarkSetting = make<QPushButton>(o, "pushButtonWatermarkSetting");
    gridLayout_2->addWidget(checkBoxBeforeSaveFileEditImage, 0, 0);
    gridLayout_2->addWidget(checkBoxBlankPageSeparate, 0, 1);
    gridLayout_2->addWidget(pushButtonBlankPageSetting, 0, 2);
    gridLayout_2->addWidget(checkBoxADFTrayEmptyWaiting, 1, 0);
    gridLayout_2->addWidget(checkBoxBarcodeSeparate, 1, 1);
    gridLayout_2->addWidget(checkBoxAddKeywordToDoc, 2, 0);
    gridLayout_2->addWidget(checkBoxAddWatermark, 2, 1);
    gridLayout_2->addWidget(pushButtonWatermarkSetting, 2, 2);
    gridLayout_5->addLayout(gridLayout_2, 0, 0);
    verticalLayout->addWidget(groupBoxScanOption);

    // 4. Scan as.
    groupBoxScanAs = make<QGroupBox>(centralWidget, "groupBoxScanAs");
    gridLayout_3 = new QGridLayout(groupBoxScanAs);
    gridLayout_3->setObjectName("gridLayout_3");
    gridLayout_3->setContentsMargins(11, 11, 11, 11);
    gridLayout_3->setVerticalSpacing(kRowSpacing);
    QWidget *a = groupBoxScanAs;
    labelSettingShortcut = make<QLabel>(a, "labelSettingShortcut");
    labelSettingShortcutImage = make<QLabel>(a, "labelSettingShortcutImage");
    labelSettingShortcutImage->setFixedSize(32, 32);
    labelSettingShortcutImage->setAutoFillBackground(true);
    lineEditSettingShortcut = make<QLineEdit>(a, "lineEditSettingShortcut");
    pushButtonSettingShortcut = make<QPushButton>(a, "pushButtonSettingShortcut");
    gridLayout_3->addWidget(labelSettingShortcut, 0, 0);
    gridLayout_3->addWidget(labelSettingShortcutImage, 0, 1);
    gridLayout_3->addWidget(lineEditSettingShortcut, 0, 2);
    gridLayout_3->addWidget(pushButtonSettingShortcut, 0, 3);
    horizontalLayout_3 = new QHBoxLayout();
    horizontalLayout_3->setObjectName("horizontalLayout_3");
    horizontalLayout_3->setSpacing(6);
    checkBoxBeforeScanDisplaySetting = make<QCheckBox>(a, "checkBoxBeforeScanDisplaySetting");
    checkBoxBeforeScanDisplaySetting->setFixedWidth(200);
    horizontalLayout_3->addWidget(checkBoxBeforeScanDisplaySetting);
    horizontalLayout_3->addItem(
        new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    gridLayout_3->addLayout(horizontalLayout_3, 1, 0, 1, 4);
    verticalLayout->addWidget(groupBoxScanAs);

    // 5. Spacer; 6. buttons.
    verticalLayout->addItem(new QSpacerItem(20, 84, QSizePolicy::Minimum, QSizePolicy::Expanding));
    horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName("horizontalLayout_2");
    horizontalLayout_2->setSpacing(6);
    horizontalLayout_2->addItem(
        new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pushButtonTest = make<QPushButton>(centralWidget, "pushButtonTest");
    pushButtonOK = make<QPushButton>(centralWidget, "pushButtonOK");
    pushButtonCancel = make<QPushButton>(centralWidget, "pushButtonCancel");
    pushButtonApply = make<QPushButton>(centralWidget, "pushButtonApply");
    for (QPushButton *b : {pushButtonTest, pushButtonOK, pushButtonCancel, pushButtonApply})
        horizontalLayout_2->addWidget(b);
    verticalLayout->addLayout(horizontalLayout_2);
    window->setCentralWidget(centralWidget);

    QWidget *order[] = {comboBoxTaskShortcut,
                        pushButtonTaskRename,
                        pushButtonAbout,
                        pushButtonHelp,
                        comboBoxScanDestination,
                        comboBoxFileType,
                        lineEditSaveFilePath,
                        comboBoxFileNameFormat,
                        lineEditFileNamePrefix,
                        lineEditPrinterName,
                        checkBoxBeforePrintingDisplaySetting,
                        comboBoxScalePrintingPage,
                        checkBoxBeforeSaveFileEditImage,
                        checkBoxBlankPageSeparate,
                        pushButtonBlankPageSetting,
                        checkBoxADFTrayEmptyWaiting,
                        checkBoxBarcodeSeparate,
                        checkBoxAddKeywordToDoc,
                        checkBoxAddWatermark,
                        pushButtonWatermarkSetting,
                        lineEditSettingShortcut,
                        pushButtonSettingShortcut,
                        checkBoxBeforeScanDisplaySetting,
                        pushButtonOK,
                        pushButtonCancel,
                        pushButtonApply};
    for (size_t i = 1; i < sizeof order / sizeof order[0]; ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    retranslateUi(window);
    QMetaObject::connectSlotsByName(window);
}

void Ui_MainWindow::retranslateUi(QMainWindow *window)
{
    // Placeholders: the window's wording function sets every text.
    window->setWindowTitle("IDS_MAINWINDOW");
    for (QLabel *l : centralWidget->findChildren<QLabel *>())
        if (!l->objectName().endsWith("Image"))
            l->setText("IDS_" + l->objectName().toUpper());
}
