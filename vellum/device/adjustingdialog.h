#ifndef ADJUSTINGDIALOG_H
#define ADJUSTINGDIALOG_H

#include <QDialog>

class PMessage;
class QComboBox;
class QLabel;
class QPushButton;
class QTextEdit;

// Chooses a calibration (1 magnification, 2 magnification test, 3 UDDS) and
// clears the magnification corrections shown on the diagnostics page. OK
// closes the dialog, then asks the console through the hub to calibrate.
class AdjustingDialog : public QDialog
{
    Q_OBJECT
public:
    AdjustingDialog(int type, PMessage *hub, QWidget *parent = nullptr);
    ~AdjustingDialog() override;

signals:
    void changeMagnification();

public slots:
    void clickedBtnEnsure();
    void clickedBtnClearAway();
    void changeExplain(int index);

private:
    void loadWordingList();

    PMessage *m_hub;
    QLabel *m_labelType;
    QComboBox *m_comboBoxType;
    QPushButton *m_pushButtonClean;
    QTextEdit *m_textEditType;
    QPushButton *m_pushButtonEnsure;
    QPushButton *m_pushButtonExit;
};

#endif
