// The settings form inside the console: an edit marks the profile as changed
// once its rules ran, undoing it restores the plain name, and saving a
// combination the scanner cannot deliver is refused with the page shown.

#include "support/testtiming.h"
#include "vellum/console/consoletestutil.h"

#include "settingform.h"
#include "scanshortcutmenu.h"
#include "ui_settingform.h"

#include <QCheckBox>

#include <memory>

using namespace consoletest;

class TstSettingsInConsole : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        installStampGraphics();
        g_VellumCfgFile.loadConfigFile(QCoreApplication::applicationDirPath());
    }

    void init()
    {
        const QString profiles = g_VellumCfgFile.m_strProfilesDir;
        if (!profiles.isEmpty() && QFileInfo(profiles).isAbsolute())
            QDir(profiles).removeRecursively();
        m_window = std::make_unique<ScanMainWindow>();
        m_window->show();
    }

    void cleanup() { m_window.reset(); }

    void editAndUndoRestoreThePlainName()
    {
        ScanMainWindow &w = *m_window;
        QListWidget *profiles = list(w);
        for (int row = 0; row < profiles->count(); ++row)
            if (profiles->item(row)->text() == QStringLiteral("彩色 Clearleaf 文档"))
                profiles->setCurrentRow(row);
        QCOMPARE(profiles->currentItem()->text(), QStringLiteral("彩色 Clearleaf 文档"));
        Ui::SettingForm *ui = w.settingForm()->form();
        mainTabs(w)->setCurrentIndex(1);

        // The colour-mode rules rebuild the compression list on the way: the
        // console compares the state after all of them.
        ui->comboBoxColorMode->setCurrentIndex(ui->comboBoxColorMode->findData(0));
        QTRY_COMPARE(profiles->currentItem()->text(),
                     QStringLiteral("*彩色 Clearleaf 文档 <已更改>"));
        QVERIFY(w.isChanged());
        ui->comboBoxColorMode->setCurrentIndex(ui->comboBoxColorMode->findData(2));
        QTRY_COMPARE(profiles->currentItem()->text(), QStringLiteral("彩色 Clearleaf 文档"));
        QVERIFY(!w.isChanged());

        // A unit chosen in the preview converts every length; back again it
        // is the same profile.
        PMessage *hub = nullptr;
        w.getMessages(&hub);
        ui->doubleSpinBoxSearchGrade3->setValue(ui->doubleSpinBoxSearchGrade3->value());
        emit hub->changedImageSizeUnit(UnitPixel);
        emit hub->changedImageSizeUnit(UnitCentimetre);
        QTest::qWait(20);
        QCOMPARE(profiles->currentItem()->text(), QStringLiteral("彩色 Clearleaf 文档"));
    }

    void unscannableCombinationIsRefused()
    {
        ScanMainWindow &w = *m_window;
        Ui::SettingForm *ui = w.settingForm()->form();
        mainTabs(w)->setCurrentIndex(1);
        ui->comboBoxColorMode->setCurrentIndex(ui->comboBoxColorMode->findData(1));
        ui->comboBoxResolution->setCurrentIndex(ui->comboBoxResolution->findData(1200));
        ui->comboBoxCompressType->setCurrentIndex(0);
        ui->tabWidgetGeneral->setCurrentIndex(3);
        QTRY_VERIFY(w.isChanged());
        testsupport::ModalAnswerer ok(QStringLiteral("确定"));
        button(w, "pushButtonSave")->click();
        QTRY_COMPARE(ok.count(), 1);
        QCOMPARE(ok.last().title, QStringLiteral("警告"));
        QVERIFY(ok.last().text.contains(QStringLiteral("更改为压缩模式")));
        QVERIFY(w.isChanged());
        QCOMPARE(mainTabs(w)->currentIndex(), 1);
        QCOMPARE(ui->tabWidgetGeneral->currentIndex(), 0);
    }

    // A profile whose unit the pages do not know shows its split lengths in
    // inches and stores them so, whatever unit the profile before it had.
    void unknownUnitKeepsSplitLengths_data()
    {
        QTest::addColumn<int>("previousUnit");
        QTest::newRow("after centimetres") << int(UnitCentimetre);
        QTest::newRow("after pixels") << int(UnitPixel);
    }
    void unknownUnitKeepsSplitLengths()
    {
        QFETCH(int, previousUnit);
        ScanMainWindow &w = *m_window;
        ScanShortcutMenu *store = w.getScanShortcutMenu();
        tagSCAN_SHORTCUT_MENU p;
        store->setCurrentScanIndex(0);
        store->getCurrentScanShortcut(p);
        p.sizeUnit = ImageSizeUnitFlag(previousUnit);
        store->setCurrentScanShortcut(p);
        store->setCurrentScanIndex(1);
        store->getCurrentScanShortcut(p);
        p.sizeUnit = ImageSizeUnitFlag(9);
        p.lengthLeft = 10.0;
        p.lengthRight = 12.0;
        store->setCurrentScanShortcut(p);
        store->setCurrentScanIndex(0);
        w.reload();
        list(w)->setCurrentRow(1);
        tagSCAN_SHORTCUT_MENU written;
        w.getCurrentScanShortcutMenu(written);
        w.updateAllUIControlToVariable(written);
        QCOMPARE(written.lengthLeft, 10.0);
        QCOMPARE(written.lengthRight, 12.0);
    }

    // A flag byte holding another value than 1 is set: its box shows it, a
    // save keeps it set and the pages do not count it as an edit.
    void flagBytesOtherThanOneAreSet_data()
    {
        QTest::addColumn<int>("offset"); // in the first per-side block
        QTest::addColumn<QString>("box");
        QTest::newRow("text enhancement") << 156 << "checkBoxEnhance";
        QTest::newRow("invert") << 172 << "checkBoxInvertColors";
        QTest::newRow("hole filling") << 173 << "checkBoxHoldFillOn";
        QTest::newRow("barcode enhancement") << 174 << "checkBoxOnOff";
        QTest::newRow("all sides match") << 180 << "checkBoxAllSideMatch";
        QTest::newRow("streak filter") << 224 << "checkBoxStreakFilterOn";
        QTest::newRow("barcode reading") << 252 << "checkBoxBarcodeReading";
    }
    void flagBytesOtherThanOneAreSet()
    {
        QFETCH(int, offset);
        QFETCH(QString, box);
        ScanMainWindow &w = *m_window;
        ScanShortcutMenu *store = w.getScanShortcutMenu();
        tagSCAN_SHORTCUT_MENU stored;
        store->getCurrentScanShortcut(stored);
        reinterpret_cast<unsigned char *>(&stored)[2608 + offset] = 2;
        store->setCurrentScanShortcut(stored);
        w.reload();
        QVERIFY(w.settingForm()->findChild<QCheckBox *>(box)->isChecked());
        QVERIFY(w.settingForm()->compareVariableAndUIControl(stored));
        tagSCAN_SHORTCUT_MENU written = stored;
        w.updateAllUIControlToVariable(written);
        QCOMPARE(int(reinterpret_cast<const unsigned char *>(&written)[2608 + offset]), 1);
    }

private:
    std::unique_ptr<ScanMainWindow> m_window;
};

QTEST_MAIN(TstSettingsInConsole)
#include "tst_settingsinconsole.moc"
