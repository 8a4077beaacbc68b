#ifndef MAINWINDOWFORM_H
#define MAINWINDOWFORM_H

// The task editor's form: the launcher window's widget tree.

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QVBoxLayout;
class QWidget;

class Ui_MainWindow
{
public:
    QWidget *centralWidget = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QLabel *labelTaskShortcut = nullptr;
    QComboBox *comboBoxTaskShortcut = nullptr;
    QPushButton *pushButtonTaskRename = nullptr;
    QPushButton *pushButtonAbout = nullptr;
    QPushButton *pushButtonHelp = nullptr;

    QGroupBox *groupBoxScanTo = nullptr;
    QGridLayout *gridLayout_7 = nullptr;
    QGridLayout *gridLayout_4 = nullptr;
    QLabel *labelDestAddress = nullptr;
    QLabel *labelDestAddressImage = nullptr;
    QComboBox *comboBoxScanDestination = nullptr;
    QPushButton *pushButtonCreateNewMenu = nullptr;
    QPushButton *pushButtonSaveAs = nullptr;
    QPushButton *pushButtonModify = nullptr;
    QPushButton *pushButtonDelete = nullptr;
    QLabel *labelFileType = nullptr;
    QLabel *labelFileTypeImage = nullptr;
    QComboBox *comboBoxFileType = nullptr;
    QPushButton *pushButtonOcrFileSetting = nullptr;
    QLabel *labelSaveFilePath = nullptr;
    QLineEdit *lineEditSaveFilePath = nullptr;
    QPushButton *pushButtonBrowsePath = nullptr;
    QGridLayout *gridLayout = nullptr;
    QLabel *labelFileNameFormat = nullptr;
    QComboBox *comboBoxFileNameFormat = nullptr;
    QLabel *labelFileNamePrefix = nullptr;
    QLineEdit *lineEditFileNamePrefix = nullptr;
    QCheckBox *checkBoxAfterSendFileDeleteFile = nullptr;
    QCheckBox *checkBoxBeforeSaveFileSettingName = nullptr;
    QLabel *labelPrinterName = nullptr;
    QLineEdit *lineEditPrinterName = nullptr;
    QPushButton *pushButtonPrinterSetting = nullptr;
    QCheckBox *checkBoxBeforePrintingDisplaySetting = nullptr;
    QLabel *labelScalePrintingPage = nullptr;
    QComboBox *comboBoxScalePrintingPage = nullptr;
    QCheckBox *checkBoxCenterPrinting = nullptr;

    QGroupBox *groupBoxScanOption = nullptr;
    QGridLayout *gridLayout_5 = nullptr;
    QGridLayout *gridLayout_2 = nullptr;
    QCheckBox *checkBoxBeforeSaveFileEditImage = nullptr;
    QCheckBox *checkBoxBlankPageSeparate = nullptr;
    QPushButton *pushButtonBlankPageSetting = nullptr;
    QCheckBox *checkBoxADFTrayEmptyWaiting = nullptr;
    QCheckBox *checkBoxBarcodeSeparate = nullptr;
    QCheckBox *checkBoxAddKeywordToDoc = nullptr;
    QCheckBox *checkBoxAddWatermark = nullptr;
    QPushButton *pushButtonWatermarkSetting = nullptr;

    QGroupBox *groupBoxScanAs = nullptr;
    QGridLayout *gridLayout_3 = nullptr;
    QLabel *labelSettingShortcut = nullptr;
    QLabel *labelSettingShortcutImage = nullptr;
    QLineEdit *lineEditSettingShortcut = nullptr;
    QPushButton *pushButtonSettingShortcut = nullptr;
    QHBoxLayout *horizontalLayout_3 = nullptr;
    QCheckBox *checkBoxBeforeScanDisplaySetting = nullptr;

    QHBoxLayout *horizontalLayout_2 = nullptr;
    QPushButton *pushButtonTest = nullptr;
    QPushButton *pushButtonOK = nullptr;
    QPushButton *pushButtonCancel = nullptr;
    QPushButton *pushButtonApply = nullptr;

    void setupUi(QMainWindow *window);
    void retranslateUi(QMainWindow *window);
};

#endif // MAINWINDOWFORM_H
