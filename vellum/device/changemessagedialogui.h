#ifndef CHANGEMESSAGEDIALOGUI_H
#define CHANGEMESSAGEDIALOGUI_H

#include <QtWidgets>

// Widget tree of the template editor. Texts are set by the dialog itself.
class Ui_ChangeMessageDialog
{
public:
    QLabel *labelFormat;
    QListWidget *listWidgetFormat;
    QTextEdit *textEditFormat;
    QPushButton *pushButtonAdd;
    QPushButton *pushButtonChange;
    QPushButton *pushButtonDelete;
    QPushButton *pushButtonUp;
    QPushButton *pushButtonDown;
    QLabel *labelExample;
    QTextEdit *textEditExample;
    QScrollArea *scrollArea;
    QWidget *scrollAreaWidgetContents;

    QGroupBox *groupBoxDate;
    QLabel *labelDateFormat;
    QComboBox *comboBoxDateFormat;
    QCheckBox *checkBoxDateSpecific;
    QDateEdit *dateEditDateSpecific;
    QLabel *labelDelimiter;
    QComboBox *comboBoxDelimiter;

    QGroupBox *groupBoxTime;
    QLabel *labelTimeFormat;
    QComboBox *comboBoxTimeFormat;
    QCheckBox *checkBoxTimeSpecific;
    QTimeEdit *timeEditTimeSpecific;

    QGroupBox *groupBoxCounter;
    QLabel *labelLeadingZero;
    QComboBox *comboBoxLeadingZero;
    QLabel *labelFieldWidth;
    QSpinBox *spinBoxFieldWidth;
    QLabel *labelNumber;

    QGroupBox *groupBoxMessage[6];
    QLineEdit *lineEditMessagen[6];

    QPushButton *pushButtonEnsure;
    QPushButton *pushButtonCancel;

    void setupUi(QDialog *dialog);
};

#endif
