// The exported image tool form, linked against the shared libvellum only:
// General page, lists and menus, page modes, content page, record bytes.

#include "imagetooltest.h"

#include "support/desktopurls.h"
#include "support/modalanswer.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

using namespace imagetooltest;

class TestSettingToolForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { PMessage::registerMetaTypes(); }
    void newForm();
    void everyBuiltIn_data();
    void everyBuiltIn();
    void modeTable_data();
    void modeTable();
    void listOperations();
    void storeAndCompareColours();
    void colourModeReset();
    void generalPage();
    void lengths();
    void contentPage();
    void differentSwitch();
    void gapBytesAndRoundTrip();
    void oneChangeMakesCompareFalse_data();
    void oneChangeMakesCompareFalse();
    void badRecords();
    void buttons();
    void formSize();
};

void TestSettingToolForm::newForm()
{
    Rig rig;
    QCOMPARE(rig.lists(), QString("CB/CB"));
    QCOMPARE(rig.list(true)->currentRow(), 0);
    QCOMPARE(rig.list(false)->currentRow(), 0);
    QCOMPARE(rig.menuKinds(rig.change(true)), QString("G"));
    QCOMPARE(rig.menuKinds(rig.add(true)), QString("B"));
    QCOMPARE(rig.tabs()->currentIndex(), 0);
    QCOMPARE(rig.tabs()->tabText(0), QString("一般"));
    QCOMPARE(rig.tabs()->tabText(1), QString("影像"));
    QCOMPARE(rig.combo("comboBoxToolInputDoc")->itemData(0).toInt(), 2);
    QCOMPARE(rig.w<QLabel>("labelToolLenghtLeft")->text(), QString("厘米"));
}

void TestSettingToolForm::everyBuiltIn_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < 6; ++i)
        QTest::addRow("built-in %d", i) << i;
}

// Every built-in holds 0 in each image tool field: both lists would hold one
// black-and-white image, and Done, store and copy would read a second item
// that is not there.
void TestSettingToolForm::everyBuiltIn()
{
    QFETCH(int, index);
    tagSCAN_SHORTCUT_MENU r = builtIns().at(index);
    Rig rig;
    QSignalSpy lists(&rig.hub, &PMessage::createTwoSideOrFrontOrBack);
    QSignalSpy done(&rig.hub, &PMessage::hideSettingToolForm);
    rig.load(r);
    QCOMPARE(rig.lists(), QString("B/BC"));
    rig.button("pushButtonHide")->click();
    QCOMPARE(done.count(), 1);
    QCOMPARE(lists.count(), 1);
    QCOMPARE(lists.last().at(3).toInt(), 0);
    QCOMPARE(lists.last().mid(4), (QVariantList{kBlackWhite, kBlackWhite, kBlackWhite, kColour}));
    tagSCAN_SHORTCUT_MENU out = rig.saved(r);
    const ImageToolSettings s = readImageToolSettings(out);
    QCOMPARE(qint32(s.layout), 0);
    QCOMPARE(qint32(s.backTwoType), 2);
    QVERIFY(rig.form.compareVariableAndUIControl(out));
    rig.form.CopyFrontToBack();
    QCOMPARE(rig.kinds(false), QString("BC"));
    rig.form.CopyBackToFront();
    QCOMPARE(rig.kinds(true), QString("BC"));
    rig.form.CopyFrontToBack();
    QVERIFY(listsValid(rig.kinds(true), rig.kinds(false)));
    QCOMPARE(qint32(readImageToolSettings(rig.saved(out)).layout), 2);
}

void TestSettingToolForm::modeTable_data()
{
    // P images per side, D different box, S both sides; then what the page
    // shows: groups (front, back), content tab, Add, Delete, Up, Down and
    // combine, "-" where the mode leaves the state alone.
    QTest::addColumn<int>("p");
    QTest::addColumn<bool>("d");
    QTest::addColumn<bool>("s");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("note");
    const QString content = "注：扫描仪决定要创建上面哪个影像";
    const QString ordered = "注：扫描仪根据上面列出的顺序来创建影像";
    const QString matching = "注：扫描仪根据上面列出的顺序来创建影像(两面的顺序必须匹配)";
    //                                     groups tab add del up down combine
    QTest::newRow("one, S") << 0 << false << true << "00 0 - 0 - - 1" << QString();
    QTest::newRow("one, D S") << 0 << true << true << "00 0 - 0 - - 0" << QString();
    QTest::newRow("one, single side") << 0 << false << false << "00 0 - 0 - - 0" << QString();
    QTest::newRow("content, D S") << 1 << true << true << "11 1 0 0 0 0 0" << content;
    QTest::newRow("content") << 1 << false << true << "10 1 0 0 0 0 0" << content;
    QTest::newRow("multiple, D S") << 2 << true << true << "11 0 0 1 0 1 0" << matching;
    QTest::newRow("multiple, D only") << 2 << true << false << "10 0 0 0 0 1 0" << matching;
    QTest::newRow("multiple") << 2 << false << true << "10 0 0 0 0 1 0" << ordered;
}

void TestSettingToolForm::modeTable()
{
    QFETCH(int, p);
    QFETCH(bool, d);
    QFETCH(bool, s);
    QFETCH(QString, state);
    QFETCH(QString, note);
    Rig rig;
    rig.loadBoth(crafted(2, 2, 0, 1, 0));
    QSignalSpy sides(&rig.hub, &PMessage::changedInputDocTypeSettingToolToMain);
    if (d) {
        rig.different()->click();
        QCOMPARE(sides.count(), 2);
        QVERIFY(sides.at(0).at(1).toBool() && sides.at(1).at(1).toBool());
    }
    if (!s)
        rig.choose("comboBoxToolInputDoc", 0);
    rig.choose("comboBoxImagesPerSide", p == 0 ? 2 : 0);
    rig.choose("comboBoxImagesPerSide", p);
    const QStringList parts = state.split(' ');
    QCOMPARE(!rig.w<QGroupBox>("groupBoxImagesToConfigureFront")->isHidden(), parts[0][0] == '1');
    QCOMPARE(!rig.w<QGroupBox>("groupBoxImagesToConfigureBack")->isHidden(), parts[0][1] == '1');
    QCOMPARE(rig.contentTab(), parts[1] == "1");
    const QList<QPair<QString, std::function<bool(bool)>>> checks = {
        {parts[2], [&](bool f) { return rig.add(f)->isEnabled(); }},
        {parts[3], [&](bool f) { return rig.remove(f)->isEnabled(); }},
        {parts[4], [&](bool f) { return rig.up(f)->isEnabled(); }},
        {parts[5], [&](bool f) { return rig.down(f)->isEnabled(); }}};
    for (const auto &c : checks)
        if (c.first != "-")
            for (bool front : {true, false})
                QCOMPARE(c.second(front), c.first == "1");
    QCOMPARE(rig.combo("comboBoxCombineFrontAndBack")->isEnabled(), parts[6] == "1");
    if (!note.isEmpty())
        QCOMPARE(rig.w<QLabel>("labelImagesNote")->text(), note);
    if (p != 0 && !(d && s))
        QCOMPARE(rig.kinds(true), rig.kinds(false));
    QVERIFY(listsValid(rig.kinds(true), rig.kinds(false)));
}

void TestSettingToolForm::listOperations()
{
    Rig rig;
    // Delete row 1 of (colour, black-and-white).
    tagSCAN_SHORTCUT_MENU r = rig.loadBoth(crafted(2, 2, 0, 2, 0));
    rig.different()->click();
    rig.choose("comboBoxImagesPerSide", 2);
    QVERIFY(rig.remove(true)->isEnabled());
    rig.list(true)->setCurrentRow(1);
    rig.remove(true)->click();
    QCOMPARE(rig.kinds(true), QString("C"));
    QCOMPARE(rig.menuKinds(rig.change(true)), QString("GB"));
    QCOMPARE(rig.menuKinds(rig.add(true)), QString("B"));
    QVERIFY(!rig.remove(true)->isEnabled() && !rig.remove(false)->isEnabled());
    QVERIFY(rig.add(true)->isEnabled());

    // Add gray to (black-and-white): the other side aligns its pair.
    r = crafted(0, 0, 0, 2, 0);
    rig.load(r);
    QCOMPARE(rig.lists(), QString("B/CB"));
    QCOMPARE(rig.menuKinds(rig.add(true)), QString("CG"));
    rig.trigger(rig.add(true), "G");
    QCOMPARE(rig.lists(), QString("BG/BC"));
    QCOMPARE(rig.list(true)->currentRow(), 1);
    QCOMPARE(rig.list(false)->currentRow(), 1);
    QVERIFY(!rig.add(true)->isEnabled());
    QVERIFY(rig.remove(true)->isEnabled() && rig.remove(false)->isEnabled());

    // Change the gray of (black-and-white, gray) to colour.
    QCOMPARE(rig.menuKinds(rig.change(true)), QString("C"));
    rig.trigger(rig.change(true), "C");
    QCOMPARE(rig.kinds(true), QString("BC"));
    QCOMPARE(rig.list(true)->currentRow(), 1);

    // Change is off while the black-and-white row is selected.
    rig.list(true)->setCurrentRow(0);
    QVERIFY(!rig.change(true)->isEnabled());
    rig.list(true)->setCurrentRow(1);
    QVERIFY(rig.change(true)->isEnabled());

    // Up on (gray, black-and-white) with row 1 selected.
    r = crafted(2, 1, 0, 2, 0);
    rig.load(r);
    rig.list(true)->setCurrentRow(1);
    rig.form.clickedBtnFrontUp();
    QCOMPARE(rig.lists(), QString("BG/BC"));
    QCOMPARE(rig.list(true)->currentRow(), 0);

    // Stale or unsuitable requests change nothing.
    rig.form.triggeredImageListFrontAddColor();
    rig.form.triggeredImageListFrontChangeBlackWhite();
    QCOMPARE(rig.kinds(true), QString("BG"));
}

void TestSettingToolForm::storeAndCompareColours()
{
    Rig rig;
    tagSCAN_SHORTCUT_MENU r = crafted(0, 1, 77, 0, 2);
    rig.load(r);
    QCOMPARE(rig.lists(), QString("G/BC"));
    tagSCAN_SHORTCUT_MENU out = r;
    ImageToolSettings s = readImageToolSettings(out);
    s.layout = 9;
    s.frontOneType = s.backOneType = s.backTwoType = 5;
    writeImageToolSettings(out, s);
    rig.form.updateUIControlToVariable(out);
    s = readImageToolSettings(out);
    QCOMPARE((QList<int>{s.layout, s.frontOneType, s.frontTwoType, s.backOneType, s.backTwoType}),
             (QList<int>{0, 1, 77, 0, 2}));
    QVERIFY(rig.form.compareColorType(out, AdvancedColorCountFlag(0), ColorModeFlag(1),
                                      ColorModeFlag(13), ColorModeFlag(0), ColorModeFlag(2)));
    QVERIFY(!rig.form.compareColorType(out, AdvancedColorCountFlag(2), ColorModeFlag(1),
                                       ColorModeFlag(13), ColorModeFlag(0), ColorModeFlag(2)));
    QVERIFY(rig.form.compareColorType(out, AdvancedColorCountFlag(7), ColorModeFlag(0),
                                      ColorModeFlag(0), ColorModeFlag(0), ColorModeFlag(0)));
    QVERIFY(rig.form.compareVariableAndUIControl(out));
    QCOMPARE(rig.form.getColorItem(kGray), 1);
}

void TestSettingToolForm::colourModeReset()
{
    Rig rig;
    emit rig.hub.settingColorMode(ColorModeBlackWhite, SettingToolSideFlag(1), 3);
    QCOMPARE(rig.lists(), QString("CB/B"));
    QCOMPARE(rig.menuKinds(rig.add(false)), QString("CG"));
    emit rig.hub.settingColorMode(ColorModeBlackWhite, SettingToolSideFlag(2), 1);
    QCOMPARE(rig.lists(), QString("BC/BC"));
    emit rig.hub.settingColorMode(ColorModeGray, SettingToolSideFlag(3), 1);
    emit rig.hub.settingColorMode(ColorModeGray, SettingToolSideFlag(0), 0);
    emit rig.hub.settingColorMode(ColorModeFlag(5), SettingToolSideFlag(2), 1);
    QCOMPARE(rig.lists(), QString("BC/BC"));
    // Both sides single: the side not reset becomes a pair again.
    emit rig.hub.settingColorMode(ColorModeColor, SettingToolSideFlag(0), 3);
    emit rig.hub.settingColorMode(ColorModeGray, SettingToolSideFlag(1), 3);
    QCOMPARE(rig.lists(), QString("CB/G"));
    emit rig.hub.settingColorMode(ColorModeGray, SettingToolSideFlag(0), 2);
    QCOMPARE(rig.kinds(true), QString("GB"));
}

void TestSettingToolForm::generalPage()
{
    Rig rig;
    tagSCAN_SHORTCUT_MENU r = crafted(2, 2, 0, 2, 0);
    rig.load(r);
    QComboBox *input = rig.combo("comboBoxToolInputDoc");
    QCheckBox *flatbedMultiple = rig.w<QCheckBox>("checkBoxFlatbedMultipleDoc");
    emit rig.hub.changedPaperSource(PaperSourceFlatbed);
    QCOMPARE(input->currentText(), QString("单面 - 正面"));
    QVERIFY(!input->isEnabled());
    QVERIFY(!rig.w<QGroupBox>("groupBoxToolSleevedDoc")->isEnabled());
    flatbedMultiple->setChecked(true);
    emit rig.hub.changedPaperSource(PaperSourceFeeder);
    QVERIFY(input->isEnabled());
    QVERIFY(!flatbedMultiple->isChecked() && !flatbedMultiple->isEnabled());
    emit rig.hub.changedPaperSource(PaperSourceAutomatic);
    QVERIFY(flatbedMultiple->isEnabled());
    QVERIFY(!rig.w<QGroupBox>("groupBoxToolSleevedDoc")->isEnabled());

    // Folded forces both sides and one image, and stops splitting.
    rig.choose("comboBoxToolInputDoc", 0);
    rig.different()->setChecked(true);
    rig.choose("comboBoxToolSleevedDoc", 1);
    QCOMPARE(input->currentIndex(), 0);
    QVERIFY(!rig.different()->isChecked());
    QCOMPARE(rig.combo("comboBoxImagesPerSide")->currentIndex(), 0);
    QVERIFY(!rig.w<QGroupBox>("groupBoxToolSplitDoc")->isEnabled());
    QVERIFY(!rig.w<QCheckBox>("checkBoxToolDetectMulDoc")->isEnabled());

    // Back only with a sleeved choice moves the sleeved list to "back".
    QSignalSpy sides(&rig.hub, &PMessage::changedInputDocTypeSettingToolToMain);
    QSignalSpy lists(&rig.hub, &PMessage::createTwoSideOrFrontOrBack);
    rig.choose("comboBoxToolInputDoc", 1);
    QCOMPARE(rig.combo("comboBoxToolSleevedDoc")->currentText(), QString("单面 - 背面"));
    QVERIFY(sides.count() >= 1);
    QCOMPARE(sides.last().at(0).value<InputDocumentFlag>(), InputDocumentBack);
    QVERIFY(lists.count() >= 1);
    QVERIFY(!rig.different()->isEnabled());

    // The console's input choice: 0, 1, 2 select "front", "back", "both".
    emit rig.hub.changedInputDocTypeMainToSettingTool(InputDocumentFront);
    QCOMPARE(input->currentIndex(), 1);
    emit rig.hub.changedInputDocTypeMainToSettingTool(InputDocumentFlag(7));
    QCOMPARE(input->currentIndex(), 1);
    emit rig.hub.changedInputDocTypeMainToSettingTool(InputDocumentBoth);
    QCOMPARE(input->currentIndex(), 0);

    rig.form.updatePaperSourceState(1);
    QVERIFY(rig.w<QGroupBox>("groupBoxFlatbedScanType")->isHidden());
    rig.form.updatePaperSourceState(3);
    QVERIFY(!rig.w<QGroupBox>("groupBoxFlatbedScanType")->isHidden());
}

void TestSettingToolForm::lengths()
{
    Rig rig;
    rig.form.show();
    tagSCAN_SHORTCUT_MENU r = crafted(2, 2, 0, 2, 0);
    r.sizeUnit = UnitInch;
    rig.load(r);
    rig.choose("comboBoxToolSplitDoc", 2);
    rig.choose("comboBoxToolLength", 0);
    QDoubleSpinBox *left = rig.w<QDoubleSpinBox>("doubleSpinBoxLengthLeft");
    QDoubleSpinBox *right = rig.w<QDoubleSpinBox>("doubleSpinBoxLengthRight");
    QCOMPARE(rig.w<QLabel>("labelToolLenghtLeft")->text(), QString("  且"));
    QCOMPARE(rig.w<QLabel>("labelToolLenghtRight")->text(), QString("英寸"));
    left->setValue(20);
    right->setValue(10);
    emit left->editingFinished();
    QCOMPARE(left->value(), 14.0);
    QCOMPARE(right->value(), 8.6);
    left->setValue(1);
    right->setValue(1);
    emit right->editingFinished();
    QCOMPARE(left->value(), 2.5);
    QCOMPARE(right->value(), 2.5);

    left->setValue(1.2);
    right->setValue(3.45);
    emit rig.hub.changedImageSizeUnit(UnitCentimetre);
    QCOMPARE(left->value(), 3.05);
    QCOMPARE(right->value(), 8.76);
    QCOMPARE(left->singleStep(), 0.0254);
    QCOMPARE(rig.w<QLabel>("labelToolLenghtRight")->text(), QString("厘米"));
    emit rig.hub.changedImageSizeUnit(UnitInch);
    QCOMPARE(left->value(), 1.2);
    QCOMPARE(right->value(), 3.45);
    emit rig.hub.changedImageSizeUnit(UnitPixel);
    QCOMPARE(left->value(), 240.0);
    QCOMPARE(left->singleStep(), 2.0);
    left->setValue(9000);
    emit left->editingFinished();
    QCOMPARE(left->value(), 2800.0);
    rig.choose("comboBoxToolLength", 2);
    QVERIFY(right->isHidden());
    QCOMPARE(rig.w<QLabel>("labelToolLenghtLeft")->text(), QString("像素"));

    // Stored as shown, loaded as stored, whatever the unit now is.
    QCOMPARE(double(readImageToolSettings(rig.saved(r)).lengthLeft), 2800.0);
    ImageToolSettings s = readImageToolSettings(r);
    s.lengthLeft = 3.5;
    s.lengthRight = 5.0;
    writeImageToolSettings(r, s);
    r.sizeUnit = UnitCentimetre;
    rig.load(r);
    QCOMPARE(left->value(), 3.5);
    QCOMPARE(right->value(), 5.0);

    // An unknown unit counts as inches: no factor 0, nothing divided by it.
    r.sizeUnit = ImageSizeUnitFlag(9);
    rig.load(r);
    QCOMPARE(left->singleStep(), 0.01);
    QCOMPARE(rig.w<QLabel>("labelToolLenghtRight")->text(), QString("英寸"));
    rig.choose("comboBoxToolLength", 0);
    left->setValue(30);
    emit left->editingFinished();
    QCOMPARE(left->value(), 14.0);
    emit rig.hub.changedImageSizeUnit(UnitCentimetre);
    QCOMPARE(left->value(), 35.56);
    QVERIFY(std::isfinite(right->value()) && right->value() > 0);
}

void TestSettingToolForm::contentPage()
{
    Rig rig;
    auto *amount = rig.form.findChild<QSpinBox *>("spinBoxContentColorAmountt");
    auto *threshold = rig.form.findChild<QSpinBox *>("spinBoxContentColorThresholdt");
    auto *sensitivity = rig.form.findChild<QComboBox *>("comboBoxContentSensitivityt");
    auto *side = rig.form.findChild<QComboBox *>("comboBoxContentSidet");
    auto *learn = rig.form.findChild<QPushButton *>("pushButtonContentLearnt");
    QVERIFY(amount && threshold && sensitivity && side && learn);
    QCOMPARE(sensitivity->currentText(), QString("低"));
    QCOMPARE(amount->value(), 9);
    QVERIFY(!amount->isEnabled() && learn->isHidden());
    sensitivity->setCurrentIndex(sensitivity->findData(1));
    QVERIFY(amount->isEnabled() && !learn->isHidden());
    sensitivity->setCurrentIndex(sensitivity->findData(2));
    QCOMPARE(amount->value(), 47);
    QCOMPARE(threshold->value(), 20);
    QVERIFY(!threshold->isEnabled());

    emit rig.hub.sendAutoColorValue(300, 150);
    QCOMPARE(amount->value(), 200);
    QCOMPARE(threshold->value(), 100);

    emit rig.hub.changedInputDocTypeSettingToolToMain(InputDocumentBoth, true);
    QCOMPARE(side->count(), 2);
    QCOMPARE(side->itemText(0), QString("前"));
    QVERIFY(side->isEnabled());

    // "High" with an amount of 60 loads as 60.
    tagSCAN_SHORTCUT_MENU r = crafted(2, 2, 0, 2, 0);
    ImageToolSettings s = readImageToolSettings(r);
    s.perImage = 1;
    s.contentSensitivity = 3;
    s.contentSide = 0;
    s.colorAmount = 60;
    s.colorThreshold = 35;
    writeImageToolSettings(r, s);
    rig.loadBoth(r);
    QVERIFY(rig.contentTab());
    QCOMPARE(sensitivity->currentText(), QString("高"));
    QCOMPARE(amount->value(), 60);
    QCOMPARE(threshold->value(), 35);

    // Learn: the form refreshes and shows the content tab, then the console
    // is asked for the learning scan.
    QStringList order;
    connect(&rig.hub, &PMessage::saveAdvancedSetting, &rig.form, [&] { order << "save"; });
    connect(&rig.hub, &PMessage::clickedLearn, &rig.form, [&] { order << "learn"; });
    sensitivity->setCurrentIndex(sensitivity->findData(1));
    learn->click();
    QCOMPARE(order, (QStringList{"save", "learn"}));
    QCOMPARE(rig.tabs()->currentIndex(), 2);
}

void TestSettingToolForm::differentSwitch()
{
    Rig rig;
    rig.loadBoth(crafted(1, 0, 1, 2, 0));
    QSignalSpy sides(&rig.hub, &PMessage::changedInputDocTypeSettingToolToMain);
    rig.different()->click();
    QCOMPARE(sides.count(), 2);
    rig.choose("comboBoxImagesPerSide", 2);
    // Pairing up copies the front pair to the single back.
    QCOMPARE(rig.lists(), QString("BG/BG"));
    sides.clear();
    rig.list(true)->setCurrentRow(1);
    rig.remove(true)->click();
    QCOMPARE(rig.kinds(true), QString("B"));
    rig.different()->click();
    QCOMPARE(sides.count(), 1);
    QVERIFY(!sides.last().at(1).toBool());
    QCOMPARE(rig.combo("comboBoxImagesPerSide")->currentIndex(), 0);
    QVERIFY(listsValid(rig.kinds(true), rig.kinds(false)));

    // The combine picture follows the combine choice.
    rig.choose("comboBoxCombineFrontAndBack", 3);
    const QImage shown = rig.w<QLabel>("labelCombinePicture")->pixmap(Qt::ReturnByValue).toImage();
    QCOMPARE(shown, QPixmap(":/settings/images/settings/FrontRight.png").toImage());
}

void TestSettingToolForm::gapBytesAndRoundTrip()
{
    Rig rig;
    tagSCAN_SHORTCUT_MENU r = crafted(0, 2, 0, 1, 0);
    std::memset(r.imageToolSettings, 0xA5, sizeof r.imageToolSettings);
    ImageToolSettings s = readImageToolSettings(r);
    s.inputDocument = 2;
    s.sleevedDocument = 0;
    s.detectMultipleDocuments = 0;
    s.flatbedMultipleDocuments = 1;
    s.splitDocument = 0;
    s.lengthCondition = 0;
    s.lengthLeft = 3.0;
    s.lengthRight = 4.0;
    s.combineFrontAndBack = 4;
    s.combineEnabled = 1;
    s.frontAndBackDifferent = 0;
    s.differentEnabled = 1;
    s.perImage = 0;
    s.layout = 0;
    s.frontOneType = 2;
    s.backOneType = 1;
    s.backTwoType = 0;
    s.contentSide = 0;
    s.contentSensitivity = 0;
    s.colorAmount = 9;
    s.colorThreshold = 20;
    writeImageToolSettings(r, s);
    r = rig.loadBoth(r);
    QCOMPARE(rig.lists(), QString("C/GB"));
    QVERIFY(rig.form.compareVariableAndUIControl(r));
    const tagSCAN_SHORTCUT_MENU out = rig.saved(r);
    QVERIFY(std::memcmp(&out, &r, sizeof r) == 0);
}

using Change = std::function<void(Rig &)>;
Q_DECLARE_METATYPE(Change)

void TestSettingToolForm::oneChangeMakesCompareFalse_data()
{
    QTest::addColumn<Change>("change");
    QTest::newRow("input") << Change([](Rig &r) { r.choose("comboBoxToolInputDoc", 1); });
    QTest::newRow("sleeved") << Change([](Rig &r) { r.choose("comboBoxToolSleevedDoc", 4); });
    QTest::newRow("detect") << Change(
        [](Rig &r) { r.w<QCheckBox>("checkBoxToolDetectMulDoc")->toggle(); });
    QTest::newRow("flatbed") << Change(
        [](Rig &r) { r.w<QCheckBox>("checkBoxFlatbedMultipleDoc")->toggle(); });
    QTest::newRow("split") << Change([](Rig &r) { r.choose("comboBoxToolSplitDoc", 3); });
    QTest::newRow("length mode") << Change([](Rig &r) { r.choose("comboBoxToolLength", 1); });
    QTest::newRow("first length") << Change(
        [](Rig &r) { r.w<QDoubleSpinBox>("doubleSpinBoxLengthLeft")->setValue(7.25); });
    QTest::newRow("second length")
        << Change([](Rig &r) { r.w<QDoubleSpinBox>("doubleSpinBoxLengthRight")->setValue(7.25); });
    QTest::newRow("combine") << Change([](Rig &r) { r.choose("comboBoxCombineFrontAndBack", 2); });
    QTest::newRow("different") << Change([](Rig &r) { r.different()->click(); });
    QTest::newRow("per side") << Change([](Rig &r) { r.choose("comboBoxImagesPerSide", 2); });
    QTest::newRow("list colour") << Change([](Rig &r) { r.trigger(r.change(false), "C"); });
    QTest::newRow("content amount") << Change([](Rig &r) {
        r.form.findChild<QSpinBox *>("spinBoxContentColorThresholdt")->setValue(77);
    });
}

void TestSettingToolForm::oneChangeMakesCompareFalse()
{
    QFETCH(Change, change);
    Rig rig;
    const tagSCAN_SHORTCUT_MENU r = rig.loadBoth(crafted(0, 2, 0, 1, 0));
    tagSCAN_SHORTCUT_MENU stored = rig.saved(r);
    QVERIFY(rig.form.compareVariableAndUIControl(stored));
    change(rig);
    QVERIFY(!rig.form.compareVariableAndUIControl(stored));
}

void TestSettingToolForm::badRecords()
{
    for (int layout : {3, -1, 5}) {
        Rig rig;
        tagSCAN_SHORTCUT_MENU r = crafted(layout, 2, 0, 1, 0);
        rig.load(r);
        QCOMPARE(rig.lists(), QString("CB/CB"));
        rig.button("pushButtonHide")->click();
        QCOMPARE(qint32(readImageToolSettings(rig.saved(r)).layout), 2);
    }
    Rig rig;
    // Colours outside the three, unknown combo data, lengths that are no
    // lengths: selections stay, lists are repaired, lengths held to 0..2800.
    tagSCAN_SHORTCUT_MENU r = crafted(2, 5, 5, 2, 2);
    ImageToolSettings s = readImageToolSettings(r);
    s.inputDocument = 9;
    s.sleevedDocument = 8;
    s.splitDocument = 1;
    s.lengthCondition = 7;
    s.combineFrontAndBack = 6;
    s.perImage = 4;
    s.lengthLeft = std::numeric_limits<double>::quiet_NaN();
    s.lengthRight = -5;
    writeImageToolSettings(r, s);
    const int inputBefore = rig.combo("comboBoxToolInputDoc")->currentIndex();
    rig.load(r);
    QCOMPARE(rig.combo("comboBoxToolInputDoc")->currentIndex(), inputBefore);
    QCOMPARE(rig.lists(), QString("CB/C"));
    s = readImageToolSettings(rig.saved(r));
    QCOMPARE(double(s.lengthLeft), 0.0);
    QCOMPARE(double(s.lengthRight), 0.0);
    s.lengthLeft = 1e300;
    writeImageToolSettings(r, s);
    rig.load(r);
    QCOMPARE(rig.w<QDoubleSpinBox>("doubleSpinBoxLengthLeft")->value(), 2800.0);
}

void TestSettingToolForm::buttons()
{
    Rig rig;
    {
        testsupport::DesktopUrls catcher;
        rig.button("pushButtonSettingToolHelp")->click();
        QCOMPARE(catcher.urls.size(), 1);
        QVERIFY(catcher.urls.first().toLocalFile().endsWith("/help/Scan_Settings_Guide_ZH_CN.pdf"));
    }
    QWidget *parentSeen = nullptr;
    testsupport::ModalAnswerer about([&parentSeen](QWidget *w, const testsupport::ModalSeen &) {
        parentSeen = w->parentWidget();
        if (auto *d = qobject_cast<QDialog *>(w))
            d->reject();
    });
    rig.button("pushButtonSettingToolAbout")->click();
    QCOMPARE(about.count(), 1);
    QCOMPARE(about.last().className, QString("AboutDialog"));
    QCOMPARE(parentSeen, static_cast<QWidget *>(&rig.form));
}

void TestSettingToolForm::formSize()
{
    Rig rig;
    tagSCAN_SHORTCUT_MENU r = crafted(2, 2, 0, 1, 0);
    ImageToolSettings s = readImageToolSettings(r);
    s.perImage = 1;
    s.frontAndBackDifferent = 1;
    s.lengthCondition = 0;
    writeImageToolSettings(r, s);
    rig.form.resize(756, 628);
    rig.form.show();
    rig.loadBoth(r);
    QCOMPARE(rig.tabs()->count(), 3);
    for (int t = 0; t < rig.tabs()->count(); ++t) {
        rig.tabs()->setCurrentIndex(t);
        QCoreApplication::processEvents();
        QWidget *page = rig.tabs()->widget(t);
        for (QWidget *child : page->findChildren<QWidget *>()) {
            if (!child->isVisibleTo(page) || child->parentWidget()->inherits("QAbstractSpinBox") ||
                child->parentWidget()->inherits("QAbstractScrollArea") ||
                child->inherits("QScrollBar"))
                continue;
            const QRect rect(child->mapTo(page, QPoint(0, 0)), child->size());
            QVERIFY2(page->rect().contains(rect), qPrintable(child->objectName()));
        }
        const QString file = QDir::tempPath() + QStringLiteral("/settingtool-tab%1.png").arg(t);
        QVERIFY(rig.form.grab().save(file));
    }
}

QTEST_MAIN(TestSettingToolForm)
#include "tst_settingtoolform.moc"
