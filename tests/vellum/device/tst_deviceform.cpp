// The Device tab's frame, General, Transport and Multifeed pages: profile
// exchange at exact offsets, units, notifications and the multifeed rules.
#include "deviceformfixture.h"
#include "support/datarows.h"
#include "support/recorddiff.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>

#include <cmath>
#include <functional>
#include <limits>

using namespace devicetest;
using testsupport::changedOffsets;
using testsupport::describeChanges;
using testsupport::row;

Q_DECLARE_METATYPE(std::function<void(tagSCAN_SHORTCUT_MENU &)>)
using Edit = std::function<void(tagSCAN_SHORTCUT_MENU &)>;

class TestDeviceForm : public QObject, public FormFixture
{
    Q_OBJECT
private:
    QComboBox *combo(const char *name) { return child<QComboBox>(m_form, name); }
    QCheckBox *check(const char *name) { return child<QCheckBox>(m_form, name); }
    QDoubleSpinBox *sheet() { return spin("doubleSpinBoxSheetHeight"); }
    QDoubleSpinBox *multifeed() { return spin("doubleSpinBoxDeviceMultifeedLengthEnabled"); }

    // Every General, Transport and Multifeed field moved off the built-in
    // value, to values that each have an item.
    static tagSCAN_SHORTCUT_MENU edited(tagSCAN_SHORTCUT_MENU r)
    {
        r.paperSource = r.paperSource == PaperSourceAutomatic300 ? PaperSourceFeeder300
                                                                 : PaperSourceAutomatic300;
        r.onlySavePower = !r.onlySavePower;
        r.powerSaver = r.powerSaver == 35 ? 40 : 35;
        r.powerOff = r.powerOff == 125 ? 130 : 125;
        r.powerOffEnabled = !r.powerOffEnabled;
        r.onlySaveTimeout = !r.onlySaveTimeout;
        r.deviceOn = !r.deviceOn;
        r.autoStartScanning = !r.autoStartScanning;
        r.timeout = r.timeout == 45 ? 46 : 45;
        r.timeoutAction =
            r.timeoutAction == TimeoutPauseWaitPaper ? TimeoutStop : TimeoutPauseWaitPaper;
        r.activeFeed = r.activeFeed == ActiveFeedGentle ? ActiveFeedNormal : ActiveFeedGentle;
        r.handlingAction =
            r.handlingAction == HandlingSpecial ? HandlingBestStacking : HandlingSpecial;
        r.documentProtection =
            r.documentProtection == ProtectionMaximum ? ProtectionMinimum : ProtectionMaximum;
        r.paperJamResponse = r.paperJamResponse == PaperJamPause ? PaperJamStop : PaperJamPause;
        r.enhancedSeparation = !r.enhancedSeparation;
        r.sheetHeight = r.sheetHeight == 14.0 ? 13.5 : 14.0;
        r.multifeedUddsSensitivity =
            r.multifeedUddsSensitivity == UddsMedium ? UddsHigh : UddsMedium;
        r.multifeedLengthEnabled = !r.multifeedLengthEnabled;
        r.multifeedLength = r.multifeedLength == 11.5 ? 12.25 : 11.5;
        r.multifeedResponse =
            r.multifeedResponse == MultifeedInteractive ? MultifeedStop : MultifeedInteractive;
        return r;
    }

private slots:
    void initTestCase()
    {
        setUpConfig();
        m_base = testsupport::builtInProfiles().at(0);
        m_base.sizeUnit = UnitCentimetre;
        m_base.sideSettings[0].resolution = 200;
    }
    void init() { createForm(); }
    void cleanup() { destroyForm(); }

    void storesEveryFieldAtItsOffset()
    {
        tagSCAN_SHORTCUT_MENU target = edited(m_base);
        const QList<int> expected{1928, 1932, 1936, 1940, 1944, 1945, 1946, 1947, 1948, 1952,
                                  2028, 2032, 2036, 2040, 2044, 2048, 2056, 2060, 2064, 2072};
        QCOMPARE(changedOffsets(m_base, target), expected);
        show(target);
        QVERIFY(m_form->compareVariableAndUIControl(target));
        QVERIFY(!m_form->compareVariableAndUIControl(m_base));
        tagSCAN_SHORTCUT_MENU stored = m_base;
        QVERIFY(m_form->updateDeviceUIcontrolToVariable(stored));
        QVERIFY2(changedOffsets(target, stored).isEmpty(),
                 qPrintable(describeChanges(target, stored)));
        saveGrab(m_form, "device-general");
        for (int tab = 1; tab < 4; ++tab) {
            child<QTabWidget>(m_form, "tabWidgetDevice")->setCurrentIndex(tab);
            saveGrab(m_form, QString("device-tab%1").arg(tab));
        }
    }

    void compareSeesEachField_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::newRow("1928") << Edit(
            [](tagSCAN_SHORTCUT_MENU &r) { r.paperSource = PaperSourceFlatbed; });
        QTest::newRow("1932") << Edit(
            [](tagSCAN_SHORTCUT_MENU &r) { r.onlySavePower = !r.onlySavePower; });
        QTest::newRow("1936") << Edit([](tagSCAN_SHORTCUT_MENU &r) { r.powerSaver += 5; });
        QTest::newRow("1940") << Edit([](tagSCAN_SHORTCUT_MENU &r) { r.powerOff += 5; });
        QTest::newRow("1944") << Edit(
            [](tagSCAN_SHORTCUT_MENU &r) { r.powerOffEnabled = !r.powerOffEnabled; });
        QTest::newRow("1945") << Edit(
            [](tagSCAN_SHORTCUT_MENU &r) { r.onlySaveTimeout = !r.onlySaveTimeout; });
        QTest::newRow("1946") << Edit([](tagSCAN_SHORTCUT_MENU &r) { r.deviceOn = !r.deviceOn; });
        QTest::newRow("1947") << Edit(
            [](tagSCAN_SHORTCUT_MENU &r) { r.autoStartScanning = !r.autoStartScanning; });
        QTest::newRow("1948") << Edit([](tagSCAN_SHORTCUT_MENU &r) { r.timeout += 1; });
        QTest::newRow("1952") << Edit(
            [](tagSCAN_SHORTCUT_MENU &r) { r.timeoutAction = AdfTimeoutResponseFlag(9); });
        QTest::newRow("2028") << Edit(
            [](tagSCAN_SHORTCUT_MENU &r) { r.activeFeed = AdfActiveFeedFlag(r.activeFeed + 1); });
        QTest::newRow("2032") << Edit(
            [](tagSCAN_SHORTCUT_MENU &r) { r.handlingAction = AdfHandlingFlag(3); });
        QTest::newRow("2036") << Edit([](tagSCAN_SHORTCUT_MENU &r) {
            r.documentProtection = IntelligentDocumentProtectionFlag(7);
        });
        QTest::newRow("2040") << Edit([](tagSCAN_SHORTCUT_MENU &r) {
            r.paperJamResponse = PaperJamreSponseFlag(!r.paperJamResponse);
        });
        QTest::newRow("2044") << Edit(
            [](tagSCAN_SHORTCUT_MENU &r) { r.enhancedSeparation = !r.enhancedSeparation; });
        QTest::newRow("2048") << Edit([](tagSCAN_SHORTCUT_MENU &r) { r.sheetHeight += 0.01; });
        QTest::newRow("2056") << Edit([](tagSCAN_SHORTCUT_MENU &r) {
            r.multifeedUddsSensitivity = MultifeedUddsSensitivityFlag(5);
        });
        QTest::newRow("2060") << Edit(
            [](tagSCAN_SHORTCUT_MENU &r) { r.multifeedLengthEnabled = !r.multifeedLengthEnabled; });
        QTest::newRow("2064") << Edit([](tagSCAN_SHORTCUT_MENU &r) { r.multifeedLength += 0.01; });
        QTest::newRow("2072") << Edit(
            [](tagSCAN_SHORTCUT_MENU &r) { r.multifeedResponse = MultifeedResponseFlag(6); });
    }
    void compareSeesEachField()
    {
        QFETCH(Edit, edit);
        tagSCAN_SHORTCUT_MENU shown = edited(m_base);
        show(shown);
        QVERIFY(m_form->compareVariableAndUIControl(shown));
        tagSCAN_SHORTCUT_MENU other = shown;
        edit(other);
        QVERIFY(!m_form->compareVariableAndUIControl(other));
    }

    void unknownComboValueKeepsSelection()
    {
        tagSCAN_SHORTCUT_MENU r = m_base;
        r.paperSource = PaperSourceAutomatic300;
        show(r);
        r.paperSource = AdfPaperSourceFlag(3);
        show(r);
        QCOMPARE(combo("comboBoxDevicePaperSource")->currentData().toInt(), 12);
        m_form->updateDeviceUIcontrolToVariable(r);
        QCOMPARE(int(r.paperSource), 12);
    }

    void lockedPaperSource()
    {
        m_form->updatePaperSourceState(1);
        tagSCAN_SHORTCUT_MENU r = m_base;
        r.paperSource = PaperSourceFlatbed;
        show(r);
        QCOMPARE(combo("comboBoxDevicePaperSource")->currentText(), QString("自动 - 100 张"));
        QVERIFY(!combo("comboBoxDevicePaperSource")->isEnabled());
        QVERIFY(m_form->compareVariableAndUIControl(r));
        m_form->updateDeviceUIcontrolToVariable(r);
        QCOMPARE(int(r.paperSource), 7);
        m_form->updatePaperSourceState(0);
        QVERIFY(combo("comboBoxDevicePaperSource")->isEnabled());
        r.paperSource = PaperSourceFeeder;
        show(r);
        QCOMPARE(combo("comboBoxDevicePaperSource")->currentData().toInt(), 0);
    }

    void unitChange()
    {
        tagSCAN_SHORTCUT_MENU r = profile(UnitCentimetre);
        r.sheetHeight = 17.0;
        show(r);
        QCOMPARE(sheet()->value(), 43.18);
        QCOMPARE(sheet()->singleStep(), 0.0254);
        emit m_hub->changedImageSizeUnit(UnitInch);
        QCOMPARE(sheet()->text(), QString("17.00"));
        QCOMPARE(sheet()->singleStep(), 0.01);
        QCOMPARE(child<QLabel>(m_form, "labelSheetHeightUnit")->text(), QString("英寸"));
        QCOMPARE(child<QLabel>(m_form, "labelDeviceMultifeedLengthUnit")->text(), QString("英寸"));
        // An unknown unit changes nothing.
        emit m_hub->changedImageSizeUnit(ImageSizeUnitFlag(7));
        QCOMPARE(sheet()->value(), 17.0);
        QCOMPARE(m_form->unit(), int(UnitInch));
    }

    void pixelsFollowResolution()
    {
        tagSCAN_SHORTCUT_MENU r = profile(UnitPixel, 300);
        r.sheetHeight = 14.0;
        r.multifeedLength = 11.0;
        r.stampConfig.originX = 150;
        r.stampConfig.originY = 200;
        r.stampConfig.borderThickness = 100;
        show(r);
        QCOMPARE(sheet()->value(), 4200.0);
        QCOMPARE(sheet()->singleStep(), 3.0);
        emit m_hub->setResolution(Resolution600);
        QCOMPARE(sheet()->value(), 8400.0);
        QCOMPARE(sheet()->singleStep(), 6.0);
        QCOMPARE(multifeed()->value(), 6600.0);
        QCOMPARE(spin("doubleSpinBoxDeviceStampPositionX")->value(), 900.0);
        QCOMPARE(spin("doubleSpinBoxDeviceStampPositionY")->value(), 1200.0);
        QCOMPARE(spin("doubleSpinBoxDeviceStampThickNess")->value(), 60.0);
        QVERIFY(m_form->compareVariableAndUIControl(r));
        // Ignored while a profile loads.
        m_form->disconnectAllChangeValueControlMessages();
        emit m_hub->setResolution(Resolution1200);
        QCOMPARE(sheet()->value(), 8400.0);
        m_form->connectAllChangeValueControlMessages();
        // A resolution of 0 counts as 200.
        emit m_hub->setResolution(ImageResolutionFlag(0));
        QCOMPARE(sheet()->value(), 2800.0);
    }

    // The longest lengths the page allows still show in pixels at 1200 dpi,
    // so viewing a profile there never shortens them.
    void longestLengthsAt1200Dpi()
    {
        tagSCAN_SHORTCUT_MENU r = profile(UnitPixel, 1200);
        r.sheetHeight = 160.0;
        r.stampConfig.originY = 12000;
        show(r);
        QCOMPARE(sheet()->value(), 192000.0);
        QCOMPARE(spin("doubleSpinBoxDeviceStampPositionY")->value(), 144000.0);
        QVERIFY(m_form->compareVariableAndUIControl(r));
        QCOMPARE(finishEditing(sheet(), 200000.0), 192000.0);
        tagSCAN_SHORTCUT_MENU stored = r;
        m_form->updateDeviceUIcontrolToVariable(stored);
        QCOMPARE(stored.sheetHeight, 160.0);
        QCOMPARE(stored.stampConfig.originY, 12000u);
    }

    // Typed lengths are held within the page's bounds in every unit.
    void lengthClamps_data()
    {
        QTest::addColumn<QByteArray>("spinName");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<double>("entered");
        QTest::addColumn<double>("shown");
        const QByteArray sheet("doubleSpinBoxSheetHeight");
        const QByteArray mf("doubleSpinBoxDeviceMultifeedLengthEnabled");
        row("sheetHeightClamp 1 in", sheet, 1, 200, 1.0, 2.5);
        row("sheetHeightClamp 450 cm", sheet, 0, 200, 450.0, 406.4);
        row("sheetHeightClamp 20 in kept", sheet, 1, 200, 20.0, 20.0);
        row("sheetHeightClamp 100 px at 200", sheet, 2, 200, 100.0, 500.0);
        row("multifeedLimits 1.5 in", mf, 1, 200, 1.5, 2.0);
        row("multifeedLimits 20 in", mf, 1, 200, 20.0, 17.0);
        row("multifeedLimits 50 cm", mf, 0, 200, 50.0, 43.18);
        row("multifeedLimits 3 cm", mf, 0, 200, 3.0, 5.08);
        row("multifeedLimits 3000 px at 200", mf, 2, 200, 3000.0, 2800.0);
        row("multifeedLimits 3000 px at 300", mf, 2, 300, 3000.0, 3000.0);
        row("multifeedLimits 300 px at 300", mf, 2, 300, 300.0, 600.0);
        row("multifeedLimits 9000 px at 300", mf, 2, 300, 9000.0, 5100.0);
    }
    void lengthClamps()
    {
        QFETCH(QByteArray, spinName);
        QFETCH(int, unit);
        QFETCH(int, dpi);
        QFETCH(double, entered);
        QFETCH(double, shown);
        tagSCAN_SHORTCUT_MENU r = profile(unit, dpi);
        show(r);
        QCOMPARE(finishEditing(spin(spinName.constData()), entered), shown);
    }
    // A unit the page does not know shows inches, a resolution of 0 counts
    // as 200, and damaged lengths show the spin box's bound: never NaN.
    void damagedRecords_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<double>("stored");
        QTest::addColumn<double>("shown");
        QTest::addColumn<double>("written");
        QTest::newRow("unit 7") << 7 << 200 << 14.0 << 14.0 << 14.0;
        QTest::newRow("pixels at 0 dpi") << 2 << 0 << 14.0 << 2800.0 << 14.0;
        QTest::newRow("pixels at -300 dpi") << 2 << -300 << 14.0 << 2800.0 << 14.0;
        QTest::newRow("NaN") << 1 << 200 << std::numeric_limits<double>::quiet_NaN() << 0.0 << 0.0;
        QTest::newRow("infinite") << 1 << 200 << std::numeric_limits<double>::infinity()
                                  << DeviceForm::MaxLengthShown << DeviceForm::MaxLengthShown;
        QTest::newRow("negative") << 1 << 200 << -3.0 << 0.0 << 0.0;
    }
    void damagedRecords()
    {
        QFETCH(int, unit);
        QFETCH(int, dpi);
        QFETCH(double, stored);
        QFETCH(double, shown);
        QFETCH(double, written);
        tagSCAN_SHORTCUT_MENU r = profile(unit, dpi);
        r.sheetHeight = stored;
        show(r);
        QVERIFY(std::isfinite(sheet()->value()));
        QCOMPARE(sheet()->value(), shown);
        tagSCAN_SHORTCUT_MENU out = r;
        m_form->updateDeviceUIcontrolToVariable(out);
        QCOMPARE(out.sheetHeight, written);
        QVERIFY(std::isfinite(out.multifeedLength));
        QCOMPARE(out.sizeUnit, r.sizeUnit);
    }

    void notifications()
    {
        QSignalSpy source(m_hub, &PMessage::changedPaperSource);
        QSignalSpy edited(m_hub, &PMessage::controlValueChanged);
        tagSCAN_SHORTCUT_MENU r = this->edited(m_base);
        show(r);
        QCOMPARE(source.count(), 0);
        QCOMPARE(edited.count(), 0);
        combo("comboBoxDevicePaperSource")->setCurrentIndex(6);
        QCOMPARE(source.count(), 1);
        QCOMPARE(source.at(0).at(0).value<AdfPaperSourceFlag>(), PaperSourceFlatbed);
        QCOMPARE(edited.count(), 1);
        check("checkBoxDeviceOnlySaveTimeout")->toggle();
        spin("doubleSpinBoxDeviceStampPositionX")->setValue(1.5);
        QCOMPARE(edited.count(), 3);
        QCOMPARE(source.count(), 1);

        QSignalSpy index(m_hub, &PMessage::changedPaperIndex);
        child<QLineEdit>(m_form, "lineEditStartValue")->setText("12a");
        child<QLineEdit>(m_form, "lineEditStartValue")->setText("37");
        QCOMPARE(index.count(), 2);
        QCOMPARE(index.at(0).at(0).toInt(), 0);
        QCOMPARE(index.at(1).at(0).toInt(), 37);

        emit m_hub->scanFinish(&r, 58, 1204, 3, 0, 0);
        QCOMPARE(child<QLineEdit>(m_form, "lineEditStartValue")->text(), QString("58"));
        QCOMPARE(child<QLineEdit>(m_form, "lineEditStampStartValue")->text(), QString("1204"));

        QSignalSpy diagnostics(m_hub, &PMessage::showDiagnosticsForm);
        child<QPushButton>(m_form, "pushButtonDeviceDiagnostics")->click();
        QCOMPARE(diagnostics.count(), 1);
    }

    void generalEnabling()
    {
        QVERIFY(child<QGroupBox>(m_form, "groupBoxDevicePower")->isHidden());
        QVERIFY(combo("comboBoxDeviceActiveFeed")->isHidden());
        QVERIFY(check("checkBoxDeviceEnhancedSeparation")->isHidden());
        check("checkBoxDeviceOn")->setChecked(false);
        QVERIFY(!combo("comboBoxDeviceTimeoutAction")->isEnabled());
        QVERIFY(!child<QSpinBox>(m_form, "spinBoxDeviceTimeoutSetting")->isEnabled());
        check("checkBoxDeviceOn")->setChecked(true);
        QVERIFY(combo("comboBoxDeviceTimeoutAction")->isEnabled());
        check("checkBoxDevicePowerOff")->setChecked(false);
        QVERIFY(!child<QSpinBox>(m_form, "spinBoxDevicePowerOff")->isEnabled());
        child<QSlider>(m_form, "horizontalSliderDeviceTimeout")->setValue(77);
        QCOMPARE(child<QSpinBox>(m_form, "spinBoxDeviceTimeoutSetting")->value(), 77);
        child<QTabWidget>(m_form, "tabWidgetDevice")->setCurrentIndex(3);
        child<QTabWidget>(m_form, "tabWidgetStamp")->setCurrentIndex(2);
        m_form->resetDialogIndex();
        QCOMPARE(child<QTabWidget>(m_form, "tabWidgetDevice")->currentIndex(), 0);
        QCOMPARE(child<QTabWidget>(m_form, "tabWidgetStamp")->currentIndex(), 0);
    }

    void multifeedRules_data()
    {
        QTest::addColumn<int>("sensitivity");
        QTest::addColumn<bool>("length");
        QTest::addColumn<bool>("action");
        QTest::newRow("none, off") << 0 << false << false;
        QTest::newRow("none, on") << 0 << true << true;
        QTest::newRow("low, off") << 1 << false << true;
        QTest::newRow("high, on") << 3 << true << true;
    }
    void multifeedRules()
    {
        QFETCH(int, sensitivity);
        QFETCH(bool, length);
        QFETCH(bool, action);
        tagSCAN_SHORTCUT_MENU r = m_base;
        r.multifeedUddsSensitivity = MultifeedUddsSensitivityFlag(sensitivity);
        r.multifeedLengthEnabled = length;
        show(r);
        QCOMPARE(combo("comboBoxDeviceMultifeedResponse")->isEnabled(), action);
        QCOMPARE(multifeed()->isEnabled(), length);
        // Changing either control re-applies the rules.
        check("checkBoxDeviceMultifeedLengthEnabled")->setChecked(true);
        QVERIFY(combo("comboBoxDeviceMultifeedResponse")->isEnabled());
        QVERIFY(multifeed()->isEnabled());
        check("checkBoxDeviceMultifeedLengthEnabled")->setChecked(false);
        combo("comboBoxDeviceMultifeedUddsSensitivity")->setCurrentIndex(0);
        QVERIFY(!combo("comboBoxDeviceMultifeedResponse")->isEnabled());
        combo("comboBoxDeviceMultifeedUddsSensitivity")->setCurrentIndex(2);
        QVERIFY(combo("comboBoxDeviceMultifeedResponse")->isEnabled());
    }

    void flatbedDisablesMultifeed()
    {
        auto *tabs = child<QTabWidget>(m_form, "tabWidgetDevice");
        tabs->setCurrentIndex(0);
        combo("comboBoxDevicePaperSource")->setCurrentIndex(6); // 平板
        emit tabs->tabBarClicked(3);
        for (const char *name :
             {"comboBoxDeviceMultifeedUddsSensitivity", "comboBoxDeviceMultifeedResponse"})
            QVERIFY2(!combo(name)->isEnabled(), name);
        QVERIFY(!check("checkBoxDeviceMultifeedLengthEnabled")->isEnabled());
        QVERIFY(!multifeed()->isEnabled());
        combo("comboBoxDevicePaperSource")->setCurrentIndex(0); // 自动
        check("checkBoxDeviceMultifeedLengthEnabled")->setChecked(true);
        emit tabs->tabBarClicked(3);
        QVERIFY(combo("comboBoxDeviceMultifeedUddsSensitivity")->isEnabled());
        QVERIFY(check("checkBoxDeviceMultifeedLengthEnabled")->isEnabled());
        QVERIFY(multifeed()->isEnabled());
        QVERIFY(combo("comboBoxDeviceMultifeedResponse")->isEnabled());
    }

    void followsImageArea()
    {
        tagSCAN_SHORTCUT_MENU r = profile(UnitInch);
        r.multifeedLength = 16.0;
        show(r);
        // Whole document: the length becomes the image height, even a lower one.
        emit m_hub->imageAreaChangeMulLength(2, 14.0);
        QCOMPARE(multifeed()->value(), 14.0);
        // Part of the document: only raised.
        emit m_hub->imageAreaChangeMulLength(5, 11.694);
        QCOMPARE(multifeed()->value(), 14.0);
        QCOMPARE(finishEditing(multifeed(), 8.0), 11.69);
        emit m_hub->currentImageHeightChange(12.5);
        QCOMPARE(multifeed()->value(), 12.5);
        emit m_hub->currentImageHeightChange(std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(multifeed()->value(), 12.5);
    }

    // The remembered image height changes unit with the lengths.
    void imageHeightFollowsUnit()
    {
        tagSCAN_SHORTCUT_MENU r = profile(UnitCentimetre);
        show(r);
        emit m_hub->imageAreaChangeMulLength(5, 29.70);
        QCOMPARE(multifeed()->value(), 29.70);
        emit m_hub->changedImageSizeUnit(UnitInch);
        QCOMPARE(multifeed()->text(), QString("11.69"));
        emit m_hub->changedImageSizeUnit(UnitPixel);
        QCOMPARE(multifeed()->value(), 2338.0);
        QCOMPARE(finishEditing(multifeed(), 1000.0), 2338.0);
    }

    // The graphics list is written when the page goes, with the defaults
    // installed on first use.
    void graphicsListWrittenAtDestruction()
    {
        delete m_form;
        QVERIFY(QFile::remove(g_VellumCfgFile.m_strStampConfigIni));
        QDir(g_VellumCfgFile.m_strStampDir).removeRecursively();
        m_form = new DeviceForm(m_hub);
        QVERIFY(!QFile::exists(g_VellumCfgFile.m_strStampConfigIni));
        QCOMPARE(child<QListWidget>(m_form, "listWidgetDeviceStampGraphicFileName")->count(), 12);
        delete m_form;
        m_form = nullptr;
        QSettings ini(g_VellumCfgFile.m_strStampConfigIni, QSettings::IniFormat);
        QCOMPARE(ini.value("Graphics/count").toInt(), 12);
        QCOMPARE(ini.value("Graphics/name1").toString(),
                 g_VellumCfgFile.m_strStampDir + "/zz020 Globe ASIA 200x200.png");
        m_form = new DeviceForm(m_hub);
    }
};

QTEST_MAIN(TestDeviceForm)
#include "tst_deviceform.moc"
