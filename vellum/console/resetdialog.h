#ifndef RESETDIALOG_H
#define RESETDIALOG_H

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// Confirms restoring the built-in profiles, optionally with the settings that
// all profiles share.
class ResetDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ResetDialog(QWidget *parent = nullptr);

    void getResetDeviceState(bool &include) const { include = m_include; }

public slots:
    void clickedBtnYes();

private:
    QCheckBox *m_checkBox;
    QLabel *m_warning;
    QPushButton *m_yes;
    QPushButton *m_no;
    bool m_include = false;
};

#endif
