// The console's setting-tool panel, on one hub with the scan settings form,
// loaded and written back the way the console does it.

#include "oxadvancedsettingform.h"
#include "pmessage.h"
#include "scanshortcutmenu.h"
#include "settingform.h"
#include "vellumglobal.h"

#include "../settings/settingformfixture.h"
#include "support/datarows.h"
#include "support/desktopurls.h"
#include "support/modalanswer.h"
#include "support/recorddiff.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopedPointer>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

using testsupport::changedOffsets;
using testsupport::describeChanges;
using testsupport::row;

namespace {

using settingtest::builtIn;
using settingtest::builtIns;

// Both forms of the console's settings side on one hub.
struct Rig
{
    PMessage hub;
    SettingForm settings{&hub};
    OxAdvancedSettingForm ox{&hub};

    void load(tagSCAN_SHORTCUT_MENU &r)
    {
        settings.disconnectAllChangeValueControlMessages();
        ox.disconnectAllChangeValueControlMessages();
        settings.updateVariableToUIControl(r);
        ox.updateVariableToUIControl(r);
        settings.connectAllChangeValueControlMessages();
        ox.connectAllChangeValueControlMessages();
    }
    tagSCAN_SHORTCUT_MENU loadBuiltIn(const QString &name)
    {
        tagSCAN_SHORTCUT_MENU r = builtIn(name);
        load(r);
        return r;
    }
    tagSCAN_SHORTCUT_MENU written(const tagSCAN_SHORTCUT_MENU &r)
    {
        tagSCAN_SHORTCUT_MENU copy = r;
        settings.updateUIControlToVariable(copy);
        ox.updateUIControlToVariable(copy);
        return copy;
    }
    template <class T>
    T *w(const char *name)
    {
        T *found = ox.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }
    QCheckBox *box(const char *name) { return w<QCheckBox>(name); }
    QComboBox *combo(const char *name) { return w<QComboBox>(name); }
    QDoubleSpinBox *spin(const char *name) { return w<QDoubleSpinBox>(name); }
    QGroupBox *group(const char *name) { return w<QGroupBox>(name); }
    QList<int> comboData(const char *name)
    {
        QList<int> out;
        QComboBox *c = combo(name);
        for (int i = 0; i < c->count(); ++i)
            out << c->itemData(i).toInt();
        return out;
    }
    void choose(const char *name, int data)
    {
        QComboBox *c = combo(name);
        const int index = c->findData(data);
        QVERIFY2(index >= 0, name);
        c->setCurrentIndex(index);
    }
    // Types a length as the user does: the edit ends with Return.
    void type(const char *name, double value)
    {
        QDoubleSpinBox *s = spin(name);
        QLineEdit *edit = s->findChild<QLineEdit *>();
        edit->selectAll();
        QTest::keyClicks(edit, QString::number(value, 'f', 2));
        QTest::keyClick(s, Qt::Key_Return);
    }
};

} // namespace

using Edit = std::function<void(Rig &)>;
Q_DECLARE_METATYPE(Edit)

class TestOxPanel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        PMessage::registerMetaTypes();
        g_VellumCfgFile.loadConfigFile(QCoreApplication::applicationDirPath());
        m_shared.reset(new Rig);
    }
    void cleanupTestCase() { m_shared.reset(); }

    void roundTripBuiltIns_data() { testsupport::builtInUnitRows(); }

    void roundTripBuiltIns()
    {
        QFETCH(int, index);
        QFETCH(int, unit);
        tagSCAN_SHORTCUT_MENU r = builtIns().at(index);
        r.sizeUnit = ImageSizeUnitFlag(unit);
        Rig &rig = *m_shared;
        QSignalSpy streams(&rig.hub, &PMessage::manyCurrentControl);
        rig.load(r);
        QCOMPARE(streams.count(), 0);
        const tagSCAN_SHORTCUT_MENU out = rig.written(r);
        QVERIFY2(std::memcmp(&out, &r, sizeof r) == 0, qPrintable(describeChanges(r, out)));
        QVERIFY(rig.settings.compareVariableAndUIControl(r));
        QVERIFY(rig.ox.compareVariableAndUIControl(r));
        // Loading the same profile again (the console's reload) changes nothing.
        rig.load(r);
        QCOMPARE(streams.count(), 0);
        QVERIFY(rig.ox.compareVariableAndUIControl(r));
    }

    void editsWithExactDiffs_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QList<int>>("changed");
        QTest::addColumn<Edit>("check");

        QTest::newRow("gray stream ticked")
            << "彩色 Clearleaf 文档" << Edit([](Rig &r) { r.box("checkBoxGrayOutput")->click(); })
            << QList<int>{3888, 3893} << Edit([](Rig &r) {
                   tagSCAN_SHORTCUT_MENU in = builtIn("彩色 Clearleaf 文档");
                   QCOMPARE(int(r.written(in).sideStream), 6);
               });
        QTest::newRow("colour mode to gray on the General page")
            << "多流 Clearleaf 文档" << Edit([](Rig &r) {
                   QComboBox *mode = r.settings.findChild<QComboBox *>("comboBoxColorMode");
                   QVERIFY(mode);
                   mode->setCurrentIndex(mode->findData(1));
               })
            << QList<int>{2608, 3888, 3892, 3894} << Edit([](Rig &r) {
                   tagSCAN_SHORTCUT_MENU in = builtIn("多流 Clearleaf 文档");
                   QCOMPARE(int(r.written(in).sideStream), 0);
               });
        QTest::newRow("2 in 1") << "彩色照片" << Edit([](Rig &r) {
            r.combo("comboBoxCombineType")->setCurrentIndex(1);
        }) << QList<int>{3896} << Edit([](Rig &r) {
            QCOMPARE(int(r.written(builtIn("彩色照片")).combineType), 2);
        });
        QList<int> allSizes;
        for (int i = 0; i < 23; ++i)
            if (i != 5 && i != 6)
                allSizes << 3937 + i;
        allSizes << 3960;
        QTest::newRow("select all sizes")
            << "彩色照片" << Edit([](Rig &r) { r.w<QPushButton>("pushButtonAllSelect")->click(); })
            << allSizes
            << Edit([](Rig &r) { QCOMPARE(r.written(builtIn("彩色照片")).pageSizeCount, 23); });
        QTest::newRow("select all, then reset") << "彩色照片" << Edit([](Rig &r) {
            r.w<QPushButton>("pushButtonAllSelect")->click();
            r.w<QPushButton>("pushButtonReset")->click();
        }) << QList<int>{} << Edit([](Rig &) {});
        QTest::newRow("split in two, first length 10 cm") << "彩色照片" << Edit([](Rig &r) {
            r.choose("comboBoxToolSplitDocOx", 2);
            r.type("doubleSpinBoxLengthLeftOx", 10.0);
        }) << QList<int>{3912, 3920, 3928} << Edit([](Rig &r) {
            const tagSCAN_SHORTCUT_MENU out = r.written(builtIn("彩色照片"));
            QCOMPARE(out.lengthLeft, 3.94);
            QCOMPARE(out.lengthRight, 3.94);
            QCOMPARE(int(out.splitDocumentCount), 2);
        });
    }

    void editsWithExactDiffs()
    {
        QFETCH(QString, profile);
        QFETCH(Edit, edit);
        QFETCH(QList<int>, changed);
        QFETCH(Edit, check);
        Rig rig;
        rig.ox.show();
        tagSCAN_SHORTCUT_MENU r = rig.loadBuiltIn(profile);
        edit(rig);
        const tagSCAN_SHORTCUT_MENU out = rig.written(r);
        QVERIFY2(changedOffsets(r, out) == changed, qPrintable(describeChanges(r, out)));
        QCOMPARE(rig.ox.compareVariableAndUIControl(r), changed.isEmpty());
        check(rig);
    }

    void streamLockPerMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<QString>("enabled");
        // Colour, gray, black and white; "-" keeps what the load set.
        row("colour", 2, "100", "011");
        row("gray", 1, "010", "001");
        row("black and white", 0, "001", "000");
        row("unknown", 7, "1--", "---");
    }

    void streamLockPerMode()
    {
        QFETCH(int, mode);
        QFETCH(QString, checked);
        QFETCH(QString, enabled);
        Rig rig;
        tagSCAN_SHORTCUT_MENU r = rig.loadBuiltIn("多流 Clearleaf 文档");
        const char *names[] = {"checkBoxColorOutput", "checkBoxGrayOutput",
                               "checkBoxBlackWhiteOutput"};
        QString before;
        for (const char *n : names)
            before += QLatin1Char(rig.box(n)->isEnabled() ? '1' : '0');
        emit rig.hub.settingColorModeOx(ColorModeFlag(mode));
        for (int i = 0; i < 3; ++i) {
            if (checked[i] != QLatin1Char('-'))
                QCOMPARE(rig.box(names[i])->isChecked(), checked[i] == QLatin1Char('1'));
            const QChar e = enabled[i] == QLatin1Char('-') ? before[i] : enabled[i];
            QCOMPARE(rig.box(names[i])->isEnabled(), e == QLatin1Char('1'));
        }
        // On a load the stored flags win over the marks; the lock's enabled
        // states stay.
        r.sideSettings[0].colorMode = ColorModeFlag(mode);
        rig.load(r);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(rig.box(names[i])->isChecked());
            const QChar e = enabled[i] == QLatin1Char('-') ? before[i] : enabled[i];
            QCOMPARE(rig.box(names[i])->isEnabled(), e == QLatin1Char('1'));
        }
    }

    void secondStreamClosesGroups()
    {
        Rig rig;
        rig.loadBuiltIn("彩色照片");
        rig.choose("comboBoxCombineType", 2);
        QSignalSpy streams(&rig.hub, &PMessage::manyCurrentControl);
        rig.box("checkBoxGrayOutput")->click();
        QCOMPARE(streams.count(), 1);
        QCOMPARE(streams.last(),
                 (QVariantList{true, true, false, 2, QVariant::fromValue(InputDocumentFront)}));
        QCOMPARE(rig.combo("comboBoxCombineType")->currentIndex(), 0);
        QCOMPARE(rig.combo("comboBoxToolSplitDocOx")->currentIndex(), 0);
        QVERIFY(!rig.group("groupBoxImageCombine")->isEnabled());
        QVERIFY(!rig.group("groupBoxToolSplitDocOx")->isEnabled());
        rig.box("checkBoxGrayOutput")->click();
        QCOMPARE(streams.count(), 2);
        QVERIFY(rig.group("groupBoxImageCombine")->isEnabled());
        QVERIFY(rig.group("groupBoxToolSplitDocOx")->isEnabled());

        // With the flatbed the combine group stays as the second stream left it.
        emit rig.hub.changedPaperSource(PaperSourceFlatbed);
        QVERIFY(!rig.group("groupBoxImageCombine")->isEnabled());
        rig.box("checkBoxGrayOutput")->click();
        rig.box("checkBoxGrayOutput")->click();
        QVERIFY(!rig.group("groupBoxImageCombine")->isEnabled());
        QVERIFY(rig.group("groupBoxToolSplitDocOx")->isEnabled());

        // All streams off: splitting and combining still exclude each other.
        emit rig.hub.changedPaperSource(PaperSourceFeeder);
        emit rig.hub.settingColorModeOx(ColorModeFlag(7));
        rig.choose("comboBoxCombineType", 3);
        rig.box("checkBoxColorOutput")->setChecked(false);
        QCOMPARE(streams.last().at(3).toInt(), 0);
        QVERIFY(!rig.group("groupBoxToolSplitDocOx")->isEnabled());
    }

    void flatbedAndSplitAgainstCombine()
    {
        Rig rig;
        tagSCAN_SHORTCUT_MENU r = rig.loadBuiltIn("彩色照片");
        rig.choose("comboBoxCombineType", 3);
        emit rig.hub.changedPaperSource(PaperSourceFlatbed);
        QCOMPARE(rig.combo("comboBoxCombineType")->currentIndex(), 0);
        QVERIFY(!rig.group("groupBoxImageCombine")->isEnabled());
        emit rig.hub.changedPaperSource(PaperSourceAutomatic);
        QVERIFY(rig.group("groupBoxImageCombine")->isEnabled());

        rig.choose("comboBoxToolSplitDocOx", 2);
        QVERIFY(!rig.group("groupBoxImageCombine")->isEnabled());
        QVERIFY(rig.group("groupBoxToolLengthOx")->isEnabled());
        // A source change while splitting leaves the combine group alone.
        emit rig.hub.changedPaperSource(PaperSourceFeeder);
        QVERIFY(!rig.group("groupBoxImageCombine")->isEnabled());
        rig.choose("comboBoxToolSplitDocOx", 0);
        QVERIFY(rig.group("groupBoxImageCombine")->isEnabled());
        QVERIFY(!rig.group("groupBoxToolLengthOx")->isEnabled());

        rig.choose("comboBoxCombineType", 2);
        QVERIFY(!rig.group("groupBoxToolSplitDocOx")->isEnabled());
        rig.choose("comboBoxCombineType", 0);
        QVERIFY(rig.group("groupBoxToolSplitDocOx")->isEnabled());

        // Flatbed while one stream is on and nothing is split.
        emit rig.hub.changedPaperSource(PaperSourceFlatbed);
        rig.choose("comboBoxToolSplitDocOx", 2);
        rig.choose("comboBoxToolSplitDocOx", 0);
        QVERIFY(!rig.group("groupBoxImageCombine")->isEnabled());

        // A stored flatbed profile with one stream and no split loads locked.
        r.paperSource = PaperSourceFlatbed;
        rig.load(r);
        QVERIFY(!rig.group("groupBoxImageCombine")->isEnabled());
    }

    void keepOriginalSizeByResolution()
    {
        Rig rig;
        tagSCAN_SHORTCUT_MENU r = rig.loadBuiltIn("彩色照片");
        QCheckBox *keep = rig.box("checkBoxSaveSize");
        QVERIFY(!keep->isEnabled());
        rig.choose("comboBoxCombineType", 2);
        QVERIFY(keep->isEnabled());
        keep->click();
        QVERIFY(keep->isChecked());
        QVERIFY(rig.combo("comboBoxScalingTo")->isHidden());
        emit rig.hub.setResolution(Resolution600);
        QVERIFY(!keep->isEnabled());
        QVERIFY(!keep->isChecked());
        QVERIFY(!rig.combo("comboBoxScalingTo")->isHidden());
        emit rig.hub.setResolution(Resolution300);
        QVERIFY(keep->isEnabled());

        // A load keeps the stored mark at an unusual resolution, greyed out.
        r.combineType = CombineTwo;
        r.saveSize = true;
        r.sideSettings[0].resolution = 600;
        rig.load(r);
        QVERIFY(keep->isChecked());
        QVERIFY(!keep->isEnabled());
        QVERIFY(rig.combo("comboBoxScalingTo")->isHidden());
        QVERIFY(rig.ox.compareVariableAndUIControl(r));
    }

    void combineListPerInputType_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<QList<int>>("items");
        QTest::addColumn<bool>("siteShown");
        QTest::newRow("front") << 0 << QList<int>{0, 2, 3, 4} << false;
        QTest::newRow("back") << 1 << QList<int>{0, 2, 3, 4} << false;
        QTest::newRow("both sides") << 2 << QList<int>{0, 1} << true;
        QTest::newRow("unknown") << 7 << QList<int>{0, 2, 3, 4} << false;
    }

    void combineListPerInputType()
    {
        QFETCH(int, input);
        QFETCH(QList<int>, items);
        QFETCH(bool, siteShown);
        Rig rig;
        QVERIFY(rig.comboData("comboBoxCombineType").isEmpty());
        QCOMPARE(rig.comboData("comboBoxCombineSite"), (QList<int>{4, 1, 2, 3}));
        QCOMPARE(rig.comboData("comboBoxScalingTo"), (QList<int>{0, 1}));
        QCOMPARE(rig.comboData("comboBoxToolSplitDocOx"), (QList<int>{0, 2, 3}));
        QCOMPARE(rig.comboData("comboBoxToolLengthOx"), (QList<int>{2, 1, 0}));
        QVERIFY(!rig.group("groupBoxToolLengthOx")->isEnabled());
        QVERIFY(rig.spin("doubleSpinBoxLengthRightOx")->isHidden());

        rig.loadBuiltIn("彩色照片");
        rig.choose("comboBoxToolSplitDocOx", 3);
        rig.choose("comboBoxToolLengthOx", 0);
        rig.combo("comboBoxCombineType")
            ->setCurrentIndex(rig.combo("comboBoxCombineType")->count() - 1);
        QSignalSpy streams(&rig.hub, &PMessage::manyCurrentControl);
        emit rig.hub.changedInputDocTypeMainToSettingTool(InputDocumentFlag(input));
        QCOMPARE(rig.comboData("comboBoxCombineType"), items);
        QCOMPARE(rig.combo("comboBoxCombineType")->currentText(), QString("无"));
        QCOMPARE(rig.combo("comboBoxToolSplitDocOx")->currentIndex(), 0);
        QCOMPARE(rig.combo("comboBoxToolLengthOx")->currentIndex(), 0);
        QCOMPARE(rig.combo("comboBoxCombineSite")->isHidden(), !siteShown);
        QCOMPARE(rig.box("checkBoxSaveSize")->isHidden(), siteShown);
        QCOMPARE(streams.count(), 1);
        QCOMPARE(streams.last().at(4).value<InputDocumentFlag>(), InputDocumentFlag(input));
    }

    void lengthBounds_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("second");
        QTest::addColumn<double>("firstAfter");
        QTest::addColumn<double>("secondAfter");
        row("inch, over", 1, 20.0, 5.0, 17.0, 17.0);
        row("inch, under", 1, 1.0, 2.0, 2.5, 2.5);
        row("inch, inside", 1, 3.0, 9.0, 3.0, 9.0);
        row("cm, over", 0, 50.0, 10.0, 43.18, 43.18);
        row("pixel at 200 dpi, under", 2, 100.0, 200.0, 500.0, 500.0);
        row("pixel at 200 dpi, over", 2, 9000.0, 9000.0, 3400.0, 3400.0);
    }

    void lengthBounds()
    {
        QFETCH(int, unit);
        QFETCH(double, first);
        QFETCH(double, second);
        QFETCH(double, firstAfter);
        QFETCH(double, secondAfter);
        Rig rig;
        rig.ox.show();
        tagSCAN_SHORTCUT_MENU r = builtIn("彩色 Clearleaf 文档");
        r.sizeUnit = ImageSizeUnitFlag(unit);
        rig.load(r);
        rig.choose("comboBoxToolSplitDocOx", 2);
        rig.choose("comboBoxToolLengthOx", 0);
        QCOMPARE(rig.w<QLabel>("labelToolLenghtLeftOx")->text(), QString("  且"));
        rig.spin("doubleSpinBoxLengthRightOx")->setValue(second);
        rig.type("doubleSpinBoxLengthLeftOx", first);
        QCOMPARE(rig.spin("doubleSpinBoxLengthLeftOx")->value(), firstAfter);
        QCOMPARE(rig.spin("doubleSpinBoxLengthRightOx")->value(), secondAfter);

        // An arrow step ends in the same rule.
        rig.spin("doubleSpinBoxLengthLeftOx")->setValue(1.0);
        rig.spin("doubleSpinBoxLengthLeftOx")->stepBy(1);
        QVERIFY(rig.spin("doubleSpinBoxLengthLeftOx")->value() >= 2.5 * (unit == 0   ? 2.54
                                                                         : unit == 2 ? 200
                                                                                     : 1) -
                                                                      1e-9);
    }

    void unitAndResolutionConvertThroughInches()
    {
        Rig rig;
        tagSCAN_SHORTCUT_MENU r = builtIn("彩色 Clearleaf 文档");
        r.sizeUnit = UnitInch;
        r.lengthLeft = 1.2;
        r.lengthRight = 3.45;
        r.splitDocumentLengthMode = SplitDocumentLengthModeFlag(0);
        rig.load(r);
        QDoubleSpinBox *left = rig.spin("doubleSpinBoxLengthLeftOx");
        QDoubleSpinBox *right = rig.spin("doubleSpinBoxLengthRightOx");
        QLabel *unitLabel = rig.w<QLabel>("labelToolLenghtRightOx");
        QCOMPARE(unitLabel->text(), QString("英寸"));
        emit rig.hub.changedImageSizeUnit(UnitCentimetre);
        QCOMPARE(left->value(), 3.05);
        QCOMPARE(right->value(), 8.76);
        QCOMPARE(left->singleStep(), 0.0254);
        QCOMPARE(unitLabel->text(), QString("厘米"));
        emit rig.hub.changedImageSizeUnit(UnitPixel);
        QCOMPARE(left->value(), 240.0);
        QCOMPARE(right->value(), 690.0);
        QCOMPARE(left->singleStep(), 2.0);
        emit rig.hub.setResolution(Resolution300);
        QCOMPARE(left->value(), 360.0);
        QCOMPARE(right->value(), 1035.0);
        QCOMPARE(right->singleStep(), 3.0);
        emit rig.hub.changedImageSizeUnit(ImageSizeUnitFlag(9));
        QCOMPARE(left->value(), 360.0);
        emit rig.hub.changedImageSizeUnit(UnitInch);
        QCOMPARE(left->value(), 1.2);
        QCOMPARE(right->value(), 3.45);
        // Stored in the record's unit: the same inches come back.
        r.sideSettings[0].resolution = 300;
        const tagSCAN_SHORTCUT_MENU out = rig.written(r);
        QCOMPARE(out.lengthLeft, 1.2);
        QCOMPARE(out.lengthRight, 3.45);
    }

    void lastSizeStaysSelected()
    {
        Rig rig;
        tagSCAN_SHORTCUT_MENU r = builtIn("彩色照片");
        r.alignTheSize = true;
        rig.ox.resize(756, 559);
        rig.ox.show();
        rig.load(r);
        rig.w<QTabWidget>("tabWidget")->setCurrentIndex(1);
        QListWidget *list = rig.w<QListWidget>("listWidgetPageSize");
        QVERIFY(!list->isHidden());
        auto click = [list](int row) {
            const QRect rect = list->visualItemRect(list->item(row));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        };
        click(5);
        QCOMPARE(list->selectedItems().size(), 1);
        click(6);
        QCOMPARE(list->selectedItems().size(), 1);
        QVERIFY(list->item(6)->isSelected());
        QCOMPARE(rig.written(r).pageSizeCount, 1);

        rig.box("checkBoxAlignTheSize")->click();
        QVERIFY(list->isHidden());
        QVERIFY(rig.w<QPushButton>("pushButtonReset")->isHidden());
    }

    void badRecords()
    {
        Rig rig;
        tagSCAN_SHORTCUT_MENU good = rig.loadBuiltIn("彩色 Clearleaf 文档");
        tagSCAN_SHORTCUT_MENU r = good;
        r.combineType = CombineTypeFlag(9);
        r.combineSite = ImageMergeModeFlag(0);
        r.combineScaling = CombineScalingFlag(5);
        r.splitDocumentCount = SplitDocumentCountFlag(1);
        r.splitDocumentLengthMode = SplitDocumentLengthModeFlag(7);
        r.lengthLeft = std::numeric_limits<double>::quiet_NaN();
        r.lengthRight = 1e300;
        r.pageSizeCount = 17;
        std::memset(&r.colorOutput, 2, 1); // a flag byte that is neither 0 nor 1
        const int siteBefore = rig.combo("comboBoxCombineSite")->currentIndex();
        const int scalingBefore = rig.combo("comboBoxScalingTo")->currentIndex();
        const int splitBefore = rig.combo("comboBoxToolSplitDocOx")->currentIndex();
        const int lengthBefore = rig.combo("comboBoxToolLengthOx")->currentIndex();
        rig.load(r);
        QCOMPARE(rig.combo("comboBoxCombineType")->currentIndex(), 0);
        QCOMPARE(rig.combo("comboBoxCombineSite")->currentIndex(), siteBefore);
        QCOMPARE(rig.combo("comboBoxScalingTo")->currentIndex(), scalingBefore);
        QCOMPARE(rig.combo("comboBoxToolSplitDocOx")->currentIndex(), splitBefore);
        QCOMPARE(rig.combo("comboBoxToolLengthOx")->currentIndex(), lengthBefore);
        QVERIFY(rig.box("checkBoxColorOutput")->isChecked());
        QVERIFY(!rig.ox.compareVariableAndUIControl(r));

        // Merge position 0 alone already compares as changed.
        tagSCAN_SHORTCUT_MENU merge0 = good;
        merge0.combineSite = ImageMergeModeFlag(0);
        rig.load(merge0);
        QVERIFY(!rig.ox.compareVariableAndUIControl(merge0));

        // Negative lengths, every stream off, a count that disagrees.
        r = good;
        r.lengthLeft = -4.0;
        r.lengthRight = 1e300;
        r.colorOutput = r.grayOutput = r.blackWhiteOutput = false;
        r.sideSettings[0].colorMode = ColorModeFlag(9);
        r.pageSizeCount = -3;
        rig.load(r);
        const tagSCAN_SHORTCUT_MENU out = rig.written(r);
        QVERIFY(std::isfinite(out.lengthLeft) && std::isfinite(out.lengthRight));
        QCOMPARE(out.lengthLeft, 0.0);
        QCOMPARE(out.pageSizeCount, 2);
        QVERIFY(!out.colorOutput && !out.grayOutput && !out.blackWhiteOutput);
    }

    void unknownUnitAndZeroResolutionNeverDivideByZero()
    {
        Rig rig;
        tagSCAN_SHORTCUT_MENU r = builtIn("彩色 Clearleaf 文档");
        r.sizeUnit = ImageSizeUnitFlag(9);
        r.lengthLeft = 3.5;
        r.lengthRight = 6.0;
        rig.load(r);
        QCOMPARE(rig.spin("doubleSpinBoxLengthLeftOx")->value(), 3.5);
        QCOMPARE(rig.w<QLabel>("labelToolLenghtLeftOx")->text(), QString("英寸"));
        rig.choose("comboBoxToolSplitDocOx", 2);
        rig.type("doubleSpinBoxLengthLeftOx", 4.0);
        QCOMPARE(rig.spin("doubleSpinBoxLengthLeftOx")->value(), 4.0);
        tagSCAN_SHORTCUT_MENU out = rig.written(r);
        QCOMPARE(out.lengthLeft, 4.0);
        QCOMPARE(out.lengthRight, 6.0);

        // Pixels at 0 dpi: counted as 200 dpi.
        r = builtIn("彩色 Clearleaf 文档");
        r.sizeUnit = UnitPixel;
        r.sideSettings[0].resolution = 0;
        rig.load(r);
        QCOMPARE(rig.spin("doubleSpinBoxLengthLeftOx")->value(), 500.0);
        emit rig.hub.setResolution(ImageResolutionFlag(0));
        rig.choose("comboBoxToolSplitDocOx", 2);
        rig.type("doubleSpinBoxLengthLeftOx", 10.0);
        QCOMPARE(rig.spin("doubleSpinBoxLengthLeftOx")->value(), 500.0);
        out = rig.written(r);
        QCOMPARE(out.lengthLeft, 2.5);
        QVERIFY(rig.ox.compareVariableAndUIControl(out));
    }

    void editNotification()
    {
        {
            PMessage hub;
            QSignalSpy built(&hub, &PMessage::controlValueChanged);
            OxAdvancedSettingForm ox(&hub);
            QCOMPARE(built.count(), 0);
        }
        Rig rig;
        tagSCAN_SHORTCUT_MENU r = builtIn("彩色照片");
        QSignalSpy edits(&rig.hub, &PMessage::controlValueChanged);
        rig.ox.disconnectAllChangeValueControlMessages();
        rig.ox.updateVariableToUIControl(r);
        rig.box("checkBoxGrayOutput")->click();
        QCOMPARE(edits.count(), 0);
        rig.ox.connectAllChangeValueControlMessages();
        rig.ox.connectAllChangeValueControlMessages(); // twice connects once
        rig.box("checkBoxGrayOutput")->click();
        QCOMPARE(edits.count(), 1);
        rig.w<QPushButton>("pushButtonAllSelect")->click();
        QVERIFY(edits.count() >= 2);
        const int before = edits.count();
        rig.combo("comboBoxScalingTo")->setCurrentIndex(1);
        QCOMPARE(edits.count(), before + 1);
    }

    void buttons()
    {
        Rig rig;
        QSignalSpy done(&rig.hub, &PMessage::hideSettingToolForm);
        rig.w<QPushButton>("pushButtonHide")->click();
        QCOMPARE(done.count(), 1);

        {
            // The guide is not installed here: still no message box.
            testsupport::DesktopUrls catcher;
            testsupport::ModalAnswerer boxes;
            rig.w<QPushButton>("pushButtonSettingToolHelp")->click();
            QCOMPARE(catcher.urls,
                     QList<QUrl>{QUrl::fromLocalFile(g_VellumCfgFile.m_strSettingsGuideFile)});
            QVERIFY(
                catcher.urls.first().toLocalFile().endsWith("/help/Scan_Settings_Guide_ZH_CN.pdf"));
            QTest::qWait(20);
            QCOMPARE(boxes.count(), 0);
        }

        QWidget *parentSeen = nullptr;
        testsupport::ModalAnswerer about([&parentSeen](QWidget *w, const testsupport::ModalSeen &) {
            parentSeen = w->parentWidget();
            if (auto *d = qobject_cast<QDialog *>(w))
                d->reject();
        });
        rig.w<QPushButton>("pushButtonSettingToolAbout")->click();
        QCOMPARE(about.count(), 1);
        QCOMPARE(about.last().className, QString("AboutDialog"));
        QCOMPARE(parentSeen, static_cast<QWidget *>(&rig.ox));
    }

    void smallScreen()
    {
        Rig rig;
        tagSCAN_SHORTCUT_MENU r = builtIn("多流 Clearleaf 文档");
        r.alignTheSize = true;
        r.splitDocumentLengthMode = SplitDocumentLengthModeFlag(0);
        rig.ox.resize(756, 559);
        rig.ox.show();
        rig.load(r);
        rig.choose("comboBoxToolSplitDocOx", 2);
        QTabWidget *tabs = rig.w<QTabWidget>("tabWidget");
        for (int t = 0; t < 2; ++t) {
            tabs->setCurrentIndex(t);
            QWidget *page = tabs->widget(t);
            QCoreApplication::processEvents();
            const QRect inside = page->rect();
            for (QWidget *child : page->findChildren<QWidget *>()) {
                if (!child->isVisibleTo(page) ||
                    child->parentWidget()->inherits("QAbstractSpinBox") ||
                    child->parentWidget()->inherits("QAbstractScrollArea") ||
                    child->inherits("QScrollBar"))
                    continue;
                const QRect rect(child->mapTo(page, QPoint(0, 0)), child->size());
                QVERIFY2(inside.contains(rect), qPrintable(child->objectName()));
                if (qobject_cast<QLabel *>(child) || qobject_cast<QCheckBox *>(child))
                    QVERIFY2(child->width() >= child->sizeHint().width(),
                             qPrintable(child->objectName()));
            }
            const QString file = QDir::tempPath() + QStringLiteral("/oxpanel-tab%1.png").arg(t);
            QVERIFY(rig.ox.grab().save(file));
            qInfo("grab: %s", qPrintable(file));
        }
        QListWidget *list = rig.w<QListWidget>("listWidgetPageSize");
        QVERIFY(list->width() >= 260 && list->height() >= 360);
        QGroupBox *group = rig.group("groupBoxAliginTheSize");
        QCOMPARE(group->width(), 300);
        for (QWidget *w : {static_cast<QWidget *>(list),
                           static_cast<QWidget *>(rig.w<QPushButton>("pushButtonReset")),
                           static_cast<QWidget *>(rig.w<QPushButton>("pushButtonAllSelect"))}) {
            const QRect rect(w->mapTo(group, QPoint(0, 0)), w->size());
            QVERIFY2(group->rect().contains(rect), qPrintable(w->objectName()));
        }
        QCOMPARE(rig.w<QPushButton>("pushButtonReset")->size(), QSize(75, 23));
    }

private:
    // One pair of forms for the round trips: the console, too, loads profile
    // after profile into the same forms.
    QScopedPointer<Rig> m_shared;
};

QTEST_MAIN(TestOxPanel)
#include "tst_oxpanel.moc"
