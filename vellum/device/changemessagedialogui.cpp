#include "changemessagedialogui.h"

#include "deviceuitools.h"

using deviceui::named;

void Ui_ChangeMessageDialog::setupUi(QDialog *dialog)
{
    dialog->setObjectName("ChangeMessageDialog");
    dialog->resize(692, 406);

    auto *outer = new QHBoxLayout(dialog);

    // Left: the item list (or the hint standing in for it) and the example.
    auto *left = new QVBoxLayout;
    auto *top = new QHBoxLayout;
    labelFormat = named<QLabel>(dialog, "labelFormat");
    pushButtonAdd = named<QPushButton>(dialog, "pushButtonAdd");
    pushButtonChange = named<QPushButton>(dialog, "pushButtonChange");
    pushButtonDelete = named<QPushButton>(dialog, "pushButtonDelete");
    pushButtonUp = named<QPushButton>(dialog, "pushButtonUp");
    pushButtonDown = named<QPushButton>(dialog, "pushButtonDown");
    top->addWidget(labelFormat);
    top->addStretch();
    top->addWidget(pushButtonAdd);
    top->addWidget(pushButtonChange);
    top->addWidget(pushButtonDelete);
    top->addWidget(pushButtonUp);
    top->addWidget(pushButtonDown);
    left->addLayout(top);
    listWidgetFormat = named<QListWidget>(dialog, "listWidgetFormat");
    listWidgetFormat->setMovement(QListView::Static);
    textEditFormat = named<QTextEdit>(dialog, "textEditFormat");
    left->addWidget(listWidgetFormat, 3);
    left->addWidget(textEditFormat, 3);
    labelExample = named<QLabel>(dialog, "labelExample");
    textEditExample = named<QTextEdit>(dialog, "textEditExample");
    textEditExample->setReadOnly(true);
    labelExample->setBuddy(textEditExample);
    left->addWidget(labelExample);
    left->addWidget(textEditExample, 2);
    outer->addLayout(left, 1);

    // Right: the option group of the selected item, then OK and Cancel.
    auto *right = new QVBoxLayout;
    scrollArea = named<QScrollArea>(dialog, "scrollArea");
    scrollArea->setWidgetResizable(true);
    scrollAreaWidgetContents = named<QWidget>(nullptr, "scrollAreaWidgetContents");
    auto *groups = new QVBoxLayout(scrollAreaWidgetContents);

    groupBoxDate = named<QGroupBox>(scrollAreaWidgetContents, "groupBoxDate");
    {
        auto *g = new QGridLayout(groupBoxDate);
        labelDateFormat = named<QLabel>(groupBoxDate, "labelDateFormat");
        comboBoxDateFormat = named<QComboBox>(groupBoxDate, "comboBoxDateFormat");
        checkBoxDateSpecific = named<QCheckBox>(groupBoxDate, "checkBoxDateSpecific");
        dateEditDateSpecific = named<QDateEdit>(groupBoxDate, "dateEditDateSpecific");
        labelDelimiter = named<QLabel>(groupBoxDate, "labelDelimiter");
        comboBoxDelimiter = named<QComboBox>(groupBoxDate, "comboBoxDelimiter");
        g->addWidget(labelDateFormat, 0, 0);
        g->addWidget(comboBoxDateFormat, 0, 1);
        g->addWidget(checkBoxDateSpecific, 1, 0);
        g->addWidget(dateEditDateSpecific, 1, 1);
        g->addWidget(labelDelimiter, 2, 0);
        g->addWidget(comboBoxDelimiter, 2, 1);
    }
    groupBoxTime = named<QGroupBox>(scrollAreaWidgetContents, "groupBoxTime");
    {
        auto *g = new QGridLayout(groupBoxTime);
        labelTimeFormat = named<QLabel>(groupBoxTime, "labelTimeFormat");
        comboBoxTimeFormat = named<QComboBox>(groupBoxTime, "comboBoxTimeFormat");
        checkBoxTimeSpecific = named<QCheckBox>(groupBoxTime, "checkBoxTimeSpecific");
        timeEditTimeSpecific = named<QTimeEdit>(groupBoxTime, "timeEditTimeSpecific");
        timeEditTimeSpecific->setDisplayFormat("HH:mm");
        g->addWidget(labelTimeFormat, 0, 0);
        g->addWidget(comboBoxTimeFormat, 0, 1);
        g->addWidget(checkBoxTimeSpecific, 1, 0);
        g->addWidget(timeEditTimeSpecific, 1, 1);
    }
    groupBoxCounter = named<QGroupBox>(scrollAreaWidgetContents, "groupBoxCounter");
    {
        auto *g = new QGridLayout(groupBoxCounter);
        labelLeadingZero = named<QLabel>(groupBoxCounter, "labelLeadingZero");
        comboBoxLeadingZero = named<QComboBox>(groupBoxCounter, "comboBoxLeadingZero");
        labelFieldWidth = named<QLabel>(groupBoxCounter, "labelFieldWidth");
        spinBoxFieldWidth = named<QSpinBox>(groupBoxCounter, "spinBoxFieldWidth");
        labelNumber = named<QLabel>(groupBoxCounter, "labelNumber");
        labelLeadingZero->setBuddy(comboBoxLeadingZero);
        g->addWidget(labelLeadingZero, 0, 0);
        g->addWidget(comboBoxLeadingZero, 0, 1, 1, 2);
        g->addWidget(labelFieldWidth, 1, 0);
        g->addWidget(spinBoxFieldWidth, 1, 1);
        g->addWidget(labelNumber, 1, 2);
    }
    groups->addWidget(groupBoxDate);
    groups->addWidget(groupBoxTime);
    groups->addWidget(groupBoxCounter);
    static const char *const boxNames[6] = {"groupBoxMessageOne",   "groupBoxMessageTwo",
                                            "groupBoxMessageThree", "groupBoxMessageFour",
                                            "groupBoxMessageFive",  "groupBoxMessageSix"};
    static const char *const editNames[6] = {"lineEditMessagenOne",   "lineEditMessagenTwo",
                                             "lineEditMessagenThree", "lineEditMessagenFour",
                                             "lineEditMessagenFive",  "lineEditMessagenSix"};
    for (int i = 0; i < 6; ++i) {
        groupBoxMessage[i] = named<QGroupBox>(scrollAreaWidgetContents, boxNames[i]);
        auto *g = new QVBoxLayout(groupBoxMessage[i]);
        lineEditMessagen[i] = named<QLineEdit>(groupBoxMessage[i], editNames[i]);
        g->addWidget(lineEditMessagen[i]);
        groups->addWidget(groupBoxMessage[i]);
    }
    groups->addStretch();
    scrollArea->setWidget(scrollAreaWidgetContents);
    right->addWidget(scrollArea, 1);

    auto *buttons = new QHBoxLayout;
    pushButtonEnsure = named<QPushButton>(dialog, "pushButtonEnsure");
    pushButtonCancel = named<QPushButton>(dialog, "pushButtonCancel");
    // Return typed in a field must not close the editor.
    pushButtonEnsure->setAutoDefault(false);
    pushButtonCancel->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(pushButtonEnsure);
    buttons->addWidget(pushButtonCancel);
    right->addLayout(buttons);
    outer->addLayout(right, 1);
}
