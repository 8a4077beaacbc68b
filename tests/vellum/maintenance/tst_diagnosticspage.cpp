// The diagnostics page's own rules and the calibration dialog, offscreen and
// with no scanner: profile exchange, the device type, clearing the
// magnification corrections, choosing a calibration.
#include "adjustingdialog.h"
#include "devicesaveasdialog.h"
#include "diagnosticsform.h"
#include "pmessage.h"
#include "scanshortcutmenu.h"
#include "smallrecords.h"
#include "support/builtinprofiles.h"
#include "support/desktopurls.h"
#include "support/modalanswer.h"
#include "vellumglobal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

using testsupport::ModalAnswerer;

namespace {

QDoubleSpinBox *factor(QWidget &w, const char *name)
{
    return w.findChild<QDoubleSpinBox *>(name);
}

const char *const kFactors[] = {"doubleSpinBoxFrontX", "doubleSpinBoxFrontY", "doubleSpinBoxRearX",
                                "doubleSpinBoxRearY"};

} // namespace

class TestDiagnosticsPage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        PMessage::registerMetaTypes();
        g_VellumCfgFile.loadConfigFile(QCoreApplication::applicationDirPath());
    }

    void profileExchange()
    {
        PMessage hub;
        DiagnosticsForm page(&hub);
        QSignalSpy changed(&hub, &PMessage::controlValueChanged);
        tagSCAN_SHORTCUT_MENU p = testsupport::builtInProfiles().at(0);
        p.frontX = 12345.0;
        p.frontY = 10000.0;
        p.rearX = 0.5005 * 10000;
        p.rearY = 20000.0;
        p.countOnly = true;
        p.diagnosticsEquipment = DiagnosticsFlatbed;
        p.diagnosticsLog = DiagnosticsLogOperator;
        QVERIFY(page.updateDiagnosePageVariableToUIControl(p));
        QCOMPARE(factor(page, "doubleSpinBoxFrontX")->value(), 1.2345);
        QCOMPARE(factor(page, "doubleSpinBoxRearX")->value(), 0.5005);
        QCOMPARE(factor(page, "doubleSpinBoxFrontX")->decimals(), 4);
        QVERIFY(page.findChild<QCheckBox *>("checkBoxCountOnly")->isChecked());
        QCOMPARE(page.findChild<QComboBox *>("comboBoxLog")->currentText(),
                 QStringLiteral("操作员"));
        QVERIFY(page.compareVariableAndUIControl(p));
        QVERIFY(changed.count() > 0);

        // Stored as the product, not rounded.
        tagSCAN_SHORTCUT_MENU back = testsupport::builtInProfiles().at(0);
        page.updateDiagnosePageUIControlToVariable(back);
        QCOMPARE(back.frontX, 1.2345 * 10000);
        QCOMPARE(back.rearX, 0.5005 * 10000);
        QCOMPARE(back.diagnosticsEquipment, DiagnosticsFlatbed);
        QCOMPARE(back.diagnosticsLog, DiagnosticsLogOperator);
        QVERIFY(back.countOnly);

        // Only the factors and count-only are compared.
        tagSCAN_SHORTCUT_MENU other = back;
        other.diagnosticsEquipment = DiagnosticsFeeder;
        other.diagnosticsLog = DiagnosticsLogScan;
        QVERIFY(page.compareVariableAndUIControl(other));
        other.rearY = 19999.0;
        QVERIFY(!page.compareVariableAndUIControl(other));

        // Values that match no entry leave the combo boxes as they were.
        other.diagnosticsEquipment = DiagnosticsEquipmentFlag(9);
        other.diagnosticsLog = DiagnosticsLogFlag(3);
        page.updateDiagnosePageVariableToUIControl(other);
        QCOMPARE(page.findChild<QComboBox *>("comboBoxDiagnosticsEquipment")->currentText(),
                 QStringLiteral("平板"));
        QCOMPARE(page.findChild<QComboBox *>("comboBoxLog")->currentText(),
                 QStringLiteral("操作员"));
    }

    void deviceTypeAndPaperSource()
    {
        PMessage hub;
        DiagnosticsForm page(&hub);
        auto *equipment = page.findChild<QComboBox *>("comboBoxDiagnosticsEquipment");
        auto *group = page.findChild<QGroupBox *>("groupBoxCorrectedMagnification");
        auto *calibrate = page.findChild<QWidget *>("pushButtonAdjusting");
        auto *test = page.findChild<QWidget *>("pushButtonScanner");
        QCOMPARE(equipment->count(), 2);
        QVERIFY(!group->isHidden());
        equipment->setCurrentIndex(1);
        QVERIFY(group->isHidden() && calibrate->isHidden() && test->isHidden());
        QVERIFY(!page.findChild<QWidget *>("checkBoxCountOnly")->isHidden());
        equipment->setCurrentIndex(0);
        QVERIFY(!group->isHidden() && !calibrate->isHidden() && !test->isHidden());

        page.updatePaperSourceState(1, "S", "F", 3);
        QVERIFY(!equipment->isEnabled());
        page.updatePaperSourceState(0, "S", "F", 3);
        QVERIFY(equipment->isEnabled());

        auto *tabs = page.findChild<QTabWidget *>("tabWidget");
        QCOMPARE(tabs->tabText(0), QStringLiteral("一般"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("日志"));
        tabs->setCurrentIndex(1);
        page.resetDialogIndex();
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(page.findChild<QTextEdit *>("textEditLog")->isReadOnly());
        QVERIFY(tabs->minimumWidth() >= 793 && tabs->minimumHeight() >= 530);
        page.show();
        QTemporaryDir dir;
        dir.setAutoRemove(false);
        QVERIFY(page.grab().save(dir.path() + "/diagnostics.png"));
    }

    void clearingTheCorrections()
    {
        PMessage hub;
        DiagnosticsForm page(&hub);
        for (const char *name : kFactors)
            factor(page, name)->setValue(1.5);
        // Opens the calibration dialog, presses Clear once, answers the
        // question, then leaves the dialog with Cancel.
        const auto clearAnswering = [&](const QString &answer) {
            bool cleared = false;
            ModalAnswerer user([&](QWidget *w, const testsupport::ModalSeen &seen) {
                if (seen.title == QStringLiteral("确认删除"))
                    ModalAnswerer::press(w, answer);
                else if (auto *d = qobject_cast<AdjustingDialog *>(w)) {
                    if (cleared)
                        return d->reject();
                    cleared = true;
                    // Later, so that the answerer is free for the question.
                    QTimer::singleShot(0, d->findChild<QPushButton *>("pushButtonClean"),
                                       &QPushButton::click);
                }
            });
            page.findChild<QPushButton *>("pushButtonAdjusting")->click();
            return user.seen();
        };
        const auto seen = clearAnswering(QStringLiteral("否"));
        QCOMPARE(seen.size(), 3);
        QCOMPARE(
            seen.at(1).text,
            QStringLiteral("此操作将清除所有的放大倍率修正值。\n确定要清除放大倍率修正值吗？"));
        QCOMPARE(seen.at(1).defaultButton, QStringLiteral("是"));
        for (const char *name : kFactors)
            QCOMPARE(factor(page, name)->value(), 1.5);

        clearAnswering(QStringLiteral("是"));
        for (const char *name : kFactors)
            QCOMPARE(factor(page, name)->value(), 1.0);
    }

    void choosingACalibration()
    {
        PMessage hub;
        QSignalSpy ensure(&hub, &PMessage::calibrateEnsureBtn);
        {
            AdjustingDialog dialog(3, &hub);
            auto *type = dialog.findChild<QComboBox *>("comboBoxType");
            QCOMPARE(dialog.windowTitle(), QStringLiteral("校准"));
            QCOMPARE(type->currentText(), QStringLiteral("UDDS"));
            QVERIFY(dialog.findChild<QWidget *>("pushButtonClean")->isHidden());
            QVERIFY(dialog.findChild<QTextEdit *>("textEditType")
                        ->toPlainText()
                        .startsWith(QStringLiteral("请将 A4 尺寸")));
            type->setCurrentIndex(0);
            QVERIFY(!dialog.findChild<QWidget *>("pushButtonClean")->isHidden());
            type->setCurrentIndex(1);
            QVERIFY(dialog.findChild<QWidget *>("pushButtonClean")->isHidden());
            dialog.show();
            QTemporaryDir dir;
            dir.setAutoRemove(false);
            QVERIFY(dialog.grab().save(dir.path() + "/calibration.png"));
            DeviceSaveAsDialog logDialog;
            logDialog.show();
            QVERIFY(logDialog.grab().save(dir.path() + "/device-log.png"));
            dialog.findChild<QPushButton *>("pushButtonExit")->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(ensure.count(), 0);
        }

        // OK closes the dialog, then asks for the calibration; the page
        // remembers the type for its next opening.
        DiagnosticsForm page(&hub);
        QCOMPARE(page.adjustingType(), 1);
        AdjustingDialog dialog(1, &hub, &page);
        dialog.findChild<QComboBox *>("comboBoxType")->setCurrentIndex(1);
        int resultWhenAsked = -1;
        connect(&hub, &PMessage::calibrateEnsureBtn, this,
                [&] { resultWhenAsked = dialog.result(); });
        dialog.findChild<QPushButton *>("pushButtonEnsure")->click();
        QCOMPARE(ensure.count(), 1);
        QCOMPARE(ensure.at(0).at(0).toInt(), 2);
        QCOMPARE(resultWhenAsked, int(QDialog::Accepted));
        QCOMPARE(page.adjustingType(), 2);
    }

    void buttonsOpenTheirWindows()
    {
        PMessage hub;
        DiagnosticsForm page(&hub);
        QSignalSpy hidden(&hub, &PMessage::hideDiagnosticsForm);
        page.findChild<QPushButton *>("pushButtonDiagnosticsComplete")->click();
        QCOMPARE(hidden.count(), 1);

        // Save with the General or Operator view: the device-log package
        // dialog, not the text save.
        ModalAnswerer cancel(QStringLiteral("取消"));
        for (int position : {0, 1}) {
            page.findChild<QComboBox *>("comboBoxLog")->setCurrentIndex(position);
            page.findChild<QPushButton *>("pushButtonSaveAs")->click();
            QCOMPARE(cancel.last().className, QStringLiteral("DeviceSaveAsDialog"));
            QCOMPARE(cancel.last().title, QStringLiteral("另存为"));
        }
        QCOMPARE(cancel.count(), 2);
        cancel.setButtonText(QStringLiteral("确定"));
        page.findChild<QPushButton *>("pushButtonAbout")->click();
        QCOMPARE(cancel.last().className, QStringLiteral("AboutDialog"));

        // Help opens the settings guide through the desktop's handler.
        testsupport::DesktopUrls catcher;
        page.findChild<QPushButton *>("pushButtonHelp")->click();
        QCOMPARE(catcher.urls.size(), 1);
        QVERIFY(catcher.urls.at(0).isLocalFile());
        QVERIFY(catcher.urls.at(0).toLocalFile().endsWith("Scan_Settings_Guide_ZH_CN.pdf"));
    }

    void reportPieces()
    {
        tagTIME_DATE_LOCAL clock;
        clock.year = 2026;
        clock.month = 3;
        clock.day = 9;
        clock.hour = 7;
        clock.minute = 5;
        QCOMPARE(DiagnosticsForm::clockText(clock, true), QStringLiteral("2026/3/9 7:5"));
        QCOMPARE(DiagnosticsForm::clockText(clock, false), QStringLiteral("—"));
        // Lines shorter than the device's label still give the label.
        QCOMPARE(DiagnosticsForm::counterLines("a\nb\nshort"), QStringLiteral("开机: 小时\n"));
        QCOMPARE(DiagnosticsForm::counterLines(QString()), QString());

        // Nothing heard from a scanner yet: its values show as dashes (the
        // column they line up in is the layout test's).
        PMessage hub;
        DiagnosticsForm page(&hub);
        int rc = 0;
        const QStringList lines = page.deviceReport(rc).split('\n');
        QVERIFY(lines.contains(QStringLiteral("扫描仪机型:           — (USBSCAN/2.0)")));
        QVERIFY(lines.contains(QStringLiteral("序列号:               —")));
        QVERIFY(lines.contains(QStringLiteral("固件:                 —")));
    }
};

QTEST_MAIN(TestDiagnosticsPage)
#include "tst_diagnosticspage.moc"
