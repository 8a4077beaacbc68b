// The save progress window: its texts, the OCR clock, cancel and close.

#include "savefiledialog.h"
#include "support/testtiming.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestSaveFileDialog : public QObject
{
    Q_OBJECT
private slots:
    void progressClockAndCancel()
    {
        SaveFileDialog dialog;
        auto *status = dialog.findChild<QLabel *>("label_2");
        auto *progress = dialog.findChild<QLabel *>("label_3");
        auto *bar = dialog.findChild<QProgressBar *>("progressBar");
        auto *cancel = dialog.findChild<QPushButton *>("pushButtonCancel");
        QVERIFY(status && progress && bar && cancel);
        QCOMPARE(dialog.size(), QSize(400, 267));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("请稍后…"));
        QCOMPARE(status->text(), QStringLiteral("正在保存文件和启动应用程序"));
        QCOMPARE(progress->text(), QStringLiteral("正在格式化影像：,共。"));
        QCOMPARE(cancel->text(), QStringLiteral("取消"));
        QVERIFY(!bar->isTextVisible());

        dialog.setProgressBar(12);
        dialog.setSaveFileAmount(3, 12);
        QCOMPARE(bar->maximum(), 12);
        QCOMPARE(bar->value(), 3);
        QCOMPARE(progress->text(), QStringLiteral("正在格式化影像：3,共12。"));
        dialog.setOCRProgress(4, 12);
        QCOMPARE(progress->text(), QStringLiteral("正在进行格式化影像和OCR识别，4,共12。\n\n"));

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.grab().save(QDir::tempPath() + "/savefiledialog.png");

        dialog.setOCRStatus();
        QCOMPARE(progress->text(), QStringLiteral("正在进行OCR识别...\n\n已用时:00:00:00"));
        dialog.OnTimeOut();
        QCOMPARE(progress->text(), QStringLiteral("正在进行OCR识别.\n\n已用时:00:00:01"));
        dialog.OnTimeOut();
        dialog.OnTimeOut();
        dialog.OnTimeOut();
        QCOMPARE(progress->text(), QStringLiteral("正在进行OCR识别.\n\n已用时:00:00:04"));
        // The real clock ticks once a second.
        QTRY_COMPARE_WITH_TIMEOUT(progress->text(),
                                  QStringLiteral("正在进行OCR识别..\n\n已用时:00:00:05"), scaledMs(2500));

        // Closing cancels once; the window stays.
        QSignalSpy cancelled(&dialog, &SaveFileDialog::userCancel);
        QVERIFY(!dialog.close());
        QCOMPARE(cancelled.size(), 1);
        QVERIFY(!cancel->isEnabled());
        QVERIFY(!dialog.isHidden());
        QVERIFY(!dialog.close());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(cancelled.size(), 1);
        QVERIFY(!dialog.isHidden());
        dialog.setCancelText();
        QCOMPARE(progress->text(), QStringLiteral("正在取消保存..."));

        // Reset: placeholders empty, button back, the clock stopped; the
        // dots and seconds carry on into the next OCR status.
        dialog.reset();
        QCOMPARE(progress->text(), QStringLiteral("正在格式化影像：,共。"));
        QVERIFY(cancel->isEnabled());
        QTest::qWait(1200);
        QCOMPARE(progress->text(), QStringLiteral("正在格式化影像：,共。"));
        dialog.setOCRStatus();
        QCOMPARE(progress->text(), QStringLiteral("正在进行OCR识别..\n\n已用时:00:00:00"));
        QTest::mouseClick(cancel, Qt::LeftButton);
        QCOMPARE(cancelled.size(), 2);
    }
};

QTEST_MAIN(TestSaveFileDialog)
#include "tst_savefiledialog.moc"
