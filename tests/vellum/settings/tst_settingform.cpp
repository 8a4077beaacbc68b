// The settings form's frame: widget inventory, lists, the combination check,
// round trips of the built-in profiles, the dirty check, the side/stream
// selector, the preview questions and the change notice to the console.

#include "settingformfixture.h"
#include "support/datarows.h"
#include "support/testtiming.h"

#include "customdoublespinbox.h"
#include "customslider.h"
#include "previewform.h"
#include "support/modalanswer.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QThread>

using namespace settingtest;
using testsupport::row;

class TstSettingForm : public SharedFormTest
{
    Q_OBJECT

private slots:
    void inventory();
    void listItemData();
    void combinationCheck_data();
    void combinationCheck();
    void builtInsRoundTrip_data();
    void builtInsRoundTrip();
    void generalEditsHaveExactDiffs();
    void pixelResolutionChange();
    void dirtyCheckSources_data();
    void dirtyCheckSources();
    void badRecordsStayBounded();
    void sideStreamSelection_data();
    void sideStreamSelection();
    void rescanQuestion();
    void contentAmountButton();
    void changeNotice();
    void smallScreen_data();
    void smallScreen();
};

void TstSettingForm::inventory()
{
    PMessage hub;
    SettingForm form(&hub);
    Ui::SettingForm *ui = form.form();
    QCOMPARE(form.size(), QSize(916, 700));
    QCOMPARE(form.minimumSize(), QSize(761, 559));

    struct Entry
    {
        const char *name;
        const char *cls;
        double min, max;
        int decimals;
    };
    // After construction: the page code has set its ranges already.
    const Entry entries[] = {
        {"comboBoxSide", "QComboBox", 0, 0, -1},
        {"pushButtonTool", "QPushButton", 0, 0, -1},
        {"SettingPreviewwidget", "QWidget", 0, 0, -1},
        {"tabWidgetGeneral", "QTabWidget", 0, 0, -1},
        {"comboBoxColorMode", "QComboBox", 0, 0, -1},
        {"comboBoxDocType", "QComboBox", 0, 0, -1},
        {"comboBoxMediaType", "QComboBox", 0, 0, -1},
        {"comboBoxResolution", "QComboBox", 0, 0, -1},
        {"comboBoxCompressType", "QComboBox", 0, 0, -1},
        {"comboBoxCompressQuality", "QComboBox", 0, 0, -1},
        {"groupBoxCompress", "QGroupBox", 0, 0, -1},
        {"comboBoxDocument", "QComboBox", 0, 0, -1},
        {"comboBoxImage", "QComboBox", 0, 0, -1},
        {"comboBoxPredefinedSizes", "QComboBox", 0, 0, -1},
        {"comboBoxBorder", "QComboBox", 0, 0, -1},
        {"comboBoxPostScanRotation", "QComboBox", 0, 0, -1},
        {"groupBoxOutline", "QGroupBox", 0, 0, -1},
        {"doubleSpinBox_x", "CustomDoubleSpinBox", 0, 99999, 2},
        {"doubleSpinBox_y", "CustomDoubleSpinBox", 0, 99999, 2},
        {"doubleSpinBox_W", "CustomDoubleSpinBox", 0, 99999, 2},
        {"doubleSpinBox_H", "CustomDoubleSpinBox", 0, 99999, 2},
        {"doubleSpinBoxAngle", "CustomDoubleSpinBox", 0, 9999, 4},
        {"listWidgetUnicode", "QListWidget", 0, 0, -1},
        {"scrollArea_3", "QScrollArea", 0, 0, -1},
        {"horizontalSliderConQuaThre", "CustomSlider", 0, 255, -1},
        {"spinBoxThreshold", "QSpinBox", 0, 255, -1},
        {"horizontalSliderConQuaCon", "CustomSlider", -50, 50, -1},
        {"spinBoxContrast", "QSpinBox", -50, 50, -1},
        {"horizontalSliderForBol", "CustomSlider", -10, 10, -1},
        {"spinBoxForBol", "QSpinBox", -10, 10, -1},
        {"horizontalSliderBackSmo", "CustomSlider", -10, 10, -1},
        {"spinBoxBackSmo", "QSpinBox", -10, 10, -1},
        {"horizontalSliderBrightness", "CustomSlider", -50, 50, -1},
        {"spinBoxBri", "QSpinBox", -50, 50, -1},
        {"horizontalSliderContrast", "CustomSlider", -50, 50, -1},
        {"spinBoxCon", "QSpinBox", -50, 50, -1},
        {"horizontalSliderRed", "CustomSlider", -50, 50, -1},
        {"spinBoxRed", "QSpinBox", -50, 50, -1},
        {"horizontalSliderGreen", "CustomSlider", -50, 50, -1},
        {"spinBoxGreen", "QSpinBox", -50, 50, -1},
        {"horizontalSliderBlue", "CustomSlider", -50, 50, -1},
        {"spinBoxBlue", "QSpinBox", -50, 50, -1},
        {"horizontalSliderColAggressiveness", "CustomSlider", -2, 2, -1},
        {"spinBoxColAggressiveness", "QSpinBox", -2, 2, -1},
        {"spinBoxController", "QSpinBox", -4, 4, -1},
        {"checkBoxInvertColors", "QCheckBox", 0, 0, -1},
        {"checkBoxEnhance", "QCheckBox", 0, 0, -1},
        {"comboBoxBriAndCon", "QComboBox", 0, 0, -1},
        {"comboBoxColBal", "QComboBox", 0, 0, -1},
        {"comboBoxSharpen", "QComboBox", 0, 0, -1},
        {"comboBoxForBol", "QComboBox", 0, 0, -1},
        {"comboBoxBackSmo", "QComboBox", 0, 0, -1},
        {"comboBoxConversionQuality", "QComboBox", 0, 0, -1},
        {"comboBoxFiltersNoise", "QComboBox", 0, 0, -1},
        {"comboBoxFiltersImage", "QComboBox", 0, 0, -1},
        {"scrollArea", "QScrollArea", 0, 0, -1},
        {"checkBoxHoldFillOn", "QCheckBox", 0, 0, -1},
        {"checkBoxOnOff", "QCheckBox", 0, 0, -1},
        {"comboBoxImageEdgeFillColor", "QComboBox", 0, 0, -1},
        {"checkBoxAllSideMatch", "QCheckBox", 0, 0, -1},
        {"doubleSpinBoxAll", "CustomDoubleSpinBox", 0, 99999, 2},
        {"doubleSpinBoxAsmTop", "CustomDoubleSpinBox", 0, 99999, 2},
        {"doubleSpinBoxAsmBottom", "CustomDoubleSpinBox", 0, 99999, 2},
        {"doubleSpinBoxAsmLeft", "CustomDoubleSpinBox", 0, 99999, 2},
        {"doubleSpinBoxAsmRight", "CustomDoubleSpinBox", 0, 99999, 2},
        {"comboBoxColorDropout", "QComboBox", 0, 0, -1},
        {"spinBoxColorDropoutAggressiveness", "QSpinBox", -10, 10, -1},
        {"checkBoxStreakFilterOn", "QCheckBox", 0, 0, -1},
        {"spinBoxStreakFilterAggessiveness", "QSpinBox", -2, 2, -1},
        {"scrollArea_4", "QScrollArea", 0, 0, -1},
        {"comboBoxBlankImageDeletion", "QComboBox", 0, 0, -1},
        {"spinBoxContentAmount", "QSpinBox", 0, 999999, -1},
        {"spinBoxFinalImageSize", "QSpinBox", 0, 99999, -1},
        {"pushButtonContentAmount", "QPushButton", 0, 0, -1},
        {"checkBoxBarcodeReading", "QCheckBox", 0, 0, -1},
        {"listWidgetBarcodeReadingType", "QListWidget", 0, 0, -1},
        {"spinBoxHowMany", "QSpinBox", 1, 6, -1},
        {"comboBoxOrienation", "QComboBox", 0, 0, -1},
        {"groupBoxSearchArea", "QGroupBox", 0, 0, -1},
        {"comboBoxSearchArea", "QComboBox", 0, 0, -1},
        {"doubleSpinBoxSearchGrade1", "CustomDoubleSpinBox", 0, 99999, 2},
        {"doubleSpinBoxSearchGrade2", "CustomDoubleSpinBox", 0, 99999, 2},
        {"doubleSpinBoxSearchGrade3", "CustomDoubleSpinBox", 0, 99999, 2},
        {"doubleSpinBoxSearchGrade4", "CustomDoubleSpinBox", 0, 99999, 2},
        {"scrollArea_2", "QScrollArea", 0, 0, -1},
    };
    for (const Entry &e : entries) {
        const QString name = QString::fromLatin1(e.name);
        QWidget *w = form.findChild<QWidget *>(name);
        QVERIFY2(w, e.name);
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), QString::fromLatin1(e.cls));
        if (auto *d = qobject_cast<QDoubleSpinBox *>(w)) {
            QCOMPARE(d->minimum(), e.min);
            QCOMPARE(d->maximum(), e.max);
            QCOMPARE(d->decimals(), e.decimals);
        } else if (auto *s = qobject_cast<QSpinBox *>(w)) {
            QCOMPARE(double(s->minimum()), e.min);
            QCOMPARE(double(s->maximum()), e.max);
        } else if (auto *s = qobject_cast<QAbstractSlider *>(w)) {
            QCOMPARE(double(s->minimum()), e.min);
            QCOMPARE(double(s->maximum()), e.max);
            QCOMPARE(s->orientation(), Qt::Horizontal);
        }
    }
    QCOMPARE(ui->comboBoxResolution->maxVisibleItems(), 20);
    QCOMPARE(ui->horizontalSliderConQuaThre->singleStep(), 35);
    QCOMPARE(ui->horizontalSliderConQuaThre->pageStep(), 35);
    QCOMPARE(ui->horizontalSliderForBol->pageStep(), 2);
    QCOMPARE(ui->horizontalSliderColAggressiveness->pageStep(), 1);
    QCOMPARE(ui->listWidgetUnicode->selectionMode(), QAbstractItemView::MultiSelection);
    QCOMPARE(ui->listWidgetBarcodeReadingType->selectionMode(), QAbstractItemView::MultiSelection);
    // Set-up shows the first page; the form definition alone shows the second.
    QCOMPARE(ui->tabWidgetGeneral->currentIndex(), 0);
    Ui::SettingForm bare;
    QWidget host;
    bare.setupUi(&host);
    QCOMPARE(bare.tabWidgetGeneral->currentIndex(), 1);
    QCOMPARE(bare.labelColorMode->text(), QStringLiteral("IDS_LABELCOLORMODE"));
    const QStringList tabs = {"一般", "尺寸", "调整", "增强", "检测"};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(ui->tabWidgetGeneral->tabText(i), tabs.at(i));
    // Every placeholder of the form definition was replaced.
    for (QLabel *l : ui->tabWidgetGeneral->findChildren<QLabel *>())
        QVERIFY2(!l->text().startsWith(QLatin1String("IDS_")), qPrintable(l->objectName()));
    for (QAbstractButton *b : ui->tabWidgetGeneral->findChildren<QAbstractButton *>())
        QVERIFY2(!b->text().startsWith(QLatin1String("IDS_")), qPrintable(b->objectName()));
    for (QGroupBox *g : ui->tabWidgetGeneral->findChildren<QGroupBox *>())
        QVERIFY2(!g->title().startsWith(QLatin1String("IDS_")), qPrintable(g->objectName()));
    QVERIFY(!ui->comboBoxSide->isEnabled());
    QCOMPARE(ui->labelSide->text(), QStringLiteral("侧 (&E)："));
    QVERIFY(!ui->pushButtonTool->icon().isNull());
}

void TstSettingForm::listItemData()
{
    PMessage hub;
    SettingForm form(&hub);
    Ui::SettingForm *ui = form.form();
    auto data = [](QComboBox *c) {
        QList<int> out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemData(i).toInt();
        return out;
    };
    QCOMPARE(data(ui->comboBoxSide).size(), 15);
    QCOMPARE(ui->comboBoxSide->itemText(8), QStringLiteral("两侧:灰度/黑白"));
    QCOMPARE(ui->comboBoxSide->itemText(14), QStringLiteral("后:灰阶/黑白"));
    QCOMPARE(data(ui->comboBoxColorMode), (QList<int>{2, 1, 0}));
    QCOMPARE(data(ui->comboBoxDocType), (QList<int>{2, 1, 3, 0}));
    QCOMPARE(data(ui->comboBoxMediaType), (QList<int>{3, 4, 1, 0, 2}));
    QCOMPARE(data(ui->comboBoxResolution), (QList<int>{75, 100, 150, 200, 300, 600, 1200}));
    QCOMPARE(data(ui->comboBoxCompressType), (QList<int>{0, 2}));
    QCOMPARE(data(ui->comboBoxCompressQuality), (QList<int>{2, 3, 1, 0, 4}));
    QCOMPARE(data(ui->comboBoxDocument), (QList<int>{7, 2, 4, 3, 8}));
    QCOMPARE(data(ui->comboBoxImage), (QList<int>{2, 5}));
    QCOMPARE(data(ui->comboBoxBorder), (QList<int>{6, 2, 1}));
    QCOMPARE(data(ui->comboBoxPostScanRotation), (QList<int>{0, 4, 5, 6, 7, 1, 2, 3}));
    QList<int> presets;
    for (int v = 1; v <= 24; ++v)
        presets << v;
    QCOMPARE(data(ui->comboBoxPredefinedSizes), presets);
    QCOMPARE(ui->comboBoxPredefinedSizes->itemText(3), QStringLiteral("US 信函 - 8.5 x 11 英寸"));
    QCOMPARE(data(ui->comboBoxBriAndCon), (QList<int>{0, 2, 1}));
    QCOMPARE(data(ui->comboBoxColBal), (QList<int>{0, 2, 3, 1}));
    QCOMPARE(data(ui->comboBoxSharpen), (QList<int>{0, 1, 2, 3}));
    QCOMPARE(data(ui->comboBoxForBol), (QList<int>{0, 2, 1}));
    QCOMPARE(data(ui->comboBoxBackSmo), (QList<int>{0, 2, 1}));
    QCOMPARE(data(ui->comboBoxConversionQuality), (QList<int>{3, 1, 2}));
    QCOMPARE(data(ui->comboBoxFiltersNoise), (QList<int>{0, 1, 2}));
    QCOMPARE(data(ui->comboBoxFiltersImage), (QList<int>{0, 1}));
    QCOMPARE(data(ui->comboBoxImageEdgeFillColor), (QList<int>{0, 3, 4, 2, 1}));
    QCOMPARE(data(ui->comboBoxColorDropout), (QList<int>{255, 128}));
    QCOMPARE(data(ui->comboBoxBlankImageDeletion), (QList<int>{0, 1, 2}));
    QCOMPARE(data(ui->comboBoxOrienation), (QList<int>{1, 2, 0}));
    QCOMPARE(data(ui->comboBoxSearchArea), (QList<int>{0, 1}));
    QCOMPARE(ui->listWidgetBarcodeReadingType->count(), 10);
    QCOMPARE(ui->listWidgetBarcodeReadingType->item(9)->text(), QStringLiteral("QR Code"));
    QCOMPARE(ui->listWidgetUnicode->count(), 5);
    QCOMPARE(ui->listWidgetUnicode->item(2)->text(), QStringLiteral("中文/日文"));

    // Loading a black-and-white block gives Group-4 and all eight dropouts;
    // "remove" is offered in detect-and-correct mode only.
    tagSCAN_SHORTCUT_MENU bw = builtIn(QStringLiteral("黑白 Clearleaf 文档"));
    load(form, bw);
    QCOMPARE(data(ui->comboBoxCompressType), (QList<int>{0, 1}));
    QCOMPARE(data(ui->comboBoxColorDropout), (QList<int>{255, 128, 129, 0, 1, 2, 3, 4}));
    bw.sideSettings[0].documentCropping = ImageCroppingModeFlag(2);
    load(form, bw);
    QCOMPARE(data(ui->comboBoxBorder), (QList<int>{6, 2}));
}

void TstSettingForm::combinationCheck_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("compression");
    QTest::addColumn<int>("quality");
    QTest::addColumn<int>("imageType");
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("combine");
    QTest::addColumn<int>("expected");
    // colour 1200 uncompressed
    row("A5 passes", 2, 1200, 0, 3, 5, 5.82, 8.26, 0, 0, 0, 0);
    row("wider than A5", 2, 1200, 0, 3, 5, 5.83, 8.26, 0, 0, 0, -71);
    row("taller than A5", 2, 1200, 0, 3, 5, 5.82, 8.27, 0, 0, 0, -71);
    row("both sides first", 2, 1200, 0, 3, 2, 20.0, 20.0, 2, 4, 1, -77);
    row("whole document", 2, 1200, 0, 3, 2, 1.0, 1.0, 0, 0, 0, -71);
    row("A5 combine on", 2, 1200, 0, 3, 5, 5.82, 8.26, 0, 0, 1, -74);
    row("stream 4 limit, combine on", 2, 1200, 0, 3, 5, 8.27, 5.83, 0, 4, 1, 0);
    row("stream 10 too wide", 2, 1200, 0, 3, 5, 8.28, 5.83, 0, 10, 0, -76);
    row("stream 4 too tall", 2, 1200, 0, 3, 5, 8.27, 5.84, 0, 4, 0, -76);
    // colour 1200 compressed, high quality
    row("high whole", 2, 1200, 2, 4, 2, 1.0, 1.0, 0, 0, 0, -75);
    row("high both sides", 2, 1200, 2, 4, 5, 1.0, 1.0, 2, 0, 0, -77);
    row("high at limit", 2, 1200, 2, 4, 5, 11.69, 9.84, 0, 0, 0, 0);
    row("high too tall", 2, 1200, 2, 4, 5, 11.69, 9.85, 0, 0, 0, -75);
    row("high stream 10", 2, 1200, 2, 4, 5, 8.28, 1.0, 0, 10, 0, -76);
    row("high combine", 2, 1200, 2, 4, 5, 11.69, 9.84, 0, 0, 3, -74);
    // colour 1200 compressed, other quality: both sides allowed
    row("good whole", 2, 1200, 2, 3, 2, 1.0, 1.0, 0, 0, 0, -71);
    row("good at limit, both sides", 2, 1200, 1, 3, 5, 11.69, 9.84, 2, 0, 0, 0);
    row("good too wide", 2, 1200, 2, 3, 5, 11.70, 9.84, 0, 0, 0, -75);
    row("good combine", 2, 1200, 2, 3, 5, 11.69, 9.84, 0, 0, 2, -74);
    row("good stream 4", 2, 1200, 2, 3, 5, 8.27, 5.83, 0, 4, 1, 0);
    // gray and black-and-white at 1200
    row("gray uncompressed", 1, 1200, 0, 4, 5, 1.0, 1.0, 0, 0, 0, -72);
    row("gray high quality", 1, 1200, 2, 4, 5, 1.0, 1.0, 0, 0, 0, -73);
    row("gray combine", 1, 1200, 2, 3, 5, 1.0, 1.0, 0, 0, 1, -74);
    row("gray good", 1, 1200, 2, 3, 2, 17.0, 17.0, 2, 0, 0, 0);
    row("bw combine", 0, 1200, 1, 3, 2, 17.0, 17.0, 2, 0, 1, -74);
    row("bw", 0, 1200, 0, 3, 2, 17.0, 17.0, 2, 0, 0, 0);
    // colour 600
    row("600 none combine", 2, 600, 0, 2, 2, 17.0, 17.0, 2, 0, 1, -74);
    row("600 jpeg draft combine", 2, 600, 2, 2, 2, 17.0, 17.0, 2, 0, 1, 0);
    row("600 jpeg high combine", 2, 600, 2, 4, 2, 17.0, 17.0, 2, 0, 1, -74);
    row("600 gray combine", 1, 600, 0, 4, 2, 17.0, 17.0, 2, 0, 1, 0);
    // other resolutions and modes
    row("300 anything", 2, 300, 0, 4, 2, 99.0, 99.0, 2, 4, 1, 0);
    row("mode 5 at 1200", 5, 1200, 0, 4, 2, 99.0, 99.0, 2, 4, 1, 0);
}

void TstSettingForm::combinationCheck()
{
    QFETCH(int, mode);
    QFETCH(int, dpi);
    QFETCH(int, compression);
    QFETCH(int, quality);
    QFETCH(int, imageType);
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(int, input);
    QFETCH(int, side);
    QFETCH(int, combine);
    tagSCAN_SHORTCUT_MENU p = colourDocument();
    tagSCAN_SIDE_SETTING &b = p.sideSettings[0];
    b.colorMode = ColorModeFlag(mode);
    b.resolution = dpi;
    b.compressionType = CompressionTypeFlag(compression);
    b.jpegQuality = CompressionJpegQualityFlag(quality);
    b.imageCropping = ImageCroppingModeFlag(imageType);
    b.width = w;
    b.height = h;
    p.inputDocument = InputDocumentFlag(input);
    p.sideStream = OxAdvancedSettingSideFlag(side);
    p.combineType = CombineTypeFlag(combine);
    const tagSCAN_SHORTCUT_MENU before = p;
    QTEST(m_form->judgeSettingIsReasonable(p), "expected");
    QVERIFY(scanShortcutEquals(before, p));
}

void TstSettingForm::builtInsRoundTrip_data()
{
    testsupport::builtInUnitRows();
}

void TstSettingForm::builtInsRoundTrip()
{
    QFETCH(int, index);
    QFETCH(int, unit);
    tagSCAN_SHORTCUT_MENU profile = builtIns().at(index);
    profile.sizeUnit = ImageSizeUnitFlag(unit);
    SettingForm &form = *m_form;
    load(form, profile);
    QVERIFY(form.compareVariableAndUIControl(profile));
    const tagSCAN_SHORTCUT_MENU out = saved(form, profile);
    QVERIFY2(scanShortcutEquals(out, profile),
             qPrintable(testsupport::describeChanges(profile, out)));
    QVERIFY(form.compareVariableAndUIControl(profile));
    // A second load of the same profile leaves everything as it was.
    load(form, profile);
    QVERIFY(scanShortcutEquals(saved(form, profile), profile));
}

void TstSettingForm::generalEditsHaveExactDiffs()
{
    PMessage hub;
    SettingForm form(&hub);
    Ui::SettingForm *ui = form.form();
    tagSCAN_SHORTCUT_MENU profile = colourDocument();
    QCOMPARE(int(profile.sideSettings[0].compressionType), 2);

    // JPEG to none: block 1 follows block 0.
    load(form, profile);
    chooseData(ui->comboBoxCompressType, 0);
    QVERIFY(!form.compareVariableAndUIControl(profile));
    COMPARE_DIFF(profile, saved(form, profile), (QList<int>{2624, 2944}));
    QVERIFY(!ui->comboBoxCompressQuality->isEnabled());

    // JPEG on the first side goes with Group-4 on the second; Group-4 on the
    // first leaves the second as it was.
    tagSCAN_SHORTCUT_MENU follow = profile;
    follow.sideSettings[1].compressionType = CompressionTypeFlag(0);
    load(form, follow);
    COMPARE_DIFF(follow, saved(form, follow), (QList<int>{2944}));
    QCOMPARE(int(saved(form, follow).sideSettings[1].compressionType), 1);
    follow.sideSettings[0].colorMode = ColorModeFlag(0);
    follow.sideSettings[0].compressionType = CompressionTypeFlag(1);
    load(form, follow);
    COMPARE_DIFF(follow, saved(form, follow), (QList<int>{}));

    // Colour to black-and-white with JPEG chosen: the compression stays
    // compressed, as Group-4; block 1 keeps its Group-4.
    load(form, profile);
    QSignalSpy ox(&hub, &PMessage::settingColorModeOx);
    chooseData(ui->comboBoxColorMode, 0);
    QCOMPARE(ox.count(), 1);
    QCOMPARE(ox.at(0).at(0).value<ColorModeFlag>(), ColorModeFlag(0));
    QCOMPARE(ui->comboBoxCompressType->currentText(), QStringLiteral("Group-4"));
    QVERIFY(!ui->comboBoxCompressQuality->isEnabled());
    QVERIFY(ui->labelCompressQualityImage->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(!ui->groupBoxConversionQuality->isHidden());
    QVERIFY(ui->groupBoxBriAndCon->isHidden());
    tagSCAN_SHORTCUT_MENU out = saved(form, profile);
    COMPARE_DIFF(profile, out, (QList<int>{2608, 2624}));
    QCOMPARE(int(out.sideSettings[0].compressionType), 1);
    // And back: JPEG with its quality list.
    chooseData(ui->comboBoxColorMode, 2);
    QCOMPARE(ui->comboBoxCompressType->currentText(), QStringLiteral("JPEG"));
    QVERIFY(ui->comboBoxCompressQuality->isEnabled());
    QVERIFY(!ui->labelCompressQualityImage->pixmap(Qt::ReturnByValue).isNull());

    // 200 to 300 dpi in centimetres changes the resolution only.
    load(form, profile);
    QSignalSpy res(&hub, &PMessage::setResolution);
    chooseData(ui->comboBoxResolution, 300);
    QCOMPARE(res.count(), 1);
    COMPARE_DIFF(profile, saved(form, profile), (QList<int>{2620}));
}

void TstSettingForm::pixelResolutionChange()
{
    PMessage hub;
    SettingForm form(&hub);
    Ui::SettingForm *ui = form.form();
    tagSCAN_SHORTCUT_MENU profile = colourDocument();
    profile.sizeUnit = UnitPixel;
    load(form, profile);
    QCOMPARE(ui->doubleSpinBox_W->value(), 1652.0);
    QCOMPARE(ui->doubleSpinBox_W->singleStep(), 2.0);
    QCOMPARE(ui->labelgrade4->text(), QStringLiteral("像素"));
    chooseData(ui->comboBoxResolution, 300);
    QCOMPARE(ui->doubleSpinBox_W->value(), 2478.0);
    QCOMPARE(ui->doubleSpinBoxSearchGrade3->value(), 5100.0);
    QCOMPARE(ui->doubleSpinBox_W->singleStep(), 3.0);
    QCOMPARE(ui->doubleSpinBoxAll->singleStep(), 3.0);
    COMPARE_DIFF(profile, saved(form, profile), (QList<int>{2620}));

    // A width typed at 200 dpi is converted into all four blocks.
    load(form, profile);
    finishEdit(ui->doubleSpinBox_W, 1700);
    QCOMPARE(ui->doubleSpinBox_W->value(), 1700.0);
    chooseData(ui->comboBoxResolution, 300);
    QCOMPARE(ui->doubleSpinBox_W->value(), 2550.0);
    const tagSCAN_SHORTCUT_MENU out = saved(form, profile);
    for (int b = 0; b < 4; ++b)
        QCOMPARE(out.sideSettings[b].width, 8.5);
    // The typed width is no longer A4: the preset became "custom".
    COMPARE_DIFF(profile, out, (QList<int>{2620, 2656, 2680, 2976, 3296, 3616}));
}

void TstSettingForm::dirtyCheckSources_data()
{
    QTest::addColumn<int>("source");
    row("side/stream", 0);
    row("block 2 colour mode", 1);
    row("block 0 output type", 2);
    row("preview quality", 3);
}

void TstSettingForm::dirtyCheckSources()
{
    QFETCH(int, source);
    PMessage hub;
    SettingForm form(&hub);
    tagSCAN_SHORTCUT_MENU profile = colourDocument();
    load(form, profile);
    QVERIFY(form.compareVariableAndUIControl(profile));
    tagSCAN_SHORTCUT_MENU other = profile;
    switch (source) {
    case 0:
        other.sideStream = OxAdvancedSettingSideFlag(7);
        break;
    case 1:
        other.sideSettings[2].colorMode = ColorModeFlag(1);
        break;
    case 2:
        other.sideSettings[0].doubleCurrentOutput = ScanDoubleCurrentOutputFlag(3);
        break;
    case 3:
        other.previewQuality = PreviewQualityFlag(1 - int(profile.previewQuality));
        break;
    }
    QVERIFY(!form.compareVariableAndUIControl(other));
    QVERIFY(form.compareVariableAndUIControl(profile));
}

// Values no list carries, and lengths that are not lengths: nothing
// undefined, lists keep their entries, saved values are the shown items and
// every length is finite.
void TstSettingForm::badRecordsStayBounded()
{
    PMessage hub;
    tagSCAN_SHORTCUT_MENU good = colourDocument();
    tagSCAN_SHORTCUT_MENU bad = good;
    for (int b = 0; b < 4; ++b) {
        tagSCAN_SIDE_SETTING &s = bad.sideSettings[b];
        s.colorMode = ColorModeFlag(5);
        s.resolution = 5000;
        s.jpegQuality = CompressionJpegQualityFlag(9);
        s.x = std::numeric_limits<double>::quiet_NaN();
        s.y = -std::numeric_limits<double>::infinity();
        s.width = 1e300;
        s.height = -3.0;
        s.edgeTop = std::numeric_limits<double>::infinity();
        s.barcodeArea[2] = 1e18;
    }
    bad.sideStream = OxAdvancedSettingSideFlag(15);
    for (int unit : {0, 1, 2, 3}) {
        bad.sizeUnit = ImageSizeUnitFlag(unit);
        SettingForm form(&hub);
        Ui::SettingForm *ui = form.form();
        load(form, good);
        load(form, bad);
        QCOMPARE(ui->comboBoxColorMode->count(), 3);
        QCOMPARE(ui->comboBoxResolution->count(), 7);
        const tagSCAN_SHORTCUT_MENU out = saved(form, bad);
        QCOMPARE(int(out.sideStream), 0);
        QCOMPARE(int(out.sideSettings[0].colorMode), 2);
        QCOMPARE(out.sideSettings[0].resolution, 200);
        QCOMPARE(int(out.sideSettings[0].jpegQuality), 3);
        for (int b = 0; b < 4; ++b) {
            const tagSCAN_SIDE_SETTING &s = out.sideSettings[b];
            for (double v : {s.x, s.y, s.width, s.height, s.edgeAll, s.edgeTop, s.edgeBottom,
                             s.edgeLeft, s.edgeRight, s.barcodeArea[0], s.barcodeArea[1],
                             s.barcodeArea[2], s.barcodeArea[3]})
                QVERIFY(std::isfinite(v));
        }
        QVERIFY(form.getSizeTimes() > 0);
        // A unit change and a pixel resolution change stay finite too.
        emit hub.changedImageSizeUnit(UnitPixel);
        chooseData(ui->comboBoxResolution, 1200);
        QVERIFY(std::isfinite(ui->doubleSpinBox_W->value()));
    }
    // A pixel record at resolution 0 counts as 200 dpi.
    SettingForm form(&hub);
    Ui::SettingForm *ui = form.form();
    load(form, good);
    tagSCAN_SHORTCUT_MENU zero = good;
    zero.sizeUnit = UnitPixel;
    for (tagSCAN_SIDE_SETTING &s : zero.sideSettings)
        s.resolution = 0;
    load(form, zero);
    QCOMPARE(ui->doubleSpinBox_W->value(), 1652.0);
    QCOMPARE(ui->doubleSpinBox_W->singleStep(), 2.0);
    // The shown item, 200 dpi, is stored; the lengths are unchanged.
    const tagSCAN_SHORTCUT_MENU out = saved(form, zero);
    QCOMPARE(out.sideSettings[0].width, 8.26);
    QCOMPARE(out.sideSettings[3].barcodeArea[3], 17.0);
}

void TstSettingForm::sideStreamSelection_data()
{
    QTest::addColumn<bool>("colour");
    QTest::addColumn<bool>("gray");
    QTest::addColumn<bool>("bw");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("expected");
    row("one stream both", true, false, false, 1, 2, 0);
    row("one stream front, flags ignored", true, true, true, 1, 0, 1);
    row("none back", false, false, false, 0, 1, 2);
    row("all both", true, true, true, 3, 2, 3);
    row("all front", true, true, true, 3, 0, 4);
    row("all back", true, true, true, 3, 1, 5);
    row("cg both", true, true, false, 2, 2, 6);
    row("cg front", true, true, false, 2, 0, 9);
    row("cg back", true, true, false, 2, 1, 12);
    row("cb both", true, false, true, 2, 2, 7);
    row("cb front", true, false, true, 2, 0, 10);
    row("cb back", true, false, true, 2, 1, 13);
    row("gb both", false, true, true, 2, 2, 8);
    row("gb front", false, true, true, 2, 0, 11);
    row("gb back", false, true, true, 2, 1, 14);
    row("count 2 one flag keeps", true, false, false, 2, 2, -1);
    row("input 3 keeps", true, false, false, 1, 3, -1);
    row("input -1 keeps", true, true, true, 3, -1, -1);
}

void TstSettingForm::sideStreamSelection()
{
    QFETCH(bool, colour);
    QFETCH(bool, gray);
    QFETCH(bool, bw);
    QFETCH(int, count);
    QFETCH(int, input);
    QFETCH(int, expected);
    m_form->form()->comboBoxSide->setCurrentIndex(5);
    emit m_hub->manyCurrentControl(colour, gray, bw, count, InputDocumentFlag(input));
    QCOMPARE(m_form->form()->comboBoxSide->currentIndex(), expected < 0 ? 5 : expected);
}

void TstSettingForm::rescanQuestion()
{
    PMessage hub;
    SettingForm form(&hub);
    QSignalSpy mode(&hub, &PMessage::changePreviewMode);
    QSignalSpy start(&hub, &PMessage::startPreviewScan);
    testsupport::ModalAnswerer no(QStringLiteral("否"));

    form.judgePreviewWarning();
    QCOMPARE(no.count(), 0);
    QCOMPARE(mode.count(), 0);

    emit hub.sendPreviewMode(1);
    form.judgePreviewWarning();
    QCOMPARE(no.count(), 1);
    QCOMPARE(no.last().title, QStringLiteral("Corvan扫描仪"));
    QVERIFY(no.last().text.startsWith(QStringLiteral("自动更新功能要求重新扫描文档")));
    QCOMPARE(mode.count(), 1);
    QCOMPARE(mode.at(0).at(0).toBool(), true);
    QCOMPARE(start.count(), 0);
    form.judgePreviewWarning();
    QCOMPARE(no.count(), 1);
    no.stop();

    testsupport::ModalAnswerer yes(QStringLiteral("是"));
    emit hub.sendPreviewMode(2);
    form.judgePreviewWarning();
    QCOMPARE(yes.count(), 1);
    QCOMPARE(mode.count(), 2);
    QCOMPARE(start.count(), 1);
    form.judgePreviewWarning();
    QCOMPARE(yes.count(), 1);

    // The tool button hands over to the setting-tool page.
    QSignalSpy tool(&hub, &PMessage::showSettingToolForm);
    form.form()->pushButtonTool->click();
    QCOMPARE(tool.count(), 1);
    QCOMPARE(mode.count(), 3);
    QCOMPARE(mode.at(2).at(0).toBool(), false);
}

namespace {
class AmountThread : public QThread
{
public:
    explicit AmountThread(PMessage *hub) : m_hub(hub) {}
    void run() override
    {
        emit m_hub->sendBlankImageContent(1, 77);
        emit m_hub->sendBlankImageContent(0, 42);
        emit m_hub->sendBlankImageContent(-1, 99);
    }
    PMessage *m_hub;
};
} // namespace

void TstSettingForm::contentAmountButton()
{
    PMessage hub;
    SettingForm form(&hub);
    Ui::SettingForm *ui = form.form();
    QVERIFY(!ui->pushButtonContentAmount->isEnabled());
    emit hub.sendPreviewMode(1);
    QVERIFY(ui->pushButtonContentAmount->isEnabled());
    // Before any amount was reported the button copies 0.
    ui->spinBoxContentAmount->setValue(30);
    ui->pushButtonContentAmount->click();
    QCOMPARE(ui->spinBoxContentAmount->value(), 0);
    QVERIFY(!ui->pushButtonContentAmount->isEnabled());

    // The amount arrives from the scanning thread; only the front side counts.
    AmountThread thread(&hub);
    thread.start();
    QVERIFY(thread.wait(scaledMs(5000)));
    QCoreApplication::processEvents();
    emit hub.sendPreviewMode(1);
    ui->pushButtonContentAmount->click();
    QCOMPARE(ui->spinBoxContentAmount->value(), 42);
    emit hub.sendPreviewMode(0);
    QVERIFY(!ui->pushButtonContentAmount->isEnabled());
}

void TstSettingForm::changeNotice()
{
    PMessage hub;
    SettingForm form(&hub);
    Ui::SettingForm *ui = form.form();
    QSignalSpy notice(&hub, &PMessage::controlValueChanged);
    tagSCAN_SHORTCUT_MENU profile = colourDocument();
    load(form, profile);
    QCoreApplication::processEvents();
    QCOMPARE(notice.count(), 0);

    // A second connect does not double anything: one notice per edit, and
    // the General page's handler ran once.
    form.connectAllChangeValueControlMessages();
    QSignalSpy ox(&hub, &PMessage::settingColorModeOx);
    chooseData(ui->comboBoxColorMode, 1);
    QCOMPARE(ox.count(), 1);
    QTRY_COMPARE(notice.count(), 1);

    // Each kind of edit gives one notice, after its rules ran.
    const std::function<void()> edits[] = {
        [&] { finishEdit(ui->doubleSpinBox_H, 10); },
        [&] { ui->spinBoxBri->setValue(12); },
        [&] { ui->checkBoxOnOff->setChecked(!ui->checkBoxOnOff->isChecked()); },
        [&] { ui->listWidgetBarcodeReadingType->item(3)->setSelected(false); },
        [&] { emit hub.settingSizePreview(1.0, 1.0, 3.0, 4.0); },
        [&] { emit hub.changedImageSizeUnit(UnitInch); },
    };
    int expected = 1;
    for (const auto &edit : edits) {
        edit();
        ++expected;
        QTRY_COMPARE(notice.count(), expected);
        QTest::qWait(5);
        QCOMPARE(notice.count(), expected);
    }
    // The console, hearing the notice, sees the final state.
    QVERIFY(!form.compareVariableAndUIControl(profile));

    // Nothing while disconnected, not even from the check boxes and the hub
    // signals that stay live during a load.
    form.disconnectAllChangeValueControlMessages();
    ui->checkBoxHoldFillOn->setChecked(!ui->checkBoxHoldFillOn->isChecked());
    emit hub.settingSizePreview(1.0, 1.0, 3.0, 4.0);
    form.updateVariableToUIControl(profile);
    QTest::qWait(10);
    QCOMPARE(notice.count(), expected);
    form.connectAllChangeValueControlMessages();
    QVERIFY(form.compareVariableAndUIControl(profile));
    QTest::qWait(10);
    QCOMPARE(notice.count(), expected);
}

void TstSettingForm::smallScreen_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("variant");
    row("minimum, colour full", QSize(761, 559), 0);
    row("initial, colour full", QSize(916, 700), 0);
    row("minimum, black-and-white full", QSize(761, 559), 1);
    row("initial, black-and-white full", QSize(916, 700), 1);
}

// Every visible control lies inside its page, or inside its scroll area's
// viewport width; labels and check boxes are not cut.
void TstSettingForm::smallScreen()
{
    QFETCH(QSize, size);
    QFETCH(int, variant);
    PMessage hub;
    SettingForm form(&hub);
    Ui::SettingForm *ui = form.form();
    tagSCAN_SHORTCUT_MENU profile = colourDocument();
    tagSCAN_SIDE_SETTING &b = profile.sideSettings[0];
    if (variant == 0) {
        b.brightnessContrastMode = ColorBrightnessModeFlag(1);
        b.colorBalanceMode = ColorBalanceModeFlag(1);
        b.foregroundBoldnessMode = ForegroundBoldnessModeFlag(1);
        b.backgroundSmoothingMode = BackgroundAdjustModeFlag(1);
        b.edgeFillColor = EdgeFillFlag(1);
        b.allSidesMatch = false;
        b.barcodeReading = true;
        b.barcodeSearchArea = BarcodeSearchAreaFlag(1);
        b.blankImageDeletion = BlankImageModeFlag(1);
        b.documentCropping = ImageCroppingModeFlag(3);
    } else {
        b.colorMode = ColorModeFlag(0);
        b.compressionType = CompressionTypeFlag(1);
        b.conversionQuality = BinarizationModeFlag(1);
        b.edgeFillColor = EdgeFillFlag(2);
        b.allSidesMatch = true;
        b.colorDropout = EcdoEnumFlag(129);
        b.streakFilter = true;
        b.blankImageDeletion = BlankImageModeFlag(2);
    }
    load(form, profile);
    form.resize(size);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.previewForm()->size(), QSize(size.width() - 430, size.height() - 10));
    QVERIFY(form.previewForm()->isVisibleTo(&form));
    const QRect tabsRect = ui->tabWidgetGeneral->geometry();
    QVERIFY(!tabsRect.intersects(ui->SettingPreviewwidget->geometry()));
    QVERIFY(tabsRect.bottom() < size.height());

    const QString dir = QString::fromLocal8Bit(qgetenv("TMPDIR"));
    for (int t = 0; t < 5; ++t) {
        ui->tabWidgetGeneral->setCurrentIndex(t);
        QCoreApplication::processEvents();
        QWidget *page = ui->tabWidgetGeneral->widget(t);
        QScrollArea *area = page->findChild<QScrollArea *>();
        if (area)
            QCOMPARE(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        for (QWidget *w : page->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(page) || w->inherits("QScrollBar") || !w->parentWidget())
                continue;
            if (area && (w == area || w == area->viewport() || w == area->widget() ||
                         !area->widget()->isAncestorOf(w)))
                continue;
            const QWidget *box = area ? area->viewport() : page;
            const QRect r(w->mapTo(const_cast<QWidget *>(box), QPoint(0, 0)), w->size());
            QVERIFY2(r.left() >= 0 && r.right() < box->width() + 1,
                     qPrintable(QStringLiteral("tab %1: %2 at %3..%4 of %5")
                                    .arg(t)
                                    .arg(w->objectName())
                                    .arg(r.left())
                                    .arg(r.right())
                                    .arg(box->width())));
            if (!area)
                QVERIFY2(r.bottom() < page->height() + 1, qPrintable(w->objectName()));
            if ((qobject_cast<QLabel *>(w) &&
                 qobject_cast<QLabel *>(w)->pixmap(Qt::ReturnByValue).isNull()) ||
                qobject_cast<QCheckBox *>(w))
                QVERIFY2(w->width() >= w->sizeHint().width(),
                         qPrintable(QStringLiteral("%1 cut: %2 < %3")
                                        .arg(w->objectName())
                                        .arg(w->width())
                                        .arg(w->sizeHint().width())));
        }
        // The Enhance page's two colour lists start at one x.
        if (t == 3)
            QCOMPARE(ui->comboBoxImageEdgeFillColor->mapTo(&form, QPoint()).x(),
                     ui->comboBoxColorDropout->mapTo(&form, QPoint()).x());
        form.grab().save(QStringLiteral("%1/settings-%2x%3-v%4-tab%5.png")
                             .arg(dir)
                             .arg(size.width())
                             .arg(size.height())
                             .arg(variant)
                             .arg(t));
    }
}

QTEST_MAIN(TstSettingForm)
#include "tst_settingform.moc"
