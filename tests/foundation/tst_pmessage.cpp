#include "pmessage.h"
#include "support/testtiming.h"

#include <QCoreApplication>
#include <QMetaMethod>
#include <QThread>
#include <QtTest>

#include <atomic>

class TestPMessage : public QObject
{
    Q_OBJECT
private slots:
    void exactlyTheSignalsInOrder()
    {
        const QStringList expected = {
            "controlValueChanged()", "showDiagnosticsForm()", "hideDiagnosticsForm()",
            "showSettingToolForm()", "hideSettingToolForm()", "calibrateEnsureBtn(int)",
            "changedInputDocTypeSettingToolToMain(InputDocumentFlag,bool)",
            "changedInputDocTypeMainToSettingTool(InputDocumentFlag)", "postErrorCode(int)",
            "calibrateStatus(int,bool)", "currentIndexChangeScanShortcut()",
            "createTwoSideOrFrontOrBack(InputDocumentFlag,PerImageFlag,bool,AdvancedColorCountFlag,"
            "QString,QString,QString,QString)",
            "changedImageSizeUnit(ImageSizeUnitFlag)", "settingToolRotateAndCenter(bool)",
            "settingToolPreviewSize(double,double,double,double,double)",
            "settingSizePreview(double,double,double,double)",
            "changedPaperSource(AdfPaperSourceFlag)", "changedInputAdvancedToMain(AdfPaperSourceFlag)",
            "settingColorMode(ColorModeFlag,SettingToolSideFlag,int)", "settingColorModeOx(ColorModeFlag)",
            "sendPreviewFilename(SCAN_SHORTCUT_MENU*,QString)", "clearPreviewFilaname()",
            "updatePreviewMode()", "changedPreivewQuality(PreviewQualityFlag)",
            "changedPreivewAutoUpdate(PreviewAutoUpdateFlag)", "changedImageUnits(ImageSizeUnitFlag)",
            "startPreviewScan()", "changePreviewMode(bool)", "sendPreviewMode(int)",
            "sendBlankImageContent(int,uchar)", "changedPaperIndex(int)", "updateStampIndexValue(bool)",
            "clickedLearn()", "sendAutoColorValue(int,int)", "saveAdvancedSetting()",
            "previewAutoUpdate()", "setResolution(ImageResolutionFlag)",
            "manyCurrentControl(bool,bool,bool,int,InputDocumentFlag)",
            "imageAreaChangeMulLength(int,double)", "currentImageHeightChange(double)", "updateDevice()",
            "updatePaperStatus(bool,bool)", "scanFinish(SCAN_SHORTCUT_MENU*,int,int,int,int,int)",
            "scanFileName(SCAN_SHORTCUT_MENU*,QString,schar,QStringList,int,int,int,int)",
            "cancelScanningJob(PMessage::CancelOwnerFlag)", "pressTouchPanel(int)",
            "userInputFromPanel(int)", "scanningMultifeed(QStringList)"};
        const QMetaObject &mo = PMessage::staticMetaObject;
        QCOMPARE(mo.methodCount() - mo.methodOffset(), 48);
        QCOMPARE(expected.size(), 48);
        for (int i = 0; i < 48; ++i) {
            const QMetaMethod m = mo.method(mo.methodOffset() + i);
            QCOMPARE(m.methodType(), QMetaMethod::Signal);
            QCOMPARE(QString::fromLatin1(m.methodSignature()), expected.at(i));
        }
        // Argument names that receivers connect by are spelled as the hub has them.
        const QMetaMethod preview = mo.method(mo.indexOfSignal("sendPreviewFilename(SCAN_SHORTCUT_MENU*,QString)"));
        QCOMPARE(preview.parameterNames().at(1), QByteArray("strFilrname"));
    }

    void everyArgumentTypeIsQueueable()
    {
        PMessage hub;
        const QMetaObject &mo = PMessage::staticMetaObject;
        for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
            const QMetaMethod m = mo.method(i);
            for (int p = 0; p < m.parameterCount(); ++p)
                QVERIFY2(m.parameterType(p) != QMetaType::UnknownType,
                         qPrintable(m.methodSignature() + " arg " + QByteArray::number(p)));
        }
    }

    void postErrorCodeBlocksUntilHandled()
    {
        PMessage hub;
        std::atomic<bool> handled{false};
        std::atomic<bool> returnedAfterHandled{false};
        connect(&hub, &PMessage::postErrorCode, this, [&](int code) {
            QCOMPARE(code, -22);
            QCOMPARE(QThread::currentThread(), QCoreApplication::instance()->thread());
            QThread::msleep(50);
            handled = true;
        }, Qt::BlockingQueuedConnection);
        QThread *worker = QThread::create([&] {
            emit hub.postErrorCode(-22);
            returnedAfterHandled = handled.load();
        });
        worker->start();
        QTRY_VERIFY(worker->isFinished());
        worker->wait();
        delete worker;
        QVERIFY(handled);
        QVERIFY(returnedAfterHandled);
    }

    void directPageSignalRunsOnEmitter_queuedOthersOnGui()
    {
        PMessage hub;
        QThread *seenPage = nullptr;
        QThread *seenStatus = nullptr;
        QStringList barcodes;
        connect(&hub, &PMessage::scanFileName, this,
                [&](SCAN_SHORTCUT_MENU *, QString, schar, QStringList codes, int, int, int, int) {
                    seenPage = QThread::currentThread();
                    barcodes = codes;
                }, Qt::DirectConnection);
        connect(&hub, &PMessage::updatePaperStatus, this,
                [&](bool, bool) { seenStatus = QThread::currentThread(); });
        QThread *emitter = nullptr;
        QThread *worker = QThread::create([&] {
            emitter = QThread::currentThread();
            emit hub.scanFileName(nullptr, "p.jpg", 1, {"A1"}, 10, 20, 200, 2);
            emit hub.updatePaperStatus(true, false);
        });
        worker->start();
        QVERIFY(worker->wait(scaledMs(5000)));
        QCOMPARE(seenPage, emitter);
        QCOMPARE(barcodes, QStringList{"A1"});
        QTRY_COMPARE(seenStatus, QCoreApplication::instance()->thread());
        delete worker;
    }
};

QTEST_GUILESS_MAIN(TestPMessage)
#include "tst_pmessage.moc"
