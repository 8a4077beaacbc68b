// The five pages' rules: exact diffs of one edit per rule, units and the
// area fields, visibility rules by mode, and the preview notifications.

#include "settingformfixture.h"

#include "customslider.h"
#include "support/modalanswer.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSpinBox>

#include <cstring>

using namespace settingtest;

class TstSettingPages : public SharedFormTest
{
    Q_OBJECT

private slots:
    void init();
    void editsHaveExactDiffs_data();
    void editsHaveExactDiffs();
    void continuousCentresOnTheFeeder();
    void unitConversions();
    void presetPassesTheCheckInEveryUnit_data();
    void presetPassesTheCheckInEveryUnit();
    void areaFieldLimits();
    void marginAndSearchLimits();
    void badStoredValues();
    void colourModeGroups_data();
    void colourModeGroups();
    void documentModeRules_data();
    void documentModeRules();
    void rotationShowsCharacterSets();
    void adjustModeRules_data();
    void adjustModeRules();
    void edgeFillRules();
    void dropoutRules_data();
    void dropoutRules();
    void detectionRules();
    void previewNotifications();

private:
    Ui::SettingForm *ui = nullptr;
    tagSCAN_SHORTCUT_MENU m_profile;
};

// Every case starts from a fresh load of the colour document with no preview
// and a sheet feeder.
void TstSettingPages::init()
{
    ui = m_form->form();
    emit m_hub->sendPreviewMode(0);
    emit m_hub->changedPaperSource(AdfPaperSourceFlag(0));
    m_profile = colourDocument();
    load(*m_form, m_profile);
}

void TstSettingPages::editsHaveExactDiffs_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<QList<int>>("offsets");
    const int b = 2608;
    QTest::newRow("US letter") << 0 << QList<int>{b + 48, b + 56, b + 72};
    QTest::newRow("contrast 30 in both fields") << 1 << QList<int>{b + 104, b + 148};
    QTest::newRow("black edge fill, top 1 cm") << 2 << QList<int>{b + 176, b + 180, b + 192};
    QTest::newRow("content amount 150") << 3 << QList<int>{b + 244};
    QList<int> types;
    for (int i = 253; i <= 261; ++i)
        types << b + i;
    QTest::newRow("only QR code") << 4 << types;
    QTest::newRow("barcode enhancement") << 5 << QList<int>{b + 174};
}

void TstSettingPages::editsHaveExactDiffs()
{
    QFETCH(int, edit);
    QFETCH(QList<int>, offsets);
    QSignalSpy preview(m_hub, &PMessage::previewAutoUpdate);
    emit m_hub->sendPreviewMode(1);
    tagSCAN_SHORTCUT_MENU out;
    switch (edit) {
    case 0:
        ui->comboBoxPredefinedSizes->setCurrentIndex(3);
        out = saved(*m_form, m_profile);
        QCOMPARE(out.sideSettings[0].width, 8.5);
        QCOMPARE(out.sideSettings[0].height, 11.0);
        QCOMPARE(int(out.sideSettings[0].predefinedSize), 4);
        break;
    case 1:
        ui->horizontalSliderContrast->setValue(30);
        QCOMPARE(ui->spinBoxContrast->value(), 30);
        out = saved(*m_form, m_profile);
        QCOMPARE(out.sideSettings[0].contrast, 30);
        QCOMPARE(out.sideSettings[0].conversionContrast, 30);
        break;
    case 2:
        chooseData(ui->comboBoxImageEdgeFillColor, 1);
        ui->checkBoxAllSideMatch->setChecked(false);
        QVERIFY(!ui->doubleSpinBoxAsmTop->isHidden());
        typeValue(ui->doubleSpinBoxAsmTop, QStringLiteral("1.00"));
        out = saved(*m_form, m_profile);
        QCOMPARE(out.sideSettings[0].edgeTop, 0.39);
        // Loading it back shows 0.99 cm.
        load(*m_form, out);
        QCOMPARE(ui->doubleSpinBoxAsmTop->value(), 0.99);
        break;
    case 3:
        typeValue(ui->spinBoxContentAmount, QStringLiteral("150"));
        QCOMPARE(ui->spinBoxContentAmount->value(), 100);
        out = saved(*m_form, m_profile);
        QCOMPARE(out.sideSettings[0].contentAmount, 100);
        break;
    case 4:
        chooseData(ui->comboBoxBlankImageDeletion, 0);
        for (int i = 0; i < 9; ++i)
            ui->listWidgetBarcodeReadingType->item(i)->setSelected(false);
        out = saved(*m_form, m_profile);
        // Loads back with only QR Code selected, the box ticked or not.
        out.sideSettings[0].barcodeReading = true;
        load(*m_form, out);
        QCOMPARE(ui->listWidgetBarcodeReadingType->selectedItems().size(), 1);
        QVERIFY(ui->listWidgetBarcodeReadingType->item(9)->isSelected());
        out.sideSettings[0].barcodeReading = false;
        break;
    case 5:
        ui->checkBoxOnOff->setChecked(true);
        out = saved(*m_form, m_profile);
        // Neither notifies nor marks.
        QCOMPARE(preview.count(), 0);
        break;
    }
    COMPARE_DIFF(m_profile, out, offsets);
}

void TstSettingPages::continuousCentresOnTheFeeder()
{
    QSignalSpy area(m_hub, &PMessage::settingToolPreviewSize);
    QSignalSpy user(m_hub, &PMessage::settingToolRotateAndCenter);
    chooseData(ui->comboBoxDocument, 8);
    QCOMPARE(area.count(), 2);
    QCOMPARE(area.at(0).at(0).toDouble(), 0.0);
    QCOMPARE(area.at(1).at(0).toDouble(), 1.91);
    QCOMPARE(area.at(1).at(2).toDouble(), 8.26);
    QVERIFY(user.count() >= 1 && user.last().at(0).toBool());
    QVERIFY(!ui->doubleSpinBoxAngle->isEnabled());
    QVERIFY(!ui->comboBoxImage->isEnabled());
    QVERIFY(ui->groupBoxOutline->isEnabled());
    const tagSCAN_SHORTCUT_MENU out = saved(*m_form, m_profile);
    COMPARE_DIFF(m_profile, out, (QList<int>{2608 + 24, 2608 + 28, 2608 + 32}));
    QCOMPARE(out.sideSettings[0].x, 1.91);

    // On the flatbed the area stays at x = 0 and is sent once.
    load(*m_form, m_profile);
    emit m_hub->changedPaperSource(AdfPaperSourceFlag(5));
    area.clear();
    chooseData(ui->comboBoxDocument, 3);
    QCOMPARE(area.count(), 1);
    QCOMPARE(ui->doubleSpinBox_x->value(), 0.0);
    // A preset in manual mode on the flatbed also keeps x at 0.
    ui->comboBoxPredefinedSizes->setCurrentIndex(3);
    QCOMPARE(ui->doubleSpinBox_x->value(), 0.0);
}

void TstSettingPages::unitConversions()
{
    // cm -> inch: 2.54 becomes 1.00 with a step of 0.01.
    ui->doubleSpinBox_x->setValue(2.54);
    emit m_hub->changedImageSizeUnit(UnitInch);
    QCOMPARE(ui->doubleSpinBox_x->value(), 1.0);
    QCOMPARE(ui->doubleSpinBox_x->singleStep(), 0.01);
    QCOMPARE(ui->labelAllCm->text(), QStringLiteral("英寸"));
    // inch -> px at 300 dpi: 300 with a step of 3.
    chooseData(ui->comboBoxResolution, 300);
    emit m_hub->changedImageSizeUnit(UnitPixel);
    QCOMPARE(ui->doubleSpinBox_x->value(), 300.0);
    QCOMPARE(ui->doubleSpinBoxSearchGrade4->singleStep(), 3.0);
    QCOMPARE(ui->labelSearchGrade2->text(), QStringLiteral("像素"));
    // The inches went into all four blocks.
    tagSCAN_SHORTCUT_MENU out = saved(*m_form, m_profile);
    for (int b = 0; b < 4; ++b)
        QCOMPARE(out.sideSettings[b].x, 1.0);

    // cm -> px -> cm: 2.50 cm is 0.98 inch and comes back as 2.49.
    load(*m_form, m_profile);
    ui->doubleSpinBoxSearchGrade1->setValue(2.50);
    emit m_hub->changedImageSizeUnit(UnitPixel);
    emit m_hub->changedImageSizeUnit(UnitCentimetre);
    QCOMPARE(ui->doubleSpinBoxSearchGrade1->value(), 2.49);
    QCOMPARE(ui->doubleSpinBoxSearchGrade1->singleStep(), 0.0254);

    // 199.99 px at 200 dpi stores 1.0 inch.
    tagSCAN_SHORTCUT_MENU px = m_profile;
    px.sizeUnit = UnitPixel;
    load(*m_form, px);
    QCOMPARE(ui->doubleSpinBoxSearchGrade3->value(), 3400.0);
    ui->doubleSpinBoxSearchGrade3->setValue(199.99);
    QCOMPARE(saved(*m_form, px).sideSettings[0].barcodeArea[2], 1.0);

    // An unknown unit is shown as inches and stores lengths unchanged.
    tagSCAN_SHORTCUT_MENU odd = m_profile;
    odd.sizeUnit = ImageSizeUnitFlag(3);
    load(*m_form, odd);
    QCOMPARE(ui->doubleSpinBox_W->value(), 8.26);
    QCOMPARE(ui->labelgrade2->text(), QStringLiteral("英寸"));
    const tagSCAN_SHORTCUT_MENU oddOut = saved(*m_form, odd);
    QVERIFY2(std::memcmp(oddOut.sideSettings, odd.sideSettings, sizeof(odd.sideSettings)) == 0,
             qPrintable(testsupport::describeChanges(odd, oddOut)));
    // A unit outside the three converts into the blocks and shows no change.
    emit m_hub->changedImageSizeUnit(ImageSizeUnitFlag(7));
    QCOMPARE(ui->doubleSpinBox_W->value(), 8.26);
}

void TstSettingPages::presetPassesTheCheckInEveryUnit_data()
{
    QTest::addColumn<int>("unit");
    QTest::newRow("cm") << 0;
    QTest::newRow("inch") << 1;
    QTest::newRow("pixel") << 2;
}

void TstSettingPages::presetPassesTheCheckInEveryUnit()
{
    QFETCH(int, unit);
    tagSCAN_SHORTCUT_MENU p = m_profile;
    p.sizeUnit = ImageSizeUnitFlag(unit);
    p.inputDocument = InputDocumentFront;
    load(*m_form, p);
    chooseData(ui->comboBoxResolution, 1200);
    chooseData(ui->comboBoxCompressType, 0);
    chooseData(ui->comboBoxDocument, 7);
    chooseData(ui->comboBoxImage, 5);
    chooseData(ui->comboBoxPredefinedSizes, 9); // ISO A5
    tagSCAN_SHORTCUT_MENU out = saved(*m_form, p);
    QCOMPARE(out.sideSettings[0].width, 5.82);
    QCOMPARE(m_form->judgeSettingIsReasonable(out), 0);
    // One step wider no longer fits.
    ui->doubleSpinBox_W->stepBy(1);
    out = saved(*m_form, p);
    QCOMPARE(out.sideSettings[0].width, 5.83);
    QCOMPARE(m_form->judgeSettingIsReasonable(out), -71);
}

void TstSettingPages::areaFieldLimits()
{
    chooseData(ui->comboBoxDocument, 3);
    emit m_hub->changedImageSizeUnit(UnitInch);
    QSignalSpy height(m_hub, &PMessage::currentImageHeightChange);
    // Width beyond the limit is cut to 12.08 - x; below one inch it is 1.
    ui->doubleSpinBox_x->setValue(2.0);
    typeValue(ui->doubleSpinBox_W, QStringLiteral("11"));
    QCOMPARE(ui->doubleSpinBox_W->value(), 10.08);
    typeValue(ui->doubleSpinBox_W, QStringLiteral("0.5"));
    QCOMPARE(ui->doubleSpinBox_W->value(), 1.0);
    // x beyond the limit is cut against the width, also after an angle edit.
    ui->doubleSpinBox_W->setValue(10.0);
    typeValue(ui->doubleSpinBox_x, QStringLiteral("5"));
    QCOMPARE(ui->doubleSpinBox_x->value(), 2.08);
    ui->doubleSpinBox_x->setValue(4.0);
    QSignalSpy area(m_hub, &PMessage::settingToolPreviewSize);
    typeValue(ui->doubleSpinBoxAngle, QStringLiteral("3"));
    QCOMPARE(ui->doubleSpinBox_x->value(), 2.08);
    QCOMPARE(area.count(), 1);
    QCOMPARE(area.at(0).at(4).toDouble(), 3.0);
    // Height 17 with y 0 is kept; raising y cuts y to 0 again.
    ui->doubleSpinBox_y->setValue(0.0);
    typeValue(ui->doubleSpinBox_H, QStringLiteral("17"));
    QCOMPARE(ui->doubleSpinBox_H->value(), 17.0);
    typeValue(ui->doubleSpinBox_y, QStringLiteral("1"));
    QCOMPARE(ui->doubleSpinBox_y->value(), 0.0);
    // The device page hears the height the form kept.
    ui->doubleSpinBox_y->setValue(2.0);
    typeValue(ui->doubleSpinBox_H, QStringLiteral("16"));
    QCOMPARE(ui->doubleSpinBox_H->value(), 15.0);
    QCOMPARE(height.last().at(0).toDouble(), 15.0);
    // 8.5 x 11 at y 0 is US Letter; at y 0.1 it is custom.
    ui->doubleSpinBox_x->setValue(0.0);
    ui->doubleSpinBox_y->setValue(0.0);
    ui->doubleSpinBox_W->setValue(8.5);
    typeValue(ui->doubleSpinBox_H, QStringLiteral("11"));
    QCOMPARE(ui->comboBoxPredefinedSizes->currentIndex(), 3);
    typeValue(ui->doubleSpinBox_y, QStringLiteral("0.1"));
    QCOMPARE(ui->comboBoxPredefinedSizes->currentIndex(), 0);
    // The preview's frame fills the fields and sends nothing back.
    area.clear();
    emit m_hub->settingSizePreview(1.0, 2.0, 3.0, 4.0);
    QCOMPARE(ui->doubleSpinBox_H->value(), 4.0);
    QCOMPARE(area.count(), 0);
}

void TstSettingPages::marginAndSearchLimits()
{
    emit m_hub->changedImageSizeUnit(UnitInch);
    chooseData(ui->comboBoxImageEdgeFillColor, 1);
    ui->doubleSpinBoxAsmLeft->setValue(1.0);
    typeValue(ui->doubleSpinBoxAll, QStringLiteral("13"));
    QCOMPARE(ui->doubleSpinBoxAsmTop->value(), 13.0);
    QCOMPARE(ui->doubleSpinBoxAsmBottom->value(), 13.0);
    QCOMPARE(ui->doubleSpinBoxAsmLeft->value(), 1.0);
    typeValue(ui->doubleSpinBoxAll, QStringLiteral("20"));
    QCOMPARE(ui->doubleSpinBoxAll->value(), 17.0);
    ui->checkBoxAllSideMatch->setChecked(false);
    typeValue(ui->doubleSpinBoxAsmRight, QStringLiteral("14"));
    QCOMPARE(ui->doubleSpinBoxAsmRight->value(), 12.08);

    chooseData(ui->comboBoxSearchArea, 1);
    QVERIFY(!ui->doubleSpinBoxSearchGrade1->isHidden());
    typeValue(ui->doubleSpinBoxSearchGrade1, QStringLiteral("16.5"));
    QCOMPARE(ui->doubleSpinBoxSearchGrade1->value(), 16.0);
    QCOMPARE(ui->doubleSpinBoxSearchGrade3->value(), 1.0);
    typeValue(ui->doubleSpinBoxSearchGrade2, QStringLiteral("4"));
    QCOMPARE(ui->doubleSpinBoxSearchGrade4->value(), 13.0);
    typeValue(ui->doubleSpinBoxSearchGrade4, QStringLiteral("0.2"));
    QCOMPARE(ui->doubleSpinBoxSearchGrade4->value(), 1.0);
    chooseData(ui->comboBoxSearchArea, 0);
    QVERIFY(ui->doubleSpinBoxSearchGrade1->isHidden());
    QVERIFY(ui->labelSearchOrigin->isHidden());
}

void TstSettingPages::badStoredValues()
{
    tagSCAN_SHORTCUT_MENU p = m_profile;
    tagSCAN_SIDE_SETTING &b = p.sideSettings[0];
    b.predefinedSize = ImagePresetFlag(25);
    b.documentCropping = ImageCroppingModeFlag(9);
    b.postScanRotation = ImageRotateOrthogonalFlag(8);
    b.conversionQuality = BinarizationModeFlag(0);
    b.edgeFillColor = EdgeFillFlag(7);
    b.colorDropout = EcdoEnumFlag(200);
    b.contentAmount = 150;
    b.finalImageSize = 0;
    load(*m_form, p);
    const tagSCAN_SHORTCUT_MENU out = saved(*m_form, p);
    const tagSCAN_SIDE_SETTING &o = out.sideSettings[0];
    const tagSCAN_SIDE_SETTING &g = m_profile.sideSettings[0];
    QCOMPARE(int(o.predefinedSize), int(g.predefinedSize));
    QCOMPARE(int(o.documentCropping), int(g.documentCropping));
    QCOMPARE(int(o.postScanRotation), int(g.postScanRotation));
    QCOMPARE(int(o.conversionQuality), int(g.conversionQuality));
    QCOMPARE(int(o.edgeFillColor), int(g.edgeFillColor));
    QCOMPARE(int(o.colorDropout), 255);
    QCOMPARE(o.contentAmount, 100);
    QCOMPARE(o.finalImageSize, 1);
    QVERIFY(!m_form->compareVariableAndUIControl(p));

    // A dropout beside a colour balance in colour mode comes out as none.
    tagSCAN_SHORTCUT_MENU d = m_profile;
    d.sideSettings[0].colorDropout = EcdoEnumFlag(128);
    load(*m_form, d);
    QCOMPARE(int(saved(*m_form, d).sideSettings[0].colorDropout), 255);
    QVERIFY(!ui->groupBoxColorDropout->isEnabled());
}

void TstSettingPages::colourModeGroups_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("greyGroups");
    QTest::addColumn<bool>("balance");
    QTest::addColumn<bool>("bwGroups");
    QTest::newRow("black-and-white") << 0 << false << false << true;
    QTest::newRow("gray") << 1 << true << false << false;
    QTest::newRow("colour") << 2 << true << true << false;
}

// One widget of each group the colour mode shows or hides, after a change
// and after a load.
void TstSettingPages::colourModeGroups()
{
    QFETCH(int, mode);
    QFETCH(bool, greyGroups);
    QFETCH(bool, balance);
    QFETCH(bool, bwGroups);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0) {
            chooseData(ui->comboBoxColorMode, mode == 2 ? 0 : 2);
            chooseData(ui->comboBoxColorMode, mode);
        } else {
            tagSCAN_SHORTCUT_MENU p = m_profile;
            p.sideSettings[0].colorMode = ColorModeFlag(mode);
            load(*m_form, p);
        }
        for (QWidget *w : QWidgetList{ui->groupBoxBriAndCon, ui->groupBoxSharpen,
                                      ui->groupBoxForBol, ui->groupBoxBackSmo})
            QCOMPARE(w->isHidden(), !greyGroups);
        QCOMPARE(ui->groupBoxColBal->isHidden(), !balance);
        for (QWidget *w :
             QWidgetList{ui->groupBoxConversionQuality, ui->groupBoxFilters,
                         ui->checkBoxInvertColors, ui->checkBoxEnhance, ui->groupBoxthinorthick})
            QCOMPARE(w->isHidden(), !bwGroups);
        QCOMPARE(ui->comboBoxCompressType->itemData(1).toInt(), mode == 0 ? 1 : 2);
    }
}

void TstSettingPages::documentModeRules_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("imageType");
    QTest::addColumn<bool>("image");
    QTest::addColumn<bool>("outline");
    QTest::addColumn<bool>("border");
    QTest::addColumn<bool>("angle");
    QTest::addColumn<bool>("userArea");
    QTest::newRow("detect") << 2 << 2 << false << false << true << true << false;
    QTest::newRow("manual") << 3 << 2 << false << true << true << true << true;
    QTest::newRow("photo") << 4 << 2 << true << false << false << true << false;
    QTest::newRow("detect and correct") << 7 << 2 << true << false << true << true << false;
    QTest::newRow("continuous") << 8 << 5 << false << true << false << false << true;
}

void TstSettingPages::documentModeRules()
{
    QFETCH(int, mode);
    QFETCH(int, imageType);
    chooseData(ui->comboBoxDocument, mode == 2 ? 3 : 2);
    chooseData(ui->comboBoxImageEdgeFillColor, 1);
    QSignalSpy user(m_hub, &PMessage::settingToolRotateAndCenter);
    chooseData(ui->comboBoxDocument, mode);
    QCOMPARE(ui->comboBoxImage->currentData().toInt(), imageType);
    QTEST(ui->comboBoxImage->isEnabled(), "image");
    QTEST(ui->groupBoxOutline->isEnabled(), "outline");
    QTEST(ui->comboBoxBorder->isEnabled(), "border");
    QTEST(ui->doubleSpinBoxAngle->isEnabledTo(ui->groupBoxOutline), "angle");
    QTEST(user.first().at(0).toBool(), "userArea");
    QCOMPARE(ui->comboBoxBorder->count(), mode == 7 ? 3 : 2);
    QCOMPARE(ui->comboBoxBorder->currentData().toInt(), 6);
    QCOMPARE(ui->comboBoxImageEdgeFillColor->currentData().toInt(), mode == 7 ? 1 : 0);

    // Then the image type, within that mode.
    QSignalSpy height(m_hub, &PMessage::imageAreaChangeMulLength);
    chooseData(ui->comboBoxImage, imageType == 2 ? 5 : 2);
    QCOMPARE(height.count(), 1);
    QCOMPARE(height.at(0).at(0).toInt(), imageType == 2 ? 5 : 2);
    QCOMPARE(height.at(0).at(1).toDouble(), ui->doubleSpinBox_H->value());
    if (imageType == 2) {
        QVERIFY(ui->groupBoxOutline->isEnabled());
        QVERIFY(!ui->comboBoxBorder->isEnabled());
        QVERIFY(user.last().at(0).toBool());
    } else {
        QCOMPARE(ui->groupBoxOutline->isEnabled(), mode == 3);
        QCOMPARE(ui->comboBoxBorder->isEnabled(), mode != 4);
    }
}

void TstSettingPages::rotationShowsCharacterSets()
{
    for (int value : {0, 1, 2, 3, 4, 5, 6, 7}) {
        chooseData(ui->comboBoxPostScanRotation, value);
        QCOMPARE(ui->listWidgetUnicode->isHidden(), value < 4);
        QCOMPARE(ui->labelUnicode->isHidden(), value < 4);
    }
    // The last selected character set cannot be deselected by a click.
    QListWidget *list = ui->listWidgetUnicode;
    list->clearSelection();
    list->item(1)->setSelected(true);
    const QRect r = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    QCOMPARE(list->selectedItems().size(), 1);
    QVERIFY(list->item(1)->isSelected());
}

void TstSettingPages::adjustModeRules_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<bool>("shown");
    QTest::newRow("brightness manual") << "comboBoxBriAndCon" << 1 << "spinBoxBri" << true;
    QTest::newRow("brightness auto") << "comboBoxBriAndCon" << 2 << "spinBoxBri" << false;
    QTest::newRow("balance manual rgb") << "comboBoxColBal" << 1 << "spinBoxRed" << true;
    QTest::newRow("balance manual aggr")
        << "comboBoxColBal" << 1 << "spinBoxColAggressiveness" << false;
    QTest::newRow("balance advanced aggr")
        << "comboBoxColBal" << 3 << "spinBoxColAggressiveness" << true;
    QTest::newRow("balance advanced rgb") << "comboBoxColBal" << 3 << "labelBlue" << false;
    QTest::newRow("balance auto") << "comboBoxColBal" << 2 << "spinBoxColAggressiveness" << false;
    QTest::newRow("boldness advanced") << "comboBoxForBol" << 1 << "horizontalSliderForBol" << true;
    QTest::newRow("boldness auto") << "comboBoxForBol" << 2 << "horizontalSliderForBol" << false;
    QTest::newRow("smoothing advanced") << "comboBoxBackSmo" << 1 << "spinBoxBackSmo" << true;
    QTest::newRow("smoothing none") << "comboBoxBackSmo" << 0 << "spinBoxBackSmo" << false;
}

void TstSettingPages::adjustModeRules()
{
    QFETCH(QString, combo);
    QFETCH(int, value);
    QFETCH(QString, widget);
    QFETCH(bool, shown);
    QComboBox *c = m_form->findChild<QComboBox *>(combo);
    QVERIFY(c);
    chooseData(c, value == 0 ? 1 : 0);
    chooseData(c, value);
    QWidget *w = m_form->findChild<QWidget *>(widget);
    QVERIFY(w);
    QCOMPARE(w->isHidden(), !shown);
    // A shown slider reports only when released.
    if (auto *slider = qobject_cast<CustomSlider *>(w); slider && shown)
        QVERIFY(!slider->hasTracking());

    // Conversion quality enables contrast and threshold by mode.
    chooseData(ui->comboBoxColorMode, 0);
    const int modes[][3] = {{3, 1, 0}, {1, 1, 1}, {2, 0, 1}};
    for (const auto &m : modes) {
        chooseData(ui->comboBoxConversionQuality, m[0] == 3 ? 1 : 3);
        chooseData(ui->comboBoxConversionQuality, m[0]);
        QCOMPARE(ui->spinBoxContrast->isEnabled(), bool(m[1]));
        QCOMPARE(ui->horizontalSliderConQuaThre->isEnabled(), bool(m[2]));
    }
}

void TstSettingPages::edgeFillRules()
{
    chooseData(ui->comboBoxDocument, 3);
    chooseData(ui->comboBoxImageEdgeFillColor, 1);
    QVERIFY(!ui->checkBoxAllSideMatch->isHidden());
    QVERIFY(ui->checkBoxAllSideMatch->isChecked());
    QVERIFY(!ui->doubleSpinBoxAll->isHidden());
    QVERIFY(ui->doubleSpinBoxAsmTop->isHidden());
    ui->checkBoxAllSideMatch->setChecked(false);
    QVERIFY(ui->doubleSpinBoxAll->isHidden());
    QVERIFY(!ui->doubleSpinBoxAsmBottom->isHidden());
    ui->doubleSpinBoxAsmTop->setValue(0.5);
    ui->checkBoxAllSideMatch->setChecked(true);
    QCOMPARE(ui->doubleSpinBoxAll->value(), 0.5);
    // Automatic fill selects detect-and-correct over the whole document.
    chooseData(ui->comboBoxImageEdgeFillColor, 3);
    QCOMPARE(ui->comboBoxDocument->currentData().toInt(), 7);
    QCOMPARE(ui->comboBoxImage->currentData().toInt(), 2);
    QCOMPARE(ui->comboBoxImageEdgeFillColor->currentData().toInt(), 3);
    chooseData(ui->comboBoxImageEdgeFillColor, 4);
    QVERIFY(ui->checkBoxAllSideMatch->isHidden());
    QVERIFY(ui->doubleSpinBoxAll->isHidden());
    QVERIFY(ui->labelAsmCm->isHidden());
    // Streak filter shows its aggressiveness only when on.
    ui->checkBoxStreakFilterOn->setChecked(true);
    QVERIFY(!ui->spinBoxStreakFilterAggessiveness->isHidden());
    ui->checkBoxStreakFilterOn->setChecked(false);
    QVERIFY(ui->spinBoxStreakFilterAggessiveness->isHidden());
}

void TstSettingPages::dropoutRules_data()
{
    QTest::addColumn<int>("colourMode");
    QTest::addColumn<int>("balance");
    QTest::addColumn<int>("dropout");
    QTest::addColumn<bool>("groupEnabled");
    QTest::addColumn<bool>("aggressiveness");
    QTest::newRow("colour, balance none, predominant") << 2 << 0 << 128 << true << false;
    QTest::newRow("colour, balance auto") << 2 << 2 << -1 << false << false;
    QTest::newRow("gray, several") << 1 << 2 << 129 << true << true;
    QTest::newRow("gray, red") << 1 << 2 << 0 << true << false;
    QTest::newRow("bw, predominant") << 0 << 0 << 128 << true << true;
}

void TstSettingPages::dropoutRules()
{
    QFETCH(int, colourMode);
    QFETCH(int, balance);
    QFETCH(int, dropout);
    QFETCH(bool, aggressiveness);
    chooseData(ui->comboBoxColorMode, colourMode);
    QCOMPARE(ui->comboBoxColorDropout->count(), colourMode == 2 ? 2 : 8);
    chooseData(ui->comboBoxColBal, balance);
    ui->spinBoxColorDropoutAggressiveness->setValue(5);
    if (dropout >= 0)
        chooseData(ui->comboBoxColorDropout, dropout);
    QTEST(ui->groupBoxColorDropout->isEnabled(), "groupEnabled");
    QCOMPARE(ui->spinBoxColorDropoutAggressiveness->isHidden(), !aggressiveness);
    if (dropout >= 0)
        QCOMPARE(ui->spinBoxColorDropoutAggressiveness->value(), 0);
    else
        QCOMPARE(ui->comboBoxColorDropout->currentData().toInt(), 255);
}

void TstSettingPages::detectionRules()
{
    QSignalSpy preview(m_hub, &PMessage::previewAutoUpdate);
    emit m_hub->sendPreviewMode(1);
    chooseData(ui->comboBoxBlankImageDeletion, 2);
    QVERIFY(!ui->spinBoxFinalImageSize->isHidden());
    QVERIFY(ui->spinBoxContentAmount->isHidden());
    QVERIFY(ui->pushButtonContentAmount->isHidden());
    QCOMPARE(preview.count(), 0);
    chooseData(ui->comboBoxBlankImageDeletion, 1);
    QVERIFY(ui->spinBoxFinalImageSize->isHidden());
    QVERIFY(!ui->pushButtonContentAmount->isHidden());
    QCOMPARE(preview.count(), 1);
    chooseData(ui->comboBoxBlankImageDeletion, 0);
    QVERIFY(ui->spinBoxFinalImageSize->isHidden());
    QVERIFY(ui->spinBoxContentAmount->isHidden());
    for (auto [text, value] : {std::pair<const char *, int>{"0", 1}, {"1001", 1000}, {"5", 5}}) {
        ui->spinBoxFinalImageSize->setValue(value == 5 ? 4 : 5);
        typeValue(ui->spinBoxFinalImageSize, QString::fromLatin1(text));
        QCOMPARE(ui->spinBoxFinalImageSize->value(), value);
    }
    // Ticking barcode reading shows its controls and selects every type,
    // also after the user narrowed the selection.
    QVERIFY(ui->listWidgetBarcodeReadingType->isHidden());
    ui->checkBoxBarcodeReading->setChecked(true);
    QVERIFY(!ui->groupBoxSearchArea->isHidden());
    ui->listWidgetBarcodeReadingType->item(0)->setSelected(false);
    ui->checkBoxBarcodeReading->setChecked(false);
    QVERIFY(ui->spinBoxHowMany->isHidden());
    QCOMPARE(ui->listWidgetBarcodeReadingType->selectedItems().size(), 9);
    ui->checkBoxBarcodeReading->setChecked(true);
    QCOMPARE(ui->listWidgetBarcodeReadingType->selectedItems().size(), 10);
    QCOMPARE(preview.count(), 1);
}

void TstSettingPages::previewNotifications()
{
    QSignalSpy preview(m_hub, &PMessage::previewAutoUpdate);
    // No preview: mode changes emit nothing.
    chooseData(ui->comboBoxSharpen, 2);
    QCOMPARE(preview.count(), 0);

    emit m_hub->sendPreviewMode(1);
    // Two loads, then one toggle of text enhancement: exactly one update.
    // Loading itself, even of a gray profile with a dropout, asks nothing and
    // requests no update: the preview shows what was loaded.
    {
        testsupport::ModalAnswerer none(QStringLiteral("否"));
        tagSCAN_SHORTCUT_MENU gray = m_profile;
        gray.sideSettings[0].colorMode = ColorModeFlag(1);
        gray.sideSettings[0].colorDropout = EcdoEnumFlag(129);
        load(*m_form, gray);
        QCoreApplication::processEvents();
        QCOMPARE(none.count(), 0);
    }
    load(*m_form, m_profile);
    load(*m_form, m_profile);
    QCOMPARE(preview.count(), 0);
    ui->checkBoxEnhance->setChecked(!ui->checkBoxEnhance->isChecked());
    QCOMPARE(preview.count(), 1);

    // A slider release notifies only after a spin box marked a change.
    chooseData(ui->comboBoxBriAndCon, 1);
    QCOMPARE(preview.count(), 2);
    CustomSlider *slider = ui->horizontalSliderBrightness;
    slider->resize(100, 20);
    auto release = [slider](int x) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, 5), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(slider, &press);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(x, 5), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QCoreApplication::sendEvent(slider, &up);
    };
    QCOMPARE(ui->spinBoxBri->value(), 0);
    release(0);
    QCOMPARE(ui->spinBoxBri->value(), -50);
    QCOMPARE(preview.count(), 3);
    release(0); // nothing moved, nothing marked
    QCOMPARE(preview.count(), 3);
    release(80);
    QCOMPARE(ui->spinBoxBri->value(), 30);
    QCOMPARE(preview.count(), 4);

    // The colour mode at normal preview quality asks for an update; a
    // dropout change asks the rescan question.
    tagSCAN_SHORTCUT_MENU normal = m_profile;
    normal.previewQuality = PreviewQualityNormal;
    load(*m_form, normal);
    chooseData(ui->comboBoxColorMode, 1);
    QCOMPARE(preview.count(), 5);
    testsupport::ModalAnswerer no(QStringLiteral("否"));
    QSignalSpy mode(m_hub, &PMessage::changePreviewMode);
    chooseData(ui->comboBoxColorDropout, 129);
    QCOMPARE(no.count(), 1);
    QCOMPARE(mode.count(), 1);
    // At high quality a colour-mode change asks too.
    emit m_hub->sendPreviewMode(1);
    load(*m_form, m_profile);
    chooseData(ui->comboBoxColorMode, 0);
    QCOMPARE(no.count(), 2);
    QCOMPARE(preview.count(), 5);
}

QTEST_MAIN(TstSettingPages)
#include "tst_settingpages.moc"
