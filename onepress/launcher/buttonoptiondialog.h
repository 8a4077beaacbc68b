#ifndef BUTTONOPTIONDIALOG_H
#define BUTTONOPTIONDIALOG_H

// How many scanner buttons are active (1 to 20). The window keeps one
// instance, so the box shows the last choice made in it.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

class Ui_ButtonOptionDialog
{
public:
    QLabel *labelButtonsInfo = nullptr;
    QComboBox *comboBoxButtonsCount = nullptr;
    QPushButton *pushButtonOK = nullptr;
    QPushButton *pushButtonCancel = nullptr;
    void setupUi(QDialog *dialog);
};

class ButtonOptionDialog : public QDialog
{
    Q_OBJECT
public:
    ButtonOptionDialog(int *optionNumber, QWidget *parent = nullptr);
    ~ButtonOptionDialog() override;
    Ui_ButtonOptionDialog *form() const { return ui; }

public slots:
    void clickedBtnOK();

private:
    Ui_ButtonOptionDialog *ui;
    int *m_pOptionNumber;
};

#endif // BUTTONOPTIONDIALOG_H
