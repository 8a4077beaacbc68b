// The imprinter text template: its samples and the template editor.
#include "changemessagedialog.h"
#include "deviceformfixture.h"
#include "pmessage.h"
#include "support/datarows.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimeEdit>
#include <QtTest>

#include <cstring>

using devicetest::bytes;
using devicetest::child;
using devicetest::setTemplate;
using testsupport::row;

namespace {

tagSTAMP_CONFIG emptyStamp()
{
    tagSTAMP_CONFIG s;
    std::memset(static_cast<void *>(&s), 0, sizeof(s));
    std::memset(s.textTemplate, 'Z', sizeof(s.textTemplate));
    // Bytes outside the template that the editor must never touch.
    s.textStampOn = 1;
    s.textSize = 12;
    s.textColor = 0x11223300;
    s.graphicStampOn = 1;
    s.originX = 123;
    s.counterStart = 77;
    s.counterWidth = 9;
    s.counterLeadingZero = 2;
    return s;
}

} // namespace

class TestStampText : public QObject
{
    Q_OBJECT
private:
    PMessage m_hub;

    static QAction *menuAction(ChangeMessageDialog &d, const char *button, const QString &name)
    {
        for (QAction *a : child<QPushButton>(&d, button)->menu()->actions())
            if (a->text() == name)
                return a;
        qFatal("no action");
    }
    static QAction *addAction(ChangeMessageDialog &d, const QString &name)
    {
        return menuAction(d, "pushButtonAdd", name);
    }
    static QStringList items(ChangeMessageDialog &d)
    {
        QStringList l;
        auto *list = child<QListWidget>(&d, "listWidgetFormat");
        for (int i = 0; i < list->count(); ++i)
            l << list->item(i)->text();
        return l;
    }
    static bool enabled(ChangeMessageDialog &d, const char *button)
    {
        return child<QPushButton>(&d, button)->isEnabled();
    }

private slots:
    void dateSamples_data()
    {
        QTest::addColumn<int>("delimiter");
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("specific");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("editor");
        const QDate d(2026, 12, 8);
        row("label slash", 2, 0, false, d, "DD/MM/YYYY", "DD/MM/YYYY");
        row("label none", 0, 0, false, d, "DDMMYYYY", "DDMMYYYY");
        row("DDD slash", 2, 1, false, d, "DDD", "DDD");
        row("DDD period", 4, 1, false, d, "DDD", "DDD");
        row("label bad delimiter", 7, 4, false, d, "YYYYMMDD", "YYYYMMDD");
        row("label hyphen", 3, 7, false, d, "YY-DDD", "YY-DDD");
        row("bad format", 2, 9, false, d, "", "");
        row("render 0", 2, 0, true, d, "08/12/2026", "08/12/2026");
        row("render 8", 3, 8, true, d, "26-12-08", "26-12-08");
        row("render 6", 1, 6, true, d, "12 08 26", "12 08 26");
        row("day 2026", 0, 1, true, d, "2533", "341");
        row("2020-01-01", 0, 3, true, QDate(2020, 1, 1), "20200", "20200");
        row("2021-01-01", 0, 3, true, QDate(2021, 1, 1), "2021366", "20210");
        row("YYDDD leap end", 4, 7, true, QDate(2020, 12, 31), "20.365", "20.365");
        row("bad format render", 0, -1, true, d, "", "");
        row("invalid date", 0, 0, true, QDate(), "", "");
    }
    void dateSamples()
    {
        QFETCH(int, delimiter);
        QFETCH(int, format);
        QFETCH(bool, specific);
        QFETCH(QDate, date);
        QFETCH(QString, summary);
        QFETCH(QString, editor);
        QCOMPARE(ChangeMessageDialog::getDateFormat(delimiter, format, specific, date), summary);
        tagSTAMP_CONFIG s = emptyStamp();
        ChangeMessageDialog d(&s, &m_hub);
        QCOMPARE(d.parserDate(StampTextDateFormatFlag(format),
                              StampTextDateDelimiterFlag(delimiter), date.toString("yyyy/MM/dd"),
                              specific),
                 editor);
    }

    void timeSamples_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("editor");
        row("1 at 13:05", 1, QTime(13, 5), "1:05", "1:05");
        row("1 at 09:30", 1, QTime(9, 30), "09:30", "09:30");
        row("1 at 00:30", 1, QTime(0, 30), "00:30", "00:30");
        row("1 at 12:15", 1, QTime(12, 15), "12:15", "12:15");
        row("0 at 13:05", 0, QTime(13, 5), "13:05", "13:05");
        row("3 at 23:59", 3, QTime(23, 59), "11:59:00", "11:59:00");
        row("4 at 13:05", 4, QTime(13, 5), "13:05:00.000", "13:05:00.000");
        row("6 at 13:05", 6, QTime(13, 5), "1:05 PM", "01:05 PM");
        row("7 at 09:30", 7, QTime(9, 30), "9:30:00 AM", "09:30:00 AM");
        row("8 at 13:05", 8, QTime(13, 5), "1:05:00.000 PM", "01:05:00.000 PM");
        row("bad format", 9, QTime(13, 5), "", "");
        row("invalid time", 0, QTime(), "", "");
    }
    void timeSamples()
    {
        QFETCH(int, format);
        QFETCH(QTime, time);
        QFETCH(QString, summary);
        QFETCH(QString, editor);
        QCOMPARE(ChangeMessageDialog::getTimeFormat(true, format, time), summary);
        tagSTAMP_CONFIG s = emptyStamp();
        ChangeMessageDialog d(&s, &m_hub);
        // The editor's flag asks for the label when true.
        QCOMPARE(d.parserTime(StampTextTimeFormatFlag(format), time.toString("HH:mm"), false),
                 editor);
    }

    void timeLabels()
    {
        tagSTAMP_CONFIG s = emptyStamp();
        ChangeMessageDialog d(&s, &m_hub);
        QCOMPARE(ChangeMessageDialog::getTimeFormat(false, 8, QTime(1, 2)),
                 QString("hh:mm:ss.xx tt"));
        QCOMPARE(d.parserTime(StampTimeHHmm, "13:05", true), QString("HH:mm"));
        QCOMPARE(d.parserTime(StampTextTimeFormatFlag(12), "13:05", true), QString());
        QCOMPARE(ChangeMessageDialog::transformTimeFormat(QTime(13, 5), "hh:mm"), QString("1:05"));
    }

    void counterSamples_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("sample");
        row("9 zeros", 9, 2, "000000009");
        row("5 hidden", 5, 1, "<<<<5");
        row("3 spaces", 3, 0, "  3");
        row("1 any", 1, 1, "1");
        row("width 0", 0, 2, "");
        row("width 10", 10, 2, "");
        row("mode 3", 4, 3, "");
    }
    void counterSamples()
    {
        QFETCH(int, width);
        QFETCH(int, mode);
        QFETCH(QString, sample);
        QCOMPARE(ChangeMessageDialog::getCounterFormat(width, mode), sample);
        tagSTAMP_CONFIG s = emptyStamp();
        ChangeMessageDialog d(&s, &m_hub);
        QCOMPARE(d.parserCounter(StampTextIndexFormatFlag(mode), width), sample);
    }

    void emptyTemplate()
    {
        tagSTAMP_CONFIG s = emptyStamp();
        ChangeMessageDialog d(&s, &m_hub);
        QCOMPARE(d.windowTitle(), QString("讯息"));
        QVERIFY(!child<QTextEdit>(&d, "textEditFormat")->isHidden());
        QCOMPARE(child<QTextEdit>(&d, "textEditFormat")->toPlainText(),
                 QString("请创建打印字符串的模板，请使用上面的“添加”按钮将项目添加到此列表。"));
        QVERIFY(child<QListWidget>(&d, "listWidgetFormat")->isHidden());
        QVERIFY(child<QScrollArea>(&d, "scrollArea")->isHidden());
        for (const char *b :
             {"pushButtonChange", "pushButtonDelete", "pushButtonUp", "pushButtonDown"})
            QVERIFY2(!enabled(d, b), b);
        QVERIFY(enabled(d, "pushButtonAdd"));
        // Its pictures come from the console's and the image tools' resources.
        for (const char *b : {"pushButtonAdd", "pushButtonChange", "pushButtonDelete",
                              "pushButtonUp", "pushButtonDown"})
            QVERIFY2(!child<QPushButton>(&d, b)->icon().pixmap(16).isNull(), b);
        QCOMPARE(child<QTextEdit>(&d, "textEditExample")->toPlainText(), QString());
        QStringList names;
        for (QAction *a : child<QPushButton>(&d, "pushButtonAdd")->menu()->actions())
            names << a->text();
        QCOMPARE(names, (QStringList{"日期", "时间", "计数器", "讯息1", "讯息2", "讯息3", "讯息4",
                                     "讯息5", "讯息6", "空格", "新行"}));
    }

    void loadTemplate()
    {
        tagSTAMP_CONFIG s = emptyStamp();
        // Unknown codes are skipped; nothing after the first 'Z' is read.
        setTemplate(s, QByteArray("S?1 QZN"));
        s.counterWidth = 5;
        s.counterLeadingZero = 1;
        setStampMessage(s, 0, "Hello");
        ChangeMessageDialog d(&s, &m_hub);
        QCOMPARE(items(d), (QStringList{"计数器", "讯息1", "空格"}));
        QCOMPARE(child<QTextEdit>(&d, "textEditExample")->toPlainText(), QString("<<<<5Hello "));
        QVERIFY(!enabled(d, "pushButtonUp"));
        QVERIFY(enabled(d, "pushButtonDown"));
        QCOMPARE(child<QListWidget>(&d, "listWidgetFormat")->currentRow(), 0);
        QVERIFY(!child<QGroupBox>(&d, "groupBoxCounter")->isHidden());
        QVERIFY(child<QGroupBox>(&d, "groupBoxDate")->isHidden());
        // No validator until the example is first rebuilt.
        auto *message = child<QLineEdit>(&d, "lineEditMessagenOne");
        QCOMPARE(message->text(), QString("Hello"));
        QVERIFY(!message->validator());

        tagSTAMP_CONFIG one = emptyStamp();
        setTemplate(one, "T");
        ChangeMessageDialog single(&one, &m_hub);
        QVERIFY(!enabled(single, "pushButtonUp"));
        QVERIFY(!enabled(single, "pushButtonDown"));

        // Forty codes without a 'Z' end after slot 40.
        tagSTAMP_CONFIG full = emptyStamp();
        std::memset(full.textTemplate, ' ', 40);
        ChangeMessageDialog fullDialog(&full, &m_hub);
        QCOMPARE(items(fullDialog).size(), 40);
        QVERIFY(!enabled(fullDialog, "pushButtonAdd"));
    }

    void editItems()
    {
        tagSTAMP_CONFIG s = emptyStamp();
        ChangeMessageDialog d(&s, &m_hub);
        addAction(d, "日期")->trigger();
        QCOMPARE(items(d), QStringList{"日期"});
        QVERIFY(child<QListWidget>(&d, "listWidgetFormat")->isVisibleTo(&d));
        QVERIFY(child<QTextEdit>(&d, "textEditFormat")->isHidden());
        QVERIFY(!child<QGroupBox>(&d, "groupBoxDate")->isHidden());
        QVERIFY(!enabled(d, "pushButtonUp") && !enabled(d, "pushButtonDown"));
        QVERIFY(enabled(d, "pushButtonChange") && enabled(d, "pushButtonDelete"));

        addAction(d, "计数器")->trigger();
        d.show();
        QCOMPARE(d.size(), QSize(692, 406));
        d.grab().save(QDir::tempPath() + "/changemessagedialog.png");
        addAction(d, "新行")->trigger();
        QCOMPARE(items(d), (QStringList{"日期", "计数器", "新行"}));
        QVERIFY(child<QScrollArea>(&d, "scrollArea")->isHidden());
        QVERIFY(enabled(d, "pushButtonUp") && !enabled(d, "pushButtonDown"));

        child<QPushButton>(&d, "pushButtonUp")->click();
        QCOMPARE(items(d), (QStringList{"日期", "新行", "计数器"}));
        QCOMPARE(child<QListWidget>(&d, "listWidgetFormat")->currentRow(), 1);
        QVERIFY(enabled(d, "pushButtonUp") && enabled(d, "pushButtonDown"));
        child<QPushButton>(&d, "pushButtonUp")->click();
        QCOMPARE(items(d), (QStringList{"新行", "日期", "计数器"}));
        QVERIFY(!enabled(d, "pushButtonUp") && enabled(d, "pushButtonDown"));
        child<QPushButton>(&d, "pushButtonDown")->click();
        child<QPushButton>(&d, "pushButtonDown")->click();
        QCOMPARE(items(d), (QStringList{"日期", "计数器", "新行"}));
        QVERIFY(enabled(d, "pushButtonUp") && !enabled(d, "pushButtonDown"));

        // Changing into blank hides the options, the buttons stay as they were.
        menuAction(d, "pushButtonChange", "空格")->trigger();
        QCOMPARE(items(d).last(), QString("空格"));
        QVERIFY(child<QScrollArea>(&d, "scrollArea")->isHidden());
        QVERIFY(enabled(d, "pushButtonUp") && !enabled(d, "pushButtonDown"));

        for (int i = 0; i < 3; ++i)
            child<QPushButton>(&d, "pushButtonDelete")->click();
        QVERIFY(items(d).isEmpty());
        QVERIFY(!child<QTextEdit>(&d, "textEditFormat")->isHidden());
        QVERIFY(child<QListWidget>(&d, "listWidgetFormat")->isHidden());
        QVERIFY(!enabled(d, "pushButtonChange") && !enabled(d, "pushButtonDelete"));
        QCOMPARE(child<QTextEdit>(&d, "textEditExample")->toPlainText(), QString());
    }

    void addStopsAtForty()
    {
        tagSTAMP_CONFIG s = emptyStamp();
        ChangeMessageDialog d(&s, &m_hub);
        for (int i = 0; i < 45; ++i)
            addAction(d, "空格")->trigger();
        QCOMPARE(items(d).size(), 40);
        QVERIFY(!enabled(d, "pushButtonAdd"));
        child<QPushButton>(&d, "pushButtonEnsure")->click();
        QCOMPARE(bytes(s.textTemplate, 40), QByteArray(40, ' '));
    }

    void okWritesEveryField()
    {
        tagSTAMP_CONFIG s = emptyStamp();
        setStampDateText(s, "1999/09/09");
        setStampMessage(s, 3, "old text");
        const tagSTAMP_CONFIG before = s;
        ChangeMessageDialog d(&s, &m_hub);
        for (const char *item : {"日期", "空格", "计数器", "讯息1", "新行"})
            addAction(d, item)->trigger();
        auto *message = child<QLineEdit>(&d, "lineEditMessagenOne");
        QVERIFY(message->validator());
        message->setFocus();
        QTest::keyClicks(message, "ABCDEFGHIJKLMNOPQRSTU"); // 21 characters
        QCOMPARE(message->text(), QString("ABCDEFGHIJKLMNOPQRST"));
        QString other = QString::fromUtf8("\xc3\xa9");
        int pos = 0;
        QCOMPARE(message->validator()->validate(other, pos), QValidator::Invalid);
        child<QComboBox>(&d, "comboBoxDateFormat")->setCurrentIndex(4);
        child<QComboBox>(&d, "comboBoxDelimiter")->setCurrentIndex(3);
        child<QComboBox>(&d, "comboBoxLeadingZero")->setCurrentIndex(1); // 0: spaces
        child<QSpinBox>(&d, "spinBoxFieldWidth")->setValue(4);
        QVERIFY(child<QTextEdit>(&d, "textEditExample")
                    ->toPlainText()
                    .startsWith("YYYY-MM-DD    4ABCDEFGHIJKLMNOPQRST"));
        child<QPushButton>(&d, "pushButtonEnsure")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));

        QCOMPARE(bytes(s.textTemplate, 40), QByteArray("Y S1N") + QByteArray(35, 'Z'));
        QCOMPARE(s.dateFormat, quint8(4));
        QCOMPARE(s.dateDelimiter, quint8(3));
        QCOMPARE(s.counterLeadingZero, quint8(0));
        QCOMPARE(s.counterWidth, quint8(4));
        QCOMPARE(s.timeFormat, quint8(0));
        // A full message has no terminator and reads back whole.
        QCOMPARE(stampMessage(s, 0), QString("ABCDEFGHIJKLMNOPQRST"));
        QCOMPARE(stampMessage(s, 1), QString());
        QCOMPARE(bytes(s.messages[3], 40), QByteArray(40, '\0'));
        QCOMPARE(bytes(s.dateText, 20), QByteArray(20, '\0'));
        QCOMPARE(bytes(s.timeText, 10), QByteArray(10, '\0'));
        // The rest of the block is not the editor's.
        QCOMPARE(bytes(&s, 6), bytes(&before, 6));
        const size_t tail = offsetof(tagSTAMP_CONFIG, graphicStampOn);
        QCOMPARE(bytes(reinterpret_cast<const char *>(&s) + tail, sizeof(s) - tail),
                 bytes(reinterpret_cast<const char *>(&before) + tail, sizeof(s) - tail));
    }

    void storedDateAndTimeKept()
    {
        tagSTAMP_CONFIG s = emptyStamp();
        setTemplate(s, "YT");
        setStampDateText(s, "2020/02/19");
        setStampTimeText(s, "07:45");
        s.timeFormat = 0;
        ChangeMessageDialog d(&s, &m_hub);
        QVERIFY(child<QCheckBox>(&d, "checkBoxDateSpecific")->isChecked());
        QVERIFY(child<QDateEdit>(&d, "dateEditDateSpecific")->isEnabled());
        QCOMPARE(child<QDateEdit>(&d, "dateEditDateSpecific")->date(), QDate(2020, 2, 19));
        QCOMPARE(child<QTimeEdit>(&d, "timeEditTimeSpecific")->time(), QTime(7, 45));
        QCOMPARE(child<QTextEdit>(&d, "textEditExample")->toPlainText(),
                 QString("19022020") + "07:45");
        child<QPushButton>(&d, "pushButtonEnsure")->click();
        QCOMPARE(stampDateText(s), QString("2020/02/19"));
        QCOMPARE(stampTimeText(s), QString("07:45"));

        // A stored date that does not parse opens as today and never crashes.
        tagSTAMP_CONFIG bad = emptyStamp();
        setTemplate(bad, "Y");
        setStampDateText(bad, "20x0/99/99");
        ChangeMessageDialog d2(&bad, &m_hub);
        QCOMPARE(child<QDateEdit>(&d2, "dateEditDateSpecific")->date(), QDate::currentDate());
    }

    void cancelAndKeysWriteNothing()
    {
        tagSTAMP_CONFIG s = emptyStamp();
        setTemplate(s, "1");
        setStampMessage(s, 0, "keep");
        const tagSTAMP_CONFIG before = s;
        ChangeMessageDialog d(&s, &m_hub);
        d.show();
        addAction(d, "日期")->trigger();
        child<QLineEdit>(&d, "lineEditMessagenOne")->setText("changed");
        QTest::keyClick(&d, Qt::Key_Escape);
        QTest::keyClick(&d, Qt::Key_Return);
        QVERIFY(!d.isHidden());
        child<QPushButton>(&d, "pushButtonCancel")->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(bytes(&s, sizeof(s)), bytes(&before, sizeof(before)));
    }

    void widthSignal_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("expected");
        row("smaller", 3, false);
        row("equal", 5, true);
        row("larger", 8, true);
    }
    void widthSignal()
    {
        QFETCH(int, width);
        QFETCH(bool, expected);
        tagSTAMP_CONFIG s = emptyStamp();
        setTemplate(s, "S");
        s.counterWidth = 5;
        ChangeMessageDialog d(&s, &m_hub);
        QSignalSpy spy(&m_hub, &PMessage::updateStampIndexValue);
        auto *spin = child<QSpinBox>(&d, "spinBoxFieldWidth");
        spin->setValue(width);
        emit spin->editingFinished();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), expected);
        QCOMPARE(s.counterWidth, quint8(5));
    }
};

QTEST_MAIN(TestStampText)
#include "tst_stamptext.moc"
