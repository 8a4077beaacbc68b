#ifndef EXITHINTDIALOG_H
#define EXITHINTDIALOG_H

// Confirms the launcher's exit and switches its start at login through three
// helper programs of the installation, which need the user's password.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class Ui_ExitHintDialog
{
public:
    QLabel *labelInfo = nullptr;
    QCheckBox *checkBoxAutoRun = nullptr;
    QPushButton *pushButtonOK = nullptr;
    QPushButton *pushButtonCancel = nullptr;
    void setupUi(QDialog *dialog);
};

class Ui_ConfirmPwdDialog
{
public:
    QLabel *labelInfo = nullptr;
    QLineEdit *lineEditPwd = nullptr;
    QPushButton *pushButtonOK = nullptr;
    QPushButton *pushButtonCancel = nullptr;
    void setupUi(QDialog *dialog);
};

// The start-at-login helpers. The password goes to the helper's standard
// input as one line, never on its command line or into the trace.
class StartLoginHelpers
{
public:
    // /usr/local/sbin, or support.ini's PATH_CONFIG/StartLoginHelpers.
    static QString folder();
    static void setFolder(const QString &folder); // tests; empty restores the setting
    static int timeoutMs();
    static void setTimeoutMs(int ms);
    static QString checkStartPath();
    static QString autoStartPath();
    static QString removeStartPath();
    // Standard output up to the first NUL; empty when the helper is missing,
    // does not start or prints nothing. Never waits beyond the time-out.
    static QString run(QObject *parent, const QString &program, const QByteArray &input);
};

class ExitHintDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ExitHintDialog(QWidget *parent = nullptr);
    ~ExitHintDialog() override;

    bool checkLinuxRegister();
    Ui_ExitHintDialog *form() const { return ui; }

public slots:
    void clickedBtnOK();

private:
    Ui_ExitHintDialog *ui;
};

class ConfirmPwdDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ConfirmPwdDialog(QWidget *parent = nullptr);
    ~ConfirmPwdDialog() override;

    QString getPassword() const { return m_strPassword; }
    void clearPassword();
    Ui_ConfirmPwdDialog *form() const { return ui; }

public slots:
    void clickedBtnOK();

private:
    Ui_ConfirmPwdDialog *ui;
    QString m_strPassword;
};

#endif // EXITHINTDIALOG_H
