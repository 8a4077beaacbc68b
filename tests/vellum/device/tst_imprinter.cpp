// The Imprinter tabs of the Device page and the stamp counter: exact bytes of
// the stamp block, the template summary, clamps, colours, graphics and the
// counter's start value.
#include "changemessagedialog.h"
#include "deviceformfixture.h"
#include "support/datarows.h"
#include "support/modalanswer.h"
#include "support/recorddiff.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QImage>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTextEdit>
#include <QValidator>

using namespace devicetest;
using testsupport::ModalAnswerer;
using testsupport::ModalSeen;
using testsupport::row;

namespace {

QString validate(QLineEdit *edit, QString text)
{
    int pos = 0;
    switch (edit->validator()->validate(text, pos)) {
    case QValidator::Acceptable:
        return "acceptable";
    case QValidator::Intermediate:
        return "intermediate";
    default:
        return "invalid";
    }
}

} // namespace

class TestImprinter : public QObject, public FormFixture
{
    Q_OBJECT
private:
    QListWidget *graphics()
    {
        return child<QListWidget>(m_form, "listWidgetDeviceStampGraphicFileName");
    }
    QLineEdit *stampStart() { return child<QLineEdit>(m_form, "lineEditStampStartValue"); }
    QString graphicName(int row) { return graphics()->item(row)->data(Qt::UserRole).toString(); }

    // A stamp block with every field set off its default.
    static tagSCAN_SHORTCUT_MENU fullStamp(tagSCAN_SHORTCUT_MENU r, const QString &graphic)
    {
        tagSTAMP_CONFIG &s = r.stampConfig;
        s.textStampOn = 1;
        s.textSize = 14;
        s.textColor = 0x10203000;
        setTemplate(s, "Y T S1N23456");
        setStampDateText(s, "2024/02/29");
        s.dateDelimiter = 3;
        s.dateFormat = 4;
        setStampTimeText(s, "18:30");
        s.timeFormat = 6;
        s.counterWidth = 6;
        s.counterLeadingZero = 0;
        for (int i = 0; i < 6; ++i)
            setStampMessage(s, i, QString("message %1 of six!!!").arg(i + 1));
        s.graphicStampOn = 1;
        s.graphicAlignment = 1;
        s.borderOn = 1;
        s.borderColor = 0xff000000;
        s.borderThickness = 125;
        s.opacity = 80;
        s.stampSide = 1;
        s.firstPageOnly = 1;
        s.originX = 150;
        s.originY = 275;
        s.orientation = 2;
        s.counterStart = 9;
        setScanText(r.stampGraphicFile, graphic);
        return r;
    }

private slots:
    void initTestCase()
    {
        setUpConfig();
        m_base = testsupport::builtInProfiles().at(0);
        m_base.sizeUnit = UnitInch;
        m_base.sideSettings[0].resolution = 200;
    }
    void init() { createForm(); }
    void cleanup() { destroyForm(); }

    void storesTheWholeBlock()
    {
        QVERIFY(graphics()->count() > 3);
        const tagSCAN_SHORTCUT_MENU target = fullStamp(profile(UnitCentimetre), graphicName(3));
        tagSCAN_SHORTCUT_MENU shown = target;
        show(shown);
        QVERIFY(m_form->compareVariableAndUIControl(shown));
        QCOMPARE(graphics()->currentRow(), 3);
        tagSCAN_SHORTCUT_MENU stored = m_base;
        stored.sizeUnit = UnitCentimetre;
        m_form->updateDeviceUIcontrolToVariable(stored);
        QCOMPARE(bytes(&stored.stampConfig, sizeof(tagSTAMP_CONFIG)),
                 bytes(&target.stampConfig, sizeof(tagSTAMP_CONFIG)));
        QCOMPARE(bytes(stored.stampGraphicFile, sizeof(stored.stampGraphicFile)),
                 bytes(target.stampGraphicFile, sizeof(target.stampGraphicFile)));
        QVERIFY2(testsupport::changedOffsets(target, stored).isEmpty(),
                 qPrintable(testsupport::describeChanges(target, stored)));

        stampStart()->setText("42");
        m_form->updateStampIndexAndCounter(stored);
        QCOMPARE(stored.stampCounter, 42);
        stampStart()->setText("abc");
        m_form->updateStampIndexAndCounter(stored);
        QCOMPARE(stored.stampCounter, 0);
        for (const char *b : {"pushButtonDeviceStampTextRename", "pushButtonDeviceStampGraphicAdd",
                              "pushButtonDeviceStampGraphicDelete"})
            QVERIFY2(!child<QPushButton>(m_form, b)->icon().pixmap(16).isNull(), b);
        child<QTabWidget>(m_form, "tabWidgetDevice")->setCurrentIndex(2);
        for (int tab = 0; tab < 3; ++tab) {
            child<QTabWidget>(m_form, "tabWidgetStamp")->setCurrentIndex(tab);
            saveGrab(m_form, QString("imprinter-tab%1").arg(tab));
        }
    }

    void summary_data()
    {
        QTest::addColumn<QByteArray>("codes");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("expected");
        // Nothing after the first 'Z', not even a later new line.
        row("Y blank S", QByteArray("Y SZN"), "", "", "DD/MM/YYYY 00005");
        row("specific date", QByteArray("Y"), "2026/12/08", "", "08/12/2026");
        row("date that does not parse", QByteArray("Y"), "2026/13/45", "", "");
        row("time label", QByteArray("T"), "", "", "hh:mm tt");
        row("specific time", QByteArray("T"), "", "13:05", "1:05 PM");
        row("unknown codes", QByteArray("?N!"), "", "", "\r\n");
        row("full messages", QByteArray("12"), "", "", "ABCDEFGHIJKLMNOPQRSTabc");
        row("forty slots", QByteArray(40, ' '), "", "", QString(40, ' '));
    }
    void summary()
    {
        QFETCH(QByteArray, codes);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, expected);
        tagSTAMP_CONFIG s = m_base.stampConfig;
        setTemplate(s, codes);
        s.dateFormat = 0;
        s.dateDelimiter = 2;
        s.timeFormat = 6;
        s.counterWidth = 5;
        s.counterLeadingZero = 2;
        setStampDateText(s, date);
        setStampTimeText(s, time);
        setStampMessage(s, 0, "ABCDEFGHIJKLMNOPQRST");
        setStampMessage(s, 1, "abc");
        QCOMPARE(DeviceForm::stampTextPreview(s), expected);

        tagSCAN_SHORTCUT_MENU r = m_base;
        r.stampConfig = s;
        show(r);
        QCOMPARE(child<QTextEdit>(m_form, "textEditDeviceStampTextMessage")->toPlainText(),
                 QString(expected).replace("\r\n", "\n"));
    }

    void clamps_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QByteArray>("spinName");
        QTest::addColumn<double>("entered");
        QTest::addColumn<double>("shown");
        row("X 9.0 in", 1, QByteArray("doubleSpinBoxDeviceStampPositionX"), 9.0, 8.5);
        row("X 25 cm", 0, QByteArray("doubleSpinBoxDeviceStampPositionX"), 25.0, 21.59);
        row("X 3 in kept", 1, QByteArray("doubleSpinBoxDeviceStampPositionX"), 3.0, 3.0);
        row("Y 130 in", 1, QByteArray("doubleSpinBoxDeviceStampPositionY"), 130.0, 120.0);
        row("border 0.01 in", 1, QByteArray("doubleSpinBoxDeviceStampThickNess"), 0.01, 0.063);
        row("border 1.0 in", 1, QByteArray("doubleSpinBoxDeviceStampThickNess"), 1.0, 0.25);
        row("border 0.1 cm", 0, QByteArray("doubleSpinBoxDeviceStampThickNess"), 0.1, 0.16);
    }
    void clamps()
    {
        QFETCH(int, unit);
        QFETCH(QByteArray, spinName);
        QFETCH(double, entered);
        QFETCH(double, shown);
        tagSCAN_SHORTCUT_MENU r = profile(unit);
        show(r);
        QCOMPARE(finishEditing(spin(spinName.constData()), entered), shown);
    }

    // Positions and thickness are rounded to the nearest unit, in the store
    // and in the comparison: truncation would store 0.29 in as 28.
    void positionsRoundToNearest_data()
    {
        QTest::addColumn<double>("inches");
        for (double v : {0.29, 0.57, 0.58, 1.13, 2.01, 4.35, 8.5})
            QTest::newRow(qPrintable(QString::number(v))) << v;
    }
    void positionsRoundToNearest()
    {
        QFETCH(double, inches);
        tagSCAN_SHORTCUT_MENU r = profile(UnitInch);
        show(r);
        spin("doubleSpinBoxDeviceStampPositionX")->setValue(inches);
        spin("doubleSpinBoxDeviceStampPositionY")->setValue(inches);
        spin("doubleSpinBoxDeviceStampThickNess")->setValue(0.063);
        m_form->updateDeviceUIcontrolToVariable(r);
        const quint32 expected = quint32(qRound(inches * 100));
        QCOMPARE(quint32(r.stampConfig.originX), expected);
        QCOMPARE(quint32(r.stampConfig.originY), expected);
        QCOMPARE(quint32(r.stampConfig.borderThickness), 63u);
        QVERIFY(m_form->compareVariableAndUIControl(r));
        // The same holds in centimetres.
        emit m_hub->changedImageSizeUnit(UnitCentimetre);
        QVERIFY(m_form->compareVariableAndUIControl(r));
    }

    void borderColourRoundTrip()
    {
        tagSCAN_SHORTCUT_MENU red = profile(UnitInch);
        red.stampConfig.borderColor = 0xff000000;
        red.stampConfig.textColor = 0x00800000;
        red.stampConfig.borderOn = 1;
        show(red);
        auto *swatch = child<QPushButton>(m_form, "pushButtonDeviceStampBorderColorHex");
        QCOMPARE(swatch->styleSheet(), QString("background-color: rgb(255, 0, 0);border:0px"));
        QVERIFY(m_form->compareVariableAndUIControl(red));

        // A rejected dialog starts from red and leaves everything alone.
        QColor offered;
        {
            ModalAnswerer cancel([&offered](QWidget *w, const ModalSeen &) {
                auto *dialog = qobject_cast<QColorDialog *>(w);
                offered = dialog->currentColor();
                dialog->reject();
            });
            child<QPushButton>(m_form, "pushButtonDeviceStampBorderColorSelect")->click();
            QCOMPARE(cancel.count(), 1);
        }
        QCOMPARE(offered, QColor(255, 0, 0));
        QCOMPARE(swatch->styleSheet(), QString("background-color: rgb(255, 0, 0);border:0px"));
        QVERIFY(m_form->compareVariableAndUIControl(red));

        QSignalSpy edited(m_hub, &PMessage::controlValueChanged);
        {
            ModalAnswerer blue([](QWidget *w, const ModalSeen &) {
                auto *dialog = qobject_cast<QColorDialog *>(w);
                dialog->setCurrentColor(QColor(0, 0, 255));
                dialog->accept();
            });
            child<QPushButton>(m_form, "pushButtonDeviceStampBorderColorSelect")->click();
        }
        QCOMPARE(edited.count(), 1);
        QCOMPARE(swatch->styleSheet(), QString("background-color: rgb(0, 0, 255);border:0px"));
        QVERIFY(!m_form->compareVariableAndUIControl(red));
        tagSCAN_SHORTCUT_MENU stored = red;
        m_form->updateDeviceUIcontrolToVariable(stored);
        QCOMPARE(stored.stampConfig.borderColor, 0x0000ff00u);
        QCOMPARE(stored.stampConfig.textColor, 0x00800000u);
        QVERIFY(m_form->compareVariableAndUIControl(stored));
    }

    void counterValidator_data()
    {
        QTest::addColumn<bool>("textOn");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("verdict");
        row("w3 1", true, 3, "1", "acceptable");
        row("w3 100", true, 3, "100", "acceptable");
        row("w3 0", true, 3, "0", "acceptable");
        row("w3 050", true, 3, "050", "invalid");
        row("w3 1000", true, 3, "1000", "invalid");
        row("w1 7", true, 1, "7", "acceptable");
        row("w1 12", true, 1, "12", "invalid");
        row("off 9 digits", false, 3, "123456789", "acceptable");
        row("off 10 digits", false, 3, "1234567890", "invalid");
        row("letters", true, 9, "12a", "invalid");
    }
    void counterValidator()
    {
        QFETCH(bool, textOn);
        QFETCH(int, width);
        QFETCH(QString, text);
        QFETCH(QString, verdict);
        tagSCAN_SHORTCUT_MENU r = profile(UnitInch);
        r.stampConfig.textStampOn = textOn;
        r.stampConfig.counterWidth = quint8(width);
        show(r);
        stampStart()->clear();
        QTest::keyClick(stampStart(), Qt::Key_1);
        QVERIFY(stampStart()->validator());
        QCOMPARE(validate(stampStart(), text), verdict);
    }

    void counterGroupAndClearing()
    {
        tagSCAN_SHORTCUT_MENU r = profile(UnitInch);
        r.stampConfig.textStampOn = 0;
        r.stampConfig.graphicStampOn = 0;
        show(r);
        auto *group = child<QGroupBox>(m_form, "groupBoxDeviceStampCounter");
        QVERIFY(group->isHidden());
        child<QCheckBox>(m_form, "checkBoxDeviceStampGraphicOn")->setChecked(true);
        QVERIFY(!group->isHidden());
        child<QCheckBox>(m_form, "checkBoxDeviceStampGraphicOn")->setChecked(false);
        child<QCheckBox>(m_form, "checkBoxDeviceStampText")->setChecked(true);
        QVERIFY(!group->isHidden());
        QVERIFY(child<QPushButton>(m_form, "pushButtonDeviceStampTextRename")->isEnabled());
        stampStart()->setText("77");
        emit m_hub->updateStampIndexValue(true);
        QCOMPARE(stampStart()->text(), QString("77"));
        emit m_hub->updateStampIndexValue(false);
        QCOMPARE(stampStart()->text(), QString());
    }

    void unknownGraphicSelectsFirstRow()
    {
        tagSCAN_SHORTCUT_MENU r = profile(UnitInch);
        setScanText(r.stampGraphicFile, "no such picture.png");
        show(r);
        QCOMPARE(graphics()->currentRow(), 0);
        QVERIFY(!m_form->compareVariableAndUIControl(r));
        m_form->updateDeviceUIcontrolToVariable(r);
        QCOMPARE(scanText(r.stampGraphicFile), graphicName(0));
        QVERIFY(m_form->compareVariableAndUIControl(r));
    }

    void deleteGraphicAsks()
    {
        child<QCheckBox>(m_form, "checkBoxDeviceStampGraphicOn")->setChecked(true);
        graphics()->setCurrentRow(2);
        const QString name = graphicName(2);
        const QString file = g_VellumCfgFile.m_strStampDir + "/" + name;
        QVERIFY(QFile::exists(file));
        const int before = graphics()->count();
        {
            ModalAnswerer no("否");
            child<QPushButton>(m_form, "pushButtonDeviceStampGraphicDelete")->click();
            QCOMPARE(no.count(), 1);
            QCOMPARE(no.last().title, QString("确认删除"));
            QCOMPARE(
                no.last().text,
                QString("如果删除“%1”，其将无法用于配置任何文件。\n确定要删除“%1”？").arg(name));
            QCOMPARE(no.last().defaultButton, QString("否"));
        }
        QCOMPARE(graphics()->count(), before);
        QVERIFY(QFile::exists(file));
        {
            ModalAnswerer yes("是");
            child<QPushButton>(m_form, "pushButtonDeviceStampGraphicDelete")->click();
            QCOMPARE(yes.count(), 1);
        }
        QCOMPARE(graphics()->count(), before - 1);
        QVERIFY(!QFile::exists(file));
        QStringList list;
        m_form->stampGraphic().getGraphicList(list);
        QCOMPARE(list.size(), before - 1);
    }

    // Adding a graphic from the page: the file dialog starts in the
    // application's stamp folder, the copy is listed and selected, and the
    // page then differs from its profile.
    void addGraphicFromPage()
    {
        tagSCAN_SHORTCUT_MENU r = profile(UnitInch);
        r.stampConfig.graphicStampOn = 1;
        show(r);
        const QString source = QDir::tempPath() + "/seal.png";
        QImage picture(120, 80, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(source));
        const int before = graphics()->count();
        QString startFolder;
        ModalAnswerer pick([&](QWidget *w, const ModalSeen &) {
            if (auto *dialog = qobject_cast<QFileDialog *>(w))
                startFolder = dialog->directory().absolutePath();
            testsupport::answerFileDialog(w, source);
        });
        child<QPushButton>(m_form, "pushButtonDeviceStampGraphicAdd")->click();
        QCOMPARE(pick.count(), 1);
        QCOMPARE(pick.last().title, QString("打开"));
        QCOMPARE(startFolder, QDir(g_VellumCfgFile.m_strAppStampDir).absolutePath());
        QCOMPARE(graphics()->count(), before + 1);
        QCOMPARE(graphics()->currentRow(), before);
        QCOMPARE(graphicName(before), QString("seal.png"));
        QVERIFY(QFile::exists(g_VellumCfgFile.m_strStampDir + "/seal.png"));
        QVERIFY(!m_form->compareVariableAndUIControl(r));
        m_form->updateDeviceUIcontrolToVariable(r);
        QCOMPARE(scanText(r.stampGraphicFile), QString("seal.png"));
    }

    // The user's road through the template editor: open it from the Text
    // tab, add items, confirm; the summary follows and the page differs from
    // its profile until it is stored.
    void editTemplateFromPage()
    {
        tagSCAN_SHORTCUT_MENU r = profile(UnitInch);
        r.stampConfig.textStampOn = 1;
        setTemplate(r.stampConfig, "");
        show(r);
        ModalAnswerer edit([](QWidget *w, const ModalSeen &) {
            auto *dialog = qobject_cast<ChangeMessageDialog *>(w);
            QVERIFY(dialog);
            const QList<QAction *> adds =
                dialog->findChild<QPushButton *>("pushButtonAdd")->menu()->actions();
            adds.at(3)->trigger(); // 讯息1
            dialog->findChild<QLineEdit *>("lineEditMessagenOne")->setText("PAID");
            adds.at(9)->trigger(); // 空格
            adds.at(2)->trigger(); // 计数器
            dialog->findChild<QPushButton *>("pushButtonEnsure")->click();
        });
        child<QPushButton>(m_form, "pushButtonDeviceStampTextRename")->click();
        QCOMPARE(edit.count(), 1);
        QCOMPARE(edit.last().title, QString("讯息"));
        QCOMPARE(child<QTextEdit>(m_form, "textEditDeviceStampTextMessage")->toPlainText(),
                 QString("PAID ") +
                     ChangeMessageDialog::getCounterFormat(r.stampConfig.counterWidth,
                                                           r.stampConfig.counterLeadingZero));
        QVERIFY(!m_form->compareVariableAndUIControl(r));
        m_form->updateDeviceUIcontrolToVariable(r);
        QCOMPARE(bytes(r.stampConfig.textTemplate, 4), QByteArray("1 SZ"));
        QCOMPARE(stampMessage(r.stampConfig, 0), QString("PAID"));
        QVERIFY(m_form->compareVariableAndUIControl(r));
    }
};

QTEST_MAIN(TestImprinter)
#include "tst_imprinter.moc"
