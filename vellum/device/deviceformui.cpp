#include "deviceformui.h"

#include "customdoublespinbox.h"
#include "deviceuitools.h"

using deviceui::named;
using deviceui::row;

void Ui_DeviceForm::setupUi(QWidget *form)
{
    form->setObjectName("DeviceForm");
    form->resize(844, 551);
    auto *outer = new QVBoxLayout(form);
    outer->setContentsMargins(0, 0, 0, 0);
    tabWidgetDevice = named<QTabWidget>(form, "tabWidgetDevice");
    outer->addWidget(tabWidgetDevice);
    setupGeneral();
    setupTransport();
    setupImprinter();
    setupMultifeed();
}

void Ui_DeviceForm::setupGeneral()
{
    tabDeviceGeneral = named<QWidget>(nullptr, "tabDeviceGeneral");
    QWidget *p = tabDeviceGeneral;
    auto *v = new QVBoxLayout(p);

    labelDevicePaperSource = named<QLabel>(p, "labelDevicePaperSource");
    comboBoxDevicePaperSource = named<QComboBox>(p, "comboBoxDevicePaperSource");
    comboBoxDevicePaperSource->setMinimumWidth(200);
    labelDevicePaperSource->setBuddy(comboBoxDevicePaperSource);
    v->addLayout(row({labelDevicePaperSource, comboBoxDevicePaperSource}));

    groupBoxDevicePower = named<QGroupBox>(p, "groupBoxDevicePower");
    {
        QWidget *g = groupBoxDevicePower;
        auto *gl = new QGridLayout(g);
        labelDevicePowerSaver = named<QLabel>(g, "labelDevicePowerSaver");
        spinBoxDevicePowerSaver = named<QSpinBox>(g, "spinBoxDevicePowerSaver");
        labelDevicePowerSaverMinute = named<QLabel>(g, "labelDevicePowerSaverMinute");
        checkBoxDevicePowerOff = named<QCheckBox>(g, "checkBoxDevicePowerOff");
        spinBoxDevicePowerOff = named<QSpinBox>(g, "spinBoxDevicePowerOff");
        labelDevicePowerOffMinute = named<QLabel>(g, "labelDevicePowerOffMinute");
        checkBoxDeviceOnlySavePower = named<QCheckBox>(g, "checkBoxDeviceOnlySavePower");
        gl->addWidget(labelDevicePowerSaver, 0, 0);
        gl->addWidget(spinBoxDevicePowerSaver, 0, 1);
        gl->addWidget(labelDevicePowerSaverMinute, 0, 2);
        gl->addWidget(checkBoxDevicePowerOff, 1, 0);
        gl->addWidget(spinBoxDevicePowerOff, 1, 1);
        gl->addWidget(labelDevicePowerOffMinute, 1, 2);
        gl->addWidget(checkBoxDeviceOnlySavePower, 2, 0, 1, 3);
    }
    v->addWidget(groupBoxDevicePower);

    groupBoxDeviceFeeder = named<QGroupBox>(p, "groupBoxDeviceFeeder");
    {
        QWidget *g = groupBoxDeviceFeeder;
        auto *fl = new QVBoxLayout(g);
        groupBoxDeviceTimeout = named<QGroupBox>(g, "groupBoxDeviceTimeout");
        QWidget *t = groupBoxDeviceTimeout;
        auto *tl = new QGridLayout(t);
        checkBoxDeviceOn = named<QCheckBox>(t, "checkBoxDeviceOn");
        horizontalSliderDeviceTimeout = named<QSlider>(t, "horizontalSliderDeviceTimeout");
        horizontalSliderDeviceTimeout->setOrientation(Qt::Horizontal);
        spinBoxDeviceTimeoutSetting = named<QSpinBox>(t, "spinBoxDeviceTimeoutSetting");
        labelDeviceTimeoutSecond = named<QLabel>(t, "labelDeviceTimeoutSecond");
        labelDeviceTimeoutMin = named<QLabel>(t, "labelDeviceTimeoutMin");
        labelDeviceTimeoutMax = named<QLabel>(t, "labelDeviceTimeoutMax");
        labelDeviceTimeoutAction = named<QLabel>(t, "labelDeviceTimeoutAction");
        comboBoxDeviceTimeoutAction = named<QComboBox>(t, "comboBoxDeviceTimeoutAction");
        labelDeviceTimeoutAction->setBuddy(comboBoxDeviceTimeoutAction);
        tl->addWidget(checkBoxDeviceOn, 0, 0);
        tl->addWidget(horizontalSliderDeviceTimeout, 0, 1, 1, 2);
        tl->addWidget(spinBoxDeviceTimeoutSetting, 0, 3);
        tl->addWidget(labelDeviceTimeoutSecond, 0, 4);
        tl->addWidget(labelDeviceTimeoutMin, 1, 1);
        tl->addWidget(labelDeviceTimeoutMax, 1, 2);
        tl->addWidget(labelDeviceTimeoutAction, 2, 0);
        tl->addWidget(comboBoxDeviceTimeoutAction, 2, 1, 1, 3);
        tl->setColumnStretch(1, 1);
        tl->setColumnStretch(2, 1);
        fl->addWidget(t);
        checkBoxDeviceAutoStartScanning = named<QCheckBox>(g, "checkBoxDeviceAutoStartScanning");
        checkBoxDeviceOnlySaveTimeout = named<QCheckBox>(g, "checkBoxDeviceOnlySaveTimeout");
        fl->addWidget(checkBoxDeviceAutoStartScanning);
        fl->addWidget(checkBoxDeviceOnlySaveTimeout);
    }
    v->addWidget(groupBoxDeviceFeeder);

    auto *counters = new QHBoxLayout;
    groupBoxDevicePaperCounter = named<QGroupBox>(p, "groupBoxDevicePaperCounter");
    labelStartValue = named<QLabel>(groupBoxDevicePaperCounter, "labelStartValue");
    lineEditStartValue = named<QLineEdit>(groupBoxDevicePaperCounter, "lineEditStartValue");
    labelStartValue->setBuddy(lineEditStartValue);
    groupBoxDevicePaperCounter->setLayout(row({labelStartValue, lineEditStartValue}, false));
    groupBoxDeviceStampCounter = named<QGroupBox>(p, "groupBoxDeviceStampCounter");
    labelStampStartValue = named<QLabel>(groupBoxDeviceStampCounter, "labelStampStartValue");
    lineEditStampStartValue =
        named<QLineEdit>(groupBoxDeviceStampCounter, "lineEditStampStartValue");
    labelStampStartValue->setBuddy(lineEditStampStartValue);
    groupBoxDeviceStampCounter->setLayout(
        row({labelStampStartValue, lineEditStampStartValue}, false));
    counters->addWidget(groupBoxDevicePaperCounter);
    counters->addWidget(groupBoxDeviceStampCounter);
    counters->addStretch();
    v->addLayout(counters);
    v->addStretch();

    pushButtonDeviceDiagnostics = named<QPushButton>(p, "pushButtonDeviceDiagnostics");
    v->addLayout(row({pushButtonDeviceDiagnostics}));
    tabWidgetDevice->addTab(p, QString());
}

void Ui_DeviceForm::setupTransport()
{
    tabFeederDevice = named<QWidget>(nullptr, "tabFeederDevice");
    QWidget *p = tabFeederDevice;
    auto *v = new QVBoxLayout(p);
    auto *grid = new QGridLayout;

    labelHandlingAction = named<QLabel>(p, "labelHandlingAction");
    comboBoxHandlingAction = named<QComboBox>(p, "comboBoxHandlingAction");
    labelHandlingAction->setBuddy(comboBoxHandlingAction);
    grid->addWidget(labelHandlingAction, 0, 0);
    grid->addWidget(comboBoxHandlingAction, 0, 1);

    labelDeviceActiveFeed = named<QLabel>(p, "labelDeviceActiveFeed");
    comboBoxDeviceActiveFeed = named<QComboBox>(p, "comboBoxDeviceActiveFeed");
    labelDeviceActiveFeed->setBuddy(comboBoxDeviceActiveFeed);
    grid->addWidget(labelDeviceActiveFeed, 1, 0);
    grid->addWidget(comboBoxDeviceActiveFeed, 1, 1);
    checkBoxDeviceEnhancedSeparation = named<QCheckBox>(p, "checkBoxDeviceEnhancedSeparation");
    grid->addWidget(checkBoxDeviceEnhancedSeparation, 2, 0, 1, 2);

    labelDocumentProtection = named<QLabel>(p, "labelDocumentProtection");
    comboBoxInetlligentDocumentProtection =
        named<QComboBox>(p, "comboBoxInetlligentDocumentProtection");
    labelDocumentProtection->setBuddy(comboBoxInetlligentDocumentProtection);
    grid->addWidget(labelDocumentProtection, 3, 0);
    grid->addWidget(comboBoxInetlligentDocumentProtection, 3, 1);

    labelPaperJamreSponse = named<QLabel>(p, "labelPaperJamreSponse");
    comboBoxPaperJamreSponse = named<QComboBox>(p, "comboBoxPaperJamreSponse");
    labelPaperJamreSponse->setBuddy(comboBoxPaperJamreSponse);
    grid->addWidget(labelPaperJamreSponse, 4, 0);
    grid->addWidget(comboBoxPaperJamreSponse, 4, 1);
    grid->setColumnStretch(2, 1);
    v->addLayout(grid);

    groupBoxDocumentLength = named<QGroupBox>(p, "groupBoxDocumentLength");
    labelSheetHeight = named<QLabel>(groupBoxDocumentLength, "labelSheetHeight");
    doubleSpinBoxSheetHeight =
        named<CustomDoubleSpinBox>(groupBoxDocumentLength, "doubleSpinBoxSheetHeight");
    labelSheetHeightUnit = named<QLabel>(groupBoxDocumentLength, "labelSheetHeightUnit");
    labelSheetHeight->setBuddy(doubleSpinBoxSheetHeight);
    groupBoxDocumentLength->setLayout(
        row({labelSheetHeight, doubleSpinBoxSheetHeight, labelSheetHeightUnit}));
    v->addWidget(groupBoxDocumentLength);
    v->addStretch();
    tabWidgetDevice->addTab(p, QString());
}

void Ui_DeviceForm::setupImprinter()
{
    tabCountermark = named<QWidget>(nullptr, "tabCountermark");
    QWidget *p = tabCountermark;
    // Placed by the form's resize handling: the stamp tabs on the left, the
    // preview filling the rest.
    tabWidgetStamp = named<QTabWidget>(p, "tabWidgetStamp");
    tabWidgetStamp->setGeometry(5, 5, 405, 490);
    DevicePreviewwidget = named<QWidget>(p, "DevicePreviewwidget");
    DevicePreviewwidget->setGeometry(415, 5, 414, 501);

    tabStampText = named<QWidget>(nullptr, "tabStampText");
    {
        QWidget *t = tabStampText;
        auto *v = new QVBoxLayout(t);
        checkBoxDeviceStampText = named<QCheckBox>(t, "checkBoxDeviceStampText");
        v->addWidget(checkBoxDeviceStampText);
        labelDeviceStampTextMessage = named<QLabel>(t, "labelDeviceStampTextMessage");
        pushButtonDeviceStampTextRename = named<QPushButton>(t, "pushButtonDeviceStampTextRename");
        labelDeviceStampTextMessage->setBuddy(pushButtonDeviceStampTextRename);
        v->addLayout(row({labelDeviceStampTextMessage, pushButtonDeviceStampTextRename}));
        textEditDeviceStampTextMessage = named<QTextEdit>(t, "textEditDeviceStampTextMessage");
        textEditDeviceStampTextMessage->setReadOnly(true);
        v->addWidget(textEditDeviceStampTextMessage);
        groupBoxDeviceStampFont = named<QGroupBox>(t, "groupBoxDeviceStampFont");
        QWidget *g = groupBoxDeviceStampFont;
        auto *gl = new QGridLayout(g);
        labelDeviceStampTextSize = named<QLabel>(g, "labelDeviceStampTextSize");
        spinBoxDeviceStampTextSize = named<QSpinBox>(g, "spinBoxDeviceStampTextSize");
        labelDeviceStampTextPoint = named<QLabel>(g, "labelDeviceStampTextPoint");
        labelDeviceStampTextColor = named<QLabel>(g, "labelDeviceStampTextColor");
        pushButtonDeviceStampTextColor = named<QPushButton>(g, "pushButtonDeviceStampTextColor");
        pushButtonDeviceStampTextColor->setFixedSize(40, 22);
        pushButtonDeviceStampTextColorSelect =
            named<QPushButton>(g, "pushButtonDeviceStampTextColorSelect");
        gl->addWidget(labelDeviceStampTextSize, 0, 0);
        gl->addWidget(spinBoxDeviceStampTextSize, 0, 1);
        gl->addWidget(labelDeviceStampTextPoint, 0, 2);
        gl->addWidget(labelDeviceStampTextColor, 1, 0);
        gl->addWidget(pushButtonDeviceStampTextColor, 1, 1);
        gl->addWidget(pushButtonDeviceStampTextColorSelect, 1, 2);
        gl->setColumnStretch(3, 1);
        v->addWidget(g);
        v->addStretch();
    }
    tabWidgetStamp->addTab(tabStampText, QString());

    tabStampGraphic = named<QWidget>(nullptr, "tabStampGraphic");
    {
        QWidget *t = tabStampGraphic;
        auto *v = new QVBoxLayout(t);
        checkBoxDeviceStampGraphicOn = named<QCheckBox>(t, "checkBoxDeviceStampGraphicOn");
        pushButtonDeviceStampGraphicAdd = named<QPushButton>(t, "pushButtonDeviceStampGraphicAdd");
        pushButtonDeviceStampGraphicDelete =
            named<QPushButton>(t, "pushButtonDeviceStampGraphicDelete");
        auto *top = row({checkBoxDeviceStampGraphicOn});
        top->addWidget(pushButtonDeviceStampGraphicAdd);
        top->addWidget(pushButtonDeviceStampGraphicDelete);
        v->addLayout(top);
        listWidgetDeviceStampGraphicFileName =
            named<QListWidget>(t, "listWidgetDeviceStampGraphicFileName");
        listWidgetDeviceStampGraphicFileName->setViewMode(QListView::IconMode);
        listWidgetDeviceStampGraphicFileName->setMovement(QListView::Static);
        listWidgetDeviceStampGraphicFileName->setResizeMode(QListView::Adjust);
        v->addWidget(listWidgetDeviceStampGraphicFileName, 1);
        labelDeviceStampGraphicAlignment = named<QLabel>(t, "labelDeviceStampGraphicAlignment");
        comboBoxDeviceStampGraphicAlignment =
            named<QComboBox>(t, "comboBoxDeviceStampGraphicAlignment");
        labelDeviceStampGraphicAlignment->setBuddy(comboBoxDeviceStampGraphicAlignment);
        v->addLayout(row({labelDeviceStampGraphicAlignment, comboBoxDeviceStampGraphicAlignment}));
    }
    tabWidgetStamp->addTab(tabStampGraphic, QString());

    tabStampLayout = named<QWidget>(nullptr, "tabStampLayout");
    {
        QWidget *t = tabStampLayout;
        auto *v = new QVBoxLayout(t);
        checkBoxDeviceStampFirstPageOnly = named<QCheckBox>(t, "checkBoxDeviceStampFirstPageOnly");
        v->addWidget(checkBoxDeviceStampFirstPageOnly);
        auto *grid = new QGridLayout;
        labelDeviceStampSide = named<QLabel>(t, "labelDeviceStampSide");
        comboBoxDeviceStampSide = named<QComboBox>(t, "comboBoxDeviceStampSide");
        labelDeviceStampSide->setBuddy(comboBoxDeviceStampSide);
        grid->addWidget(labelDeviceStampSide, 0, 0);
        grid->addLayout(row({comboBoxDeviceStampSide}), 0, 1);
        labelDeviceStampPosition = named<QLabel>(t, "labelDeviceStampPosition");
        doubleSpinBoxDeviceStampPositionX =
            named<CustomDoubleSpinBox>(t, "doubleSpinBoxDeviceStampPositionX");
        labelDeviceStampPositionComma = named<QLabel>(t, "labelDeviceStampPositionComma");
        doubleSpinBoxDeviceStampPositionY =
            named<CustomDoubleSpinBox>(t, "doubleSpinBoxDeviceStampPositionY");
        labelDeviceStampPositionUnit = named<QLabel>(t, "labelDeviceStampPositionUnit");
        labelDeviceStampPosition->setBuddy(doubleSpinBoxDeviceStampPositionX);
        grid->addWidget(labelDeviceStampPosition, 1, 0);
        grid->addLayout(row({doubleSpinBoxDeviceStampPositionX, labelDeviceStampPositionComma,
                             doubleSpinBoxDeviceStampPositionY, labelDeviceStampPositionUnit}),
                        1, 1);
        labelDeviceStampOrientation = named<QLabel>(t, "labelDeviceStampOrientation");
        comboBoxDeviceStampOrientation = named<QComboBox>(t, "comboBoxDeviceStampOrientation");
        labelDeviceStampDegree = named<QLabel>(t, "labelDeviceStampDegree");
        labelDeviceStampOrientation->setBuddy(comboBoxDeviceStampOrientation);
        grid->addWidget(labelDeviceStampOrientation, 2, 0);
        grid->addLayout(row({comboBoxDeviceStampOrientation, labelDeviceStampDegree}), 2, 1);
        v->addLayout(grid);

        groupBoxDeviceStampBorder = named<QGroupBox>(t, "groupBoxDeviceStampBorder");
        QWidget *g = groupBoxDeviceStampBorder;
        auto *gl = new QGridLayout(g);
        checkBoxDeviceStampBorder = named<QCheckBox>(g, "checkBoxDeviceStampBorder");
        labelDeviceStampBorderColor = named<QLabel>(g, "labelDeviceStampBorderColor");
        pushButtonDeviceStampBorderColorHex =
            named<QPushButton>(g, "pushButtonDeviceStampBorderColorHex");
        pushButtonDeviceStampBorderColorHex->setFixedSize(40, 22);
        pushButtonDeviceStampBorderColorSelect =
            named<QPushButton>(g, "pushButtonDeviceStampBorderColorSelect");
        labelDeviceStampThickNess = named<QLabel>(g, "labelDeviceStampThickNess");
        doubleSpinBoxDeviceStampThickNess =
            named<CustomDoubleSpinBox>(g, "doubleSpinBoxDeviceStampThickNess");
        labelDeviceStampThickNessUnit = named<QLabel>(g, "labelDeviceStampThickNessUnit");
        gl->addWidget(checkBoxDeviceStampBorder, 0, 0, 1, 3);
        gl->addWidget(labelDeviceStampBorderColor, 1, 0);
        gl->addWidget(pushButtonDeviceStampBorderColorHex, 1, 1);
        gl->addWidget(pushButtonDeviceStampBorderColorSelect, 1, 2);
        gl->addWidget(labelDeviceStampThickNess, 2, 0);
        gl->addWidget(doubleSpinBoxDeviceStampThickNess, 2, 1);
        gl->addWidget(labelDeviceStampThickNessUnit, 2, 2);
        gl->setColumnStretch(3, 1);
        v->addWidget(g);

        labelDeviceOpacity = named<QLabel>(t, "labelDeviceOpacity");
        spinBoxDeviceOpacity = named<QSpinBox>(t, "spinBoxDeviceOpacity");
        labelDeviceOpacityPercent = named<QLabel>(t, "labelDeviceOpacityPercent");
        labelDeviceOpacity->setBuddy(spinBoxDeviceOpacity);
        v->addLayout(row({labelDeviceOpacity, spinBoxDeviceOpacity, labelDeviceOpacityPercent}));
        v->addStretch();
    }
    tabWidgetStamp->addTab(tabStampLayout, QString());
    tabWidgetDevice->addTab(p, QString());
}

void Ui_DeviceForm::setupMultifeed()
{
    tabBackToThePaper = named<QWidget>(nullptr, "tabBackToThePaper");
    QWidget *p = tabBackToThePaper;
    auto *v = new QVBoxLayout(p);

    groupBoxDeviceMultifeedUdds = named<QGroupBox>(p, "groupBoxDeviceMultifeedUdds");
    labelDeviceMultifeedUddsSensitivity =
        named<QLabel>(groupBoxDeviceMultifeedUdds, "labelDeviceMultifeedUddsSensitivity");
    comboBoxDeviceMultifeedUddsSensitivity =
        named<QComboBox>(groupBoxDeviceMultifeedUdds, "comboBoxDeviceMultifeedUddsSensitivity");
    labelDeviceMultifeedUddsSensitivity->setBuddy(comboBoxDeviceMultifeedUddsSensitivity);
    groupBoxDeviceMultifeedUdds->setLayout(
        row({labelDeviceMultifeedUddsSensitivity, comboBoxDeviceMultifeedUddsSensitivity}));
    v->addWidget(groupBoxDeviceMultifeedUdds);

    labelDeviceMultifeedLength = named<QLabel>(p, "labelDeviceMultifeedLength");
    v->addWidget(labelDeviceMultifeedLength);
    checkBoxDeviceMultifeedLengthEnabled =
        named<QCheckBox>(p, "checkBoxDeviceMultifeedLengthEnabled");
    doubleSpinBoxDeviceMultifeedLengthEnabled =
        named<CustomDoubleSpinBox>(p, "doubleSpinBoxDeviceMultifeedLengthEnabled");
    labelDeviceMultifeedLengthUnit = named<QLabel>(p, "labelDeviceMultifeedLengthUnit");
    labelDeviceMultifeedLength->setBuddy(checkBoxDeviceMultifeedLengthEnabled);
    v->addLayout(row({checkBoxDeviceMultifeedLengthEnabled,
                      doubleSpinBoxDeviceMultifeedLengthEnabled, labelDeviceMultifeedLengthUnit}));

    labelDeviceMultifeedResponse = named<QLabel>(p, "labelDeviceMultifeedResponse");
    comboBoxDeviceMultifeedResponse = named<QComboBox>(p, "comboBoxDeviceMultifeedResponse");
    labelDeviceMultifeedResponse->setBuddy(comboBoxDeviceMultifeedResponse);
    v->addWidget(labelDeviceMultifeedResponse);
    v->addLayout(row({comboBoxDeviceMultifeedResponse}));

    checkBoxDeviceMultifeedSoundEnabled =
        named<QCheckBox>(p, "checkBoxDeviceMultifeedSoundEnabled");
    lineEditDeviceMultifeedSoundEnabled =
        named<QLineEdit>(p, "lineEditDeviceMultifeedSoundEnabled");
    pushButtonDeviceMultifeedBrowse = named<QPushButton>(p, "pushButtonDeviceMultifeedBrowse");
    v->addLayout(row({checkBoxDeviceMultifeedSoundEnabled, lineEditDeviceMultifeedSoundEnabled,
                      pushButtonDeviceMultifeedBrowse}));
    v->addStretch();
    tabWidgetDevice->addTab(p, QString());
}
