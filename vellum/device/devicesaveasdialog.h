#ifndef DEVICESAVEASDIALOG_H
#define DEVICESAVEASDIALOG_H

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

// Asks for a folder and writes the device-log package "corvan.eklog" there.
class DeviceSaveAsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DeviceSaveAsDialog(QWidget *parent = nullptr);
    ~DeviceSaveAsDialog() override;

public slots:
    void clickedBtnBrowse();
    void clickedBtnSave();
    void clickedBtnExit();

private:
    void loadWordingList();

    QLabel *m_labelDescription;
    QTextEdit *m_textEditDescription;
    QLabel *m_labelFolder;
    QLineEdit *m_lineEditFolder;
    QPushButton *m_pushButtonBrowse;
    QCheckBox *m_checkBoxIncludeTheDebugImage;
    QPushButton *m_pushButtonSave;
    QPushButton *m_pushButtonExit;
};

#endif
