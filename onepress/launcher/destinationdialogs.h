#ifndef DESTINATIONDIALOGS_H
#define DESTINATIONDIALOGS_H

// The user's own destinations: a web-mail (SMTP) destination and a custom
// application. Both edit a record the caller owns, only on a checked OK.

#include "scandestination.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class Ui_WebMailDialog
{
public:
    QLabel *labelDestName, *labelUserName, *labelUserAddress, *labelServerAddress, *labelServerPort,
        *labelEncryptType, *labelAccount, *labelPassword, *labelAttachFileSize, *labelUnit;
    QLineEdit *lineEditDestName, *lineEditUserName, *lineEditUserAddress, *lineEditServerAddress,
        *lineEditServerPort, *lineEditAccount, *lineEditPassword, *lineEditAttachFileSize,
        *lineEditSendMailTo;
    QGroupBox *groupBoxSendUserInfo, *groupBoxSMTPSetting;
    QComboBox *comboBoxEncryptType;
    QCheckBox *checkBoxServerAuth, *checkBoxSendMailTo;
    QPushButton *pushButtonOK, *pushButtonCancel;
    void setupUi(QDialog *dialog);
};

class WebMailDialog : public QDialog
{
    Q_OBJECT
public:
    WebMailDialog(bool create, ScanDestination *store, tagSCAN_DESTINATION *record,
                  QWidget *parent = nullptr);
    ~WebMailDialog() override;
    Ui_WebMailDialog *form() const { return ui; }

public slots:
    void clickedBtnOK();
    void checkedServerAuth(bool on);
    void checkedSendMailTo(bool on);

private:
    void updateVariableToControl();
    void updateControlToVariable();

    Ui_WebMailDialog *ui;
    bool m_bCreate;
    ScanDestination *m_pStore;
    tagSCAN_DESTINATION *m_pRecord;
};

class Ui_CustomApplicationDialog
{
public:
    QLabel *labelDestName, *labelPath, *labelParams;
    QLineEdit *lineEditDestName, *lineEditPath, *lineEditParams;
    QPushButton *pushButtonBrowse, *pushButtonOK, *pushButtonCancel;
    void setupUi(QDialog *dialog);
};

class CustomApplicationDialog : public QDialog
{
    Q_OBJECT
public:
    CustomApplicationDialog(bool create, ScanDestination *store, tagSCAN_DESTINATION *record,
                            QWidget *parent = nullptr);
    ~CustomApplicationDialog() override;
    Ui_CustomApplicationDialog *form() const { return ui; }

public slots:
    void clickedBtnBrowse();
    void clickedBtnOK();

private:
    Ui_CustomApplicationDialog *ui;
    bool m_bCreate;
    ScanDestination *m_pStore;
    tagSCAN_DESTINATION *m_pRecord;
};

#endif // DESTINATIONDIALOGS_H
