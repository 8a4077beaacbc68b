#ifndef DEVICEFORMUI_H
#define DEVICEFORMUI_H

#include <QtWidgets>

class CustomDoubleSpinBox;

// Widget tree of the Device tab. Texts, lists and ranges are set by the form.
class Ui_DeviceForm
{
public:
    QTabWidget *tabWidgetDevice;

    // General
    QWidget *tabDeviceGeneral;
    QLabel *labelDevicePaperSource;
    QComboBox *comboBoxDevicePaperSource;
    QGroupBox *groupBoxDevicePower;
    QLabel *labelDevicePowerSaver;
    QSpinBox *spinBoxDevicePowerSaver;
    QLabel *labelDevicePowerSaverMinute;
    QCheckBox *checkBoxDevicePowerOff;
    QSpinBox *spinBoxDevicePowerOff;
    QLabel *labelDevicePowerOffMinute;
    QCheckBox *checkBoxDeviceOnlySavePower;
    QGroupBox *groupBoxDeviceFeeder;
    QGroupBox *groupBoxDeviceTimeout;
    QCheckBox *checkBoxDeviceOn;
    QSlider *horizontalSliderDeviceTimeout;
    QSpinBox *spinBoxDeviceTimeoutSetting;
    QLabel *labelDeviceTimeoutSecond;
    QLabel *labelDeviceTimeoutMin;
    QLabel *labelDeviceTimeoutMax;
    QLabel *labelDeviceTimeoutAction;
    QComboBox *comboBoxDeviceTimeoutAction;
    QCheckBox *checkBoxDeviceAutoStartScanning;
    QCheckBox *checkBoxDeviceOnlySaveTimeout;
    QGroupBox *groupBoxDevicePaperCounter;
    QLabel *labelStartValue;
    QLineEdit *lineEditStartValue;
    QGroupBox *groupBoxDeviceStampCounter;
    QLabel *labelStampStartValue;
    QLineEdit *lineEditStampStartValue;
    QPushButton *pushButtonDeviceDiagnostics;

    // Transport
    QWidget *tabFeederDevice;
    QLabel *labelHandlingAction;
    QComboBox *comboBoxHandlingAction;
    QGroupBox *groupBoxDocumentLength;
    QLabel *labelSheetHeight;
    CustomDoubleSpinBox *doubleSpinBoxSheetHeight;
    QLabel *labelSheetHeightUnit;
    QLabel *labelDeviceActiveFeed;
    QComboBox *comboBoxDeviceActiveFeed;
    QCheckBox *checkBoxDeviceEnhancedSeparation;
    QLabel *labelDocumentProtection;
    QComboBox *comboBoxInetlligentDocumentProtection;
    QLabel *labelPaperJamreSponse;
    QComboBox *comboBoxPaperJamreSponse;

    // Imprinter
    QWidget *tabCountermark;
    QTabWidget *tabWidgetStamp;
    QWidget *DevicePreviewwidget;
    QWidget *tabStampText;
    QCheckBox *checkBoxDeviceStampText;
    QLabel *labelDeviceStampTextMessage;
    QPushButton *pushButtonDeviceStampTextRename;
    QTextEdit *textEditDeviceStampTextMessage;
    QGroupBox *groupBoxDeviceStampFont;
    QLabel *labelDeviceStampTextSize;
    QSpinBox *spinBoxDeviceStampTextSize;
    QLabel *labelDeviceStampTextPoint;
    QLabel *labelDeviceStampTextColor;
    QPushButton *pushButtonDeviceStampTextColor;
    QPushButton *pushButtonDeviceStampTextColorSelect;
    QWidget *tabStampGraphic;
    QCheckBox *checkBoxDeviceStampGraphicOn;
    QPushButton *pushButtonDeviceStampGraphicAdd;
    QPushButton *pushButtonDeviceStampGraphicDelete;
    QListWidget *listWidgetDeviceStampGraphicFileName;
    QLabel *labelDeviceStampGraphicAlignment;
    QComboBox *comboBoxDeviceStampGraphicAlignment;
    QWidget *tabStampLayout;
    QCheckBox *checkBoxDeviceStampFirstPageOnly;
    QLabel *labelDeviceStampSide;
    QComboBox *comboBoxDeviceStampSide;
    QLabel *labelDeviceStampPosition;
    CustomDoubleSpinBox *doubleSpinBoxDeviceStampPositionX;
    QLabel *labelDeviceStampPositionComma;
    CustomDoubleSpinBox *doubleSpinBoxDeviceStampPositionY;
    QLabel *labelDeviceStampPositionUnit;
    QLabel *labelDeviceStampOrientation;
    QComboBox *comboBoxDeviceStampOrientation;
    QLabel *labelDeviceStampDegree;
    QGroupBox *groupBoxDeviceStampBorder;
    QCheckBox *checkBoxDeviceStampBorder;
    QLabel *labelDeviceStampBorderColor;
    QPushButton *pushButtonDeviceStampBorderColorHex;
    QPushButton *pushButtonDeviceStampBorderColorSelect;
    QLabel *labelDeviceStampThickNess;
    CustomDoubleSpinBox *doubleSpinBoxDeviceStampThickNess;
    QLabel *labelDeviceStampThickNessUnit;
    QLabel *labelDeviceOpacity;
    QSpinBox *spinBoxDeviceOpacity;
    QLabel *labelDeviceOpacityPercent;

    // Multifeed
    QWidget *tabBackToThePaper;
    QGroupBox *groupBoxDeviceMultifeedUdds;
    QLabel *labelDeviceMultifeedUddsSensitivity;
    QComboBox *comboBoxDeviceMultifeedUddsSensitivity;
    QLabel *labelDeviceMultifeedLength;
    QCheckBox *checkBoxDeviceMultifeedLengthEnabled;
    CustomDoubleSpinBox *doubleSpinBoxDeviceMultifeedLengthEnabled;
    QLabel *labelDeviceMultifeedLengthUnit;
    QLabel *labelDeviceMultifeedResponse;
    QComboBox *comboBoxDeviceMultifeedResponse;
    QCheckBox *checkBoxDeviceMultifeedSoundEnabled;
    QLineEdit *lineEditDeviceMultifeedSoundEnabled;
    QPushButton *pushButtonDeviceMultifeedBrowse;

    void setupUi(QWidget *form);

private:
    void setupGeneral();
    void setupTransport();
    void setupImprinter();
    void setupMultifeed();
};

#endif
