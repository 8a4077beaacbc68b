#include "changemessagedialog.h"

#include "changemessagedialogui.h"
#include "devicecombo.h"
#include "pmessage.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>

#include <cstring>

using devicecombo::select;
using devicecombo::value;

namespace {

const char kCodes[] = {'Y', 'T', 'S', '1', '2', '3', '4', '5', '6', ' ', 'N'};
constexpr int kCodeCount = int(sizeof(kCodes));

// The record's fixed date and time are ASCII digits whatever the desktop's
// language: the system locale would write Arabic-Indic digits, for one.
QString stampDate(const QDate &date)
{
    return QLocale::c().toString(date, QStringLiteral("yyyy/MM/dd"));
}

QString stampTime(const QTime &time)
{
    return QLocale::c().toString(time, QStringLiteral("HH:mm"));
}

} // namespace

ChangeMessageDialog::ChangeMessageDialog(tagSTAMP_CONFIG *stamp, PMessage *hub, QWidget *parent)
    : QDialog(parent), ui(new Ui_ChangeMessageDialog), m_hub(hub), m_stamp(stamp),
      m_menuAdd(nullptr), m_menuChange(nullptr), m_nStoredWidth(stamp ? stamp->counterWidth : 0)
{
    ui->setupUi(this);
    initDialog();
    adjustWindow();
}

ChangeMessageDialog::~ChangeMessageDialog()
{
    delete ui;
}

void ChangeMessageDialog::initDialog()
{
    Qt::WindowFlags flags = windowFlags();
    flags &= ~Qt::WindowMaximizeButtonHint;
    flags &= ~Qt::WindowContextHelpButtonHint;
    flags |= Qt::CustomizeWindowHint;
    setWindowFlags(flags);
    loadPage();
    loadUserList();
    connectMessage();
}

void ChangeMessageDialog::adjustWindow()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desk = screen->geometry();
    move((desk.width() - width()) / 2, (desk.height() - height()) / 2);
}

void ChangeMessageDialog::loadPage()
{
    loadPageWording();
    transitionPage();
    createDatePage();
    createTimePage();
    createCounterPage();
}

void ChangeMessageDialog::loadPageWording()
{
    setWindowTitle(tr("讯息"));
    ui->labelFormat->setText(tr("格式 (&F)："));
    ui->labelFormat->setBuddy(ui->pushButtonAdd);
    ui->labelExample->setText(tr("例子 (&E)："));
    ui->textEditFormat->setPlainText(
        tr("请创建打印字符串的模板，请使用上面的“添加”按钮将项目添加到此列表。"));
    ui->textEditFormat->setEnabled(false);
    ui->groupBoxDate->setTitle(tr("日期"));
    ui->labelDateFormat->setText(tr("格式："));
    ui->checkBoxDateSpecific->setText(tr("特定日期："));
    ui->labelDelimiter->setText(tr("分隔符："));
    ui->groupBoxTime->setTitle(tr("时间"));
    ui->labelTimeFormat->setText(tr("格式："));
    ui->checkBoxTimeSpecific->setText(tr("特定时间："));
    ui->groupBoxCounter->setTitle(tr("计数器"));
    ui->labelLeadingZero->setText(tr("前导零 (&Z)："));
    ui->labelFieldWidth->setText(tr("字段宽度："));
    ui->labelNumber->setText(tr("数字"));
    for (int i = 0; i < 6; ++i)
        ui->groupBoxMessage[i]->setTitle(tr("讯息%1").arg(i + 1));
    ui->pushButtonEnsure->setText(tr("确定 (&K)"));
    ui->pushButtonCancel->setText(tr("取消"));
}

void ChangeMessageDialog::transitionPage()
{
    auto iconButton = [](QPushButton *b, const char *icon, int side, const QString &tip) {
        b->setIcon(QIcon(QString::fromLatin1(icon)));
        b->setIconSize(QSize(side, side));
        b->setText(QString());
        b->setToolTip(tip);
        b->setFlat(true);
    };
    iconButton(ui->pushButtonUp, ":/ui/images/up.png", 20, tr("上移"));
    iconButton(ui->pushButtonDown, ":/ui/images/down.png", 20, tr("下移"));
    iconButton(ui->pushButtonDelete, ":/ui/images/delete.png", 25, tr("删除"));

    m_menuAdd = new QMenu(this);
    m_menuChange = new QMenu(this);
    for (char code : kCodes) {
        auto *add = new QAction(itemName(code), this);
        auto *change = new QAction(itemName(code), this);
        m_menuAdd->addAction(add);
        m_menuChange->addAction(change);
    }
    iconButton(ui->pushButtonAdd, ":/ui/images/add-tool.png", 32, tr("添加"));
    ui->pushButtonAdd->setStyleSheet("QPushButton::menu-indicator{image:none;}");
    ui->pushButtonAdd->setAutoFillBackground(true);
    ui->pushButtonAdd->setMenu(m_menuAdd);
    iconButton(ui->pushButtonChange, ":/ui/images/rename.png", 32, tr("更改"));
    ui->pushButtonChange->setStyleSheet("QPushButton::menu-indicator{image:none;}");
    ui->pushButtonChange->setAutoFillBackground(true);
    ui->pushButtonChange->setMenu(m_menuChange);

    ui->textEditFormat->show();
    ui->listWidgetFormat->hide();
    ui->scrollArea->hide();
    ui->listWidgetFormat->setFocus();
    ui->dateEditDateSpecific->setCalendarPopup(true);
    ui->dateEditDateSpecific->setDisplayFormat("yyyy/MM/dd");
    ui->dateEditDateSpecific->setDate(QDate::currentDate());
    ui->timeEditTimeSpecific->setTime(QTime::currentTime());
    ui->dateEditDateSpecific->setEnabled(false);
    ui->timeEditTimeSpecific->setEnabled(false);
}

void ChangeMessageDialog::createDatePage()
{
    const char *const formats[] = {"DDMMYYYY", "DDD",    "MMDDYYYY", "YYYYDDD", "YYYYMMDD",
                                   "DDMMYY",   "MMDDYY", "YYDDD",    "YYMMDD"};
    for (int i = 0; i < 9; ++i)
        ui->comboBoxDateFormat->addItem(QString::fromLatin1(formats[i]), i);
    ui->comboBoxDelimiter->addItem(tr("无"), 0);
    ui->comboBoxDelimiter->addItem(tr("空格"), 1);
    ui->comboBoxDelimiter->addItem(tr("斜杠：/"), 2);
    ui->comboBoxDelimiter->addItem(tr("连字号：-"), 3);
    ui->comboBoxDelimiter->addItem(tr("句点：."), 4);
}

void ChangeMessageDialog::createTimePage()
{
    const char *const formats[] = {"HHmm",      "hhmm",    "HHmmss",    "hhmmss",      "HHmmss.xx",
                                   "hhmmss.xx", "hhmm tt", "hhmmss tt", "hhmmss.xx tt"};
    for (int i = 0; i < 9; ++i)
        ui->comboBoxTimeFormat->addItem(QString::fromLatin1(formats[i]), i);
}

void ChangeMessageDialog::createCounterPage()
{
    ui->comboBoxLeadingZero->addItem(tr("显示"), 2);
    ui->comboBoxLeadingZero->addItem(tr("显示为空格"), 0);
    ui->comboBoxLeadingZero->addItem(tr("不显示"), 1);
    ui->spinBoxFieldWidth->setRange(1, 9);
    ui->spinBoxFieldWidth->setValue(9);
}

void ChangeMessageDialog::appendExample(const QString &piece)
{
    ui->textEditExample->setPlainText(ui->textEditExample->toPlainText() + piece);
}

void ChangeMessageDialog::loadUserList()
{
    if (!m_stamp)
        return;
    const tagSTAMP_CONFIG &s = *m_stamp;
    for (int slot = 0; slot < MaxItems && s.textTemplate[slot] != 'Z'; ++slot) {
        const char code = s.textTemplate[slot];
        const QString name = itemName(code);
        if (name.isEmpty())
            continue;
        ui->listWidgetFormat->addItem(name);
        switch (code) {
        case 'Y': {
            select(ui->comboBoxDateFormat, s.dateFormat);
            select(ui->comboBoxDelimiter, s.dateDelimiter);
            const bool set = s.dateText[0] != 0;
            // A stored date is shown as stored, so OK keeps it; a damaged
            // one falls back to today.
            const QDate stored = QDate::fromString(stampDateText(s), "yyyy/MM/dd");
            ui->dateEditDateSpecific->setDate(set && stored.isValid() ? stored
                                                                      : QDate::currentDate());
            ui->checkBoxDateSpecific->setChecked(set);
            ui->dateEditDateSpecific->setEnabled(set);
            appendExample(getDateFormat(s.dateDelimiter, s.dateFormat, set,
                                        ui->dateEditDateSpecific->date()));
            break;
        }
        case 'T': {
            select(ui->comboBoxTimeFormat, s.timeFormat);
            const bool set = s.timeText[0] != 0;
            const QTime stored = QTime::fromString(stampTimeText(s), "HH:mm");
            if (set && stored.isValid())
                ui->timeEditTimeSpecific->setTime(stored);
            ui->checkBoxTimeSpecific->setChecked(set);
            ui->timeEditTimeSpecific->setEnabled(set);
            appendExample(getTimeFormat(set, s.timeFormat, ui->timeEditTimeSpecific->time()));
            break;
        }
        case 'S':
            select(ui->comboBoxLeadingZero, s.counterLeadingZero);
            if (s.counterWidth >= 1 && s.counterWidth <= 9)
                ui->spinBoxFieldWidth->setValue(s.counterWidth);
            appendExample(getCounterFormat(s.counterWidth, s.counterLeadingZero));
            break;
        case 'N':
            appendExample("\r\n");
            break;
        case ' ':
            appendExample(" ");
            break;
        default: {
            const int index = code - '1';
            const QString text = stampMessage(s, index);
            ui->lineEditMessagen[index]->setText(text);
            appendExample(text);
            break;
        }
        }
    }

    if (ui->listWidgetFormat->count() == 0) {
        ui->pushButtonChange->setEnabled(false);
        ui->pushButtonDelete->setEnabled(false);
        ui->pushButtonUp->setEnabled(false);
        ui->pushButtonDown->setEnabled(false);
        updateAddState();
        return;
    }
    ui->textEditFormat->hide();
    ui->listWidgetFormat->show();
    ui->listWidgetFormat->setCurrentRow(0);
    showPageOf(ui->listWidgetFormat->item(0)->text());
    const bool several = ui->listWidgetFormat->count() >= 2;
    ui->pushButtonUp->setEnabled(false);
    ui->pushButtonDown->setEnabled(several);
    updateAddState();
}

void ChangeMessageDialog::connectMessage()
{
    connect(ui->pushButtonDelete, &QPushButton::clicked, this,
            &ChangeMessageDialog::clickedDeleteItem);
    connect(ui->listWidgetFormat, &QListWidget::clicked, this, &ChangeMessageDialog::itemClicked);
    connect(ui->pushButtonEnsure, &QPushButton::clicked, this,
            &ChangeMessageDialog::clickedEnsureBtn);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this,
            &ChangeMessageDialog::clickedCancelBtn);
    connect(ui->pushButtonUp, &QPushButton::clicked, this, &ChangeMessageDialog::clickedMoveUpItem);
    connect(ui->pushButtonDown, &QPushButton::clicked, this,
            &ChangeMessageDialog::clickedMoveDownItem);

    connect(ui->dateEditDateSpecific, &QDateEdit::dateChanged, this,
            &ChangeMessageDialog::currentDateCheckStateOrIndexChange);
    connect(ui->checkBoxDateSpecific, &QCheckBox::stateChanged, this,
            &ChangeMessageDialog::currentDateCheckStateOrIndexChange);
    connect(ui->comboBoxDateFormat, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChangeMessageDialog::currentDateCheckStateOrIndexChange);
    connect(ui->comboBoxDelimiter, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChangeMessageDialog::currentDateCheckStateOrIndexChange);
    connect(ui->timeEditTimeSpecific, &QTimeEdit::timeChanged, this,
            &ChangeMessageDialog::currentTimeCheckStateOrIndexChange);
    connect(ui->checkBoxTimeSpecific, &QCheckBox::stateChanged, this,
            &ChangeMessageDialog::currentTimeCheckStateOrIndexChange);
    connect(ui->comboBoxTimeFormat, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChangeMessageDialog::currentTimeCheckStateOrIndexChange);
    connect(ui->spinBoxFieldWidth, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ChangeMessageDialog::currentCounterValueOrIndexChange);
    connect(ui->comboBoxLeadingZero, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ChangeMessageDialog::currentCounterValueOrIndexChange);
    connect(ui->spinBoxFieldWidth, &QSpinBox::editingFinished, this,
            &ChangeMessageDialog::updateStampIndexValue);
    for (QLineEdit *edit : ui->lineEditMessagen)
        connect(edit, &QLineEdit::textEdited, this, &ChangeMessageDialog::currentMessageChange);
    connectAddAndChange();
}

void ChangeMessageDialog::connectAddAndChange()
{
    using Slot = void (ChangeMessageDialog::*)();
    static const Slot adds[kCodeCount] = {
        &ChangeMessageDialog::triggeredAddDate,     &ChangeMessageDialog::triggeredAddTime,
        &ChangeMessageDialog::triggeredAddCounter,  &ChangeMessageDialog::triggeredAddMessage1,
        &ChangeMessageDialog::triggeredAddMessage2, &ChangeMessageDialog::triggeredAddMessage3,
        &ChangeMessageDialog::triggeredAddMessage4, &ChangeMessageDialog::triggeredAddMessage5,
        &ChangeMessageDialog::triggeredAddMessage6, &ChangeMessageDialog::triggeredAddBlank,
        &ChangeMessageDialog::triggeredAddNewLine};
    static const Slot changes[kCodeCount] = {&ChangeMessageDialog::triggeredChangeDate,
                                             &ChangeMessageDialog::triggeredChangeTime,
                                             &ChangeMessageDialog::triggeredChangeCounter,
                                             &ChangeMessageDialog::triggeredChangeMessage1,
                                             &ChangeMessageDialog::triggeredChangeMessage2,
                                             &ChangeMessageDialog::triggeredChangeMessage3,
                                             &ChangeMessageDialog::triggeredChangeMessage4,
                                             &ChangeMessageDialog::triggeredChangeMessage5,
                                             &ChangeMessageDialog::triggeredChangeMessage6,
                                             &ChangeMessageDialog::triggeredChangeBlank,
                                             &ChangeMessageDialog::triggeredChangeNewLine};
    const QList<QAction *> addActions = m_menuAdd->actions();
    const QList<QAction *> changeActions = m_menuChange->actions();
    for (int i = 0; i < kCodeCount; ++i) {
        connect(addActions.at(i), &QAction::triggered, this, adds[i]);
        connect(changeActions.at(i), &QAction::triggered, this, changes[i]);
    }
}

void ChangeMessageDialog::disconnectMessage() {}

void ChangeMessageDialog::keyPressEvent(QKeyEvent *event)
{
    // Escape must not discard the template, nor Return in a field accept it.
    event->accept();
}

void ChangeMessageDialog::showGroup(int index)
{
    QGroupBox *groups[] = {ui->groupBoxDate,       ui->groupBoxTime,       ui->groupBoxCounter,
                           ui->groupBoxMessage[0], ui->groupBoxMessage[1], ui->groupBoxMessage[2],
                           ui->groupBoxMessage[3], ui->groupBoxMessage[4], ui->groupBoxMessage[5]};
    for (int i = 0; i < 9; ++i)
        groups[i]->setHidden(i != index);
    ui->scrollArea->show();
}

void ChangeMessageDialog::applyRowRule()
{
    const int count = ui->listWidgetFormat->count();
    const int row = ui->listWidgetFormat->currentRow();
    if (count < 2) {
        ui->pushButtonUp->setEnabled(false);
        ui->pushButtonDown->setEnabled(false);
        return;
    }
    ui->pushButtonUp->setEnabled(row != 0);
    ui->pushButtonDown->setEnabled(row != count - 1);
}

void ChangeMessageDialog::updateAddState()
{
    ui->pushButtonAdd->setEnabled(ui->listWidgetFormat->count() < MaxItems);
}

// The page of an item kind: its option group, or no option area for blank
// and new line.
void ChangeMessageDialog::showPageOf(const QString &name)
{
    switch (itemCode(name)) {
    case 'Y':
        dateVisiable();
        break;
    case 'T':
        timeVisiable();
        break;
    case 'S':
        counterVisiable();
        break;
    case '1':
        message1Visiable();
        break;
    case '2':
        message2Visiable();
        break;
    case '3':
        message3Visiable();
        break;
    case '4':
        message4Visiable();
        break;
    case '5':
        message5Visiable();
        break;
    case '6':
        message6Visiable();
        break;
    case ' ':
        blankVisiable();
        break;
    case 'N':
        newLineVisiable();
        break;
    default:
        break;
    }
}

#define CMD_PAGE(fn, group)                                                                        \
    void ChangeMessageDialog::fn()                                                                 \
    {                                                                                              \
        ui->textEditFormat->hide();                                                                \
        ui->listWidgetFormat->show();                                                              \
        ui->pushButtonChange->setEnabled(true);                                                    \
        ui->pushButtonDelete->setEnabled(true);                                                    \
        if ((group) >= 0)                                                                          \
            showGroup(group);                                                                      \
        else                                                                                       \
            ui->scrollArea->hide();                                                                \
        applyRowRule();                                                                            \
    }
CMD_PAGE(dateVisiable, 0)
CMD_PAGE(timeVisiable, 1)
CMD_PAGE(counterVisiable, 2)
CMD_PAGE(message1Visiable, 3)
CMD_PAGE(message2Visiable, 4)
CMD_PAGE(message3Visiable, 5)
CMD_PAGE(message4Visiable, 6)
CMD_PAGE(message5Visiable, 7)
CMD_PAGE(message6Visiable, 8)
CMD_PAGE(blankVisiable, -1)
CMD_PAGE(newLineVisiable, -1)
#undef CMD_PAGE

void ChangeMessageDialog::addItem(char code)
{
    if (ui->listWidgetFormat->count() >= MaxItems)
        return;
    const QString name = itemName(code);
    ui->listWidgetFormat->addItem(name);
    ui->listWidgetFormat->setCurrentRow(ui->listWidgetFormat->count() - 1);
    showPageOf(name);
    updateAddState();
    updateListFormat();
}

void ChangeMessageDialog::changeItem(char code)
{
    QListWidgetItem *item = ui->listWidgetFormat->currentItem();
    if (!item)
        return;
    item->setText(itemName(code));
    if (code == ' ' || code == 'N')
        ui->scrollArea->hide();
    else
        showPageOf(item->text());
    updateListFormat();
}

void ChangeMessageDialog::triggeredAddDate()
{
    addItem('Y');
}
void ChangeMessageDialog::triggeredAddTime()
{
    addItem('T');
}
void ChangeMessageDialog::triggeredAddCounter()
{
    addItem('S');
}
void ChangeMessageDialog::triggeredAddMessage1()
{
    addItem('1');
}
void ChangeMessageDialog::triggeredAddMessage2()
{
    addItem('2');
}
void ChangeMessageDialog::triggeredAddMessage3()
{
    addItem('3');
}
void ChangeMessageDialog::triggeredAddMessage4()
{
    addItem('4');
}
void ChangeMessageDialog::triggeredAddMessage5()
{
    addItem('5');
}
void ChangeMessageDialog::triggeredAddMessage6()
{
    addItem('6');
}
void ChangeMessageDialog::triggeredAddBlank()
{
    addItem(' ');
}
void ChangeMessageDialog::triggeredAddNewLine()
{
    addItem('N');
}
void ChangeMessageDialog::triggeredChangeDate()
{
    changeItem('Y');
}
void ChangeMessageDialog::triggeredChangeTime()
{
    changeItem('T');
}
void ChangeMessageDialog::triggeredChangeCounter()
{
    changeItem('S');
}
void ChangeMessageDialog::triggeredChangeMessage1()
{
    changeItem('1');
}
void ChangeMessageDialog::triggeredChangeMessage2()
{
    changeItem('2');
}
void ChangeMessageDialog::triggeredChangeMessage3()
{
    changeItem('3');
}
void ChangeMessageDialog::triggeredChangeMessage4()
{
    changeItem('4');
}
void ChangeMessageDialog::triggeredChangeMessage5()
{
    changeItem('5');
}
void ChangeMessageDialog::triggeredChangeMessage6()
{
    changeItem('6');
}
void ChangeMessageDialog::triggeredChangeBlank()
{
    changeItem(' ');
}
void ChangeMessageDialog::triggeredChangeNewLine()
{
    changeItem('N');
}

void ChangeMessageDialog::clickedDeleteItem()
{
    const int row = ui->listWidgetFormat->currentRow();
    if (row < 0)
        return;
    delete ui->listWidgetFormat->takeItem(row);
    updateListFormat();
    if (ui->listWidgetFormat->count() == 0) {
        ui->pushButtonChange->setEnabled(false);
        ui->pushButtonDelete->setEnabled(false);
        ui->scrollArea->hide();
        ui->listWidgetFormat->hide();
        ui->textEditFormat->show();
    }
    applyRowRule();
    updateAddState();
}

void ChangeMessageDialog::clickedMoveUpItem()
{
    const int row = ui->listWidgetFormat->currentRow();
    if (row <= 0)
        return;
    QListWidgetItem *cur = ui->listWidgetFormat->item(row);
    QListWidgetItem *above = ui->listWidgetFormat->item(row - 1);
    const QString text = cur->text();
    cur->setText(above->text());
    above->setText(text);
    ui->listWidgetFormat->setCurrentRow(row - 1);
    ui->pushButtonUp->setEnabled(row - 1 != 0);
    ui->pushButtonDown->setEnabled(true);
    updateListFormat();
}

void ChangeMessageDialog::clickedMoveDownItem()
{
    const int row = ui->listWidgetFormat->currentRow();
    const int last = ui->listWidgetFormat->count() - 1;
    if (row < 0 || row >= last)
        return;
    QListWidgetItem *cur = ui->listWidgetFormat->item(row);
    QListWidgetItem *below = ui->listWidgetFormat->item(row + 1);
    const QString text = cur->text();
    cur->setText(below->text());
    below->setText(text);
    ui->listWidgetFormat->setCurrentRow(row + 1);
    if (row + 1 == last) {
        ui->pushButtonUp->setEnabled(true);
        ui->pushButtonDown->setEnabled(false);
    } else {
        ui->pushButtonUp->setEnabled(true);
        ui->pushButtonDown->setEnabled(true);
    }
    updateListFormat();
}

void ChangeMessageDialog::itemClicked()
{
    QListWidgetItem *cur = ui->listWidgetFormat->currentItem();
    if (!cur)
        return;
    for (char code : kCodes)
        if (QString::localeAwareCompare(cur->text(), itemName(code)) == 0)
            showPageOf(itemName(code));
    const int row = ui->listWidgetFormat->currentRow();
    ui->pushButtonUp->setEnabled(row != 0);
    ui->pushButtonDown->setEnabled(row != ui->listWidgetFormat->count() - 1);
}

void ChangeMessageDialog::currentDateCheckStateOrIndexChange()
{
    ui->dateEditDateSpecific->setEnabled(ui->checkBoxDateSpecific->checkState() != Qt::Unchecked);
    updateListFormat();
}

void ChangeMessageDialog::currentTimeCheckStateOrIndexChange()
{
    ui->timeEditTimeSpecific->setEnabled(ui->checkBoxTimeSpecific->checkState() != Qt::Unchecked);
    updateListFormat();
}

void ChangeMessageDialog::currentCounterValueOrIndexChange()
{
    updateListFormat();
}

void ChangeMessageDialog::currentMessageChange()
{
    updateListFormat();
}

void ChangeMessageDialog::updateStampIndexValue()
{
    if (m_hub)
        emit m_hub->updateStampIndexValue(m_nStoredWidth <= ui->spinBoxFieldWidth->value());
}

void ChangeMessageDialog::updateListFormat()
{
    QString text;
    for (int row = 0; row < ui->listWidgetFormat->count(); ++row) {
        const char code = itemCode(ui->listWidgetFormat->item(row)->text());
        switch (code) {
        case 'Y': {
            const bool specific = ui->checkBoxDateSpecific->isChecked();
            const QDate date = specific ? ui->dateEditDateSpecific->date() : QDate::currentDate();
            text += parserDate(StampTextDateFormatFlag(value(ui->comboBoxDateFormat)),
                               StampTextDateDelimiterFlag(value(ui->comboBoxDelimiter)),
                               stampDate(date), specific);
            break;
        }
        case 'T': {
            const bool specific = ui->checkBoxTimeSpecific->isChecked();
            const QTime time = specific ? ui->timeEditTimeSpecific->time() : QTime::currentTime();
            text += parserTime(StampTextTimeFormatFlag(value(ui->comboBoxTimeFormat)),
                               stampTime(time), !specific);
            break;
        }
        case 'S':
            text += parserCounter(StampTextIndexFormatFlag(value(ui->comboBoxLeadingZero)),
                                  ui->spinBoxFieldWidth->value());
            break;
        case ' ':
            text += " ";
            break;
        case 'N':
            text += "\r\n";
            break;
        case 0:
            break;
        default: {
            QLineEdit *edit = ui->lineEditMessagen[code - '1'];
            text += edit->text();
            // The imprinter's font has printable ASCII only, twenty to a
            // message. One validator per field is enough.
            if (!edit->validator()) {
                static const QRegularExpression allowed("[\\x20-\\x7e\\s]{0,20}");
                edit->setValidator(new QRegularExpressionValidator(allowed, this));
            }
            break;
        }
        }
    }
    ui->textEditExample->setPlainText(text);
}

void ChangeMessageDialog::clickedEnsureBtn()
{
    if (m_stamp) {
        tagSTAMP_CONFIG &s = *m_stamp;
        s.dateFormat = quint8(value(ui->comboBoxDateFormat));
        s.dateDelimiter = quint8(value(ui->comboBoxDelimiter));
        s.timeFormat = quint8(value(ui->comboBoxTimeFormat));
        s.counterLeadingZero = quint8(value(ui->comboBoxLeadingZero));
        s.counterWidth = quint8(ui->spinBoxFieldWidth->value());

        setStampDateText(s, QString());
        if (ui->checkBoxDateSpecific->isChecked())
            setStampDateText(s, stampDate(ui->dateEditDateSpecific->date()));
        setStampTimeText(s, QString());
        if (ui->checkBoxTimeSpecific->isChecked())
            setStampTimeText(s, stampTime(ui->timeEditTimeSpecific->time()));

        for (int i = 0; i < 6; ++i)
            setStampMessage(s, i, ui->lineEditMessagen[i]->text().left(MessageUnits));

        std::memset(s.textTemplate, 'Z', sizeof(s.textTemplate));
        int slot = 0;
        for (int row = 0; row < ui->listWidgetFormat->count() && slot < MaxItems; ++row) {
            const char code = itemCode(ui->listWidgetFormat->item(row)->text());
            if (code)
                s.textTemplate[slot++] = code;
        }
    }
    accept();
}

void ChangeMessageDialog::clickedCancelBtn()
{
    reject();
}
