#include "commandrig.h"

#include "pmessage.h"
#include "support/testtiming.h"
#include "scanshortcut.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSignalSpy>

#include <thread>

using namespace emu;

// A scan as the command object sees it: header polls, image data in chunks,
// barcodes, and the answer to a multifed sheet.
class TestCommandScan : public QObject
{
    Q_OBJECT

    static tagREQUEST_HEADER header(quint32 size, quint8 multifeed = 0, quint8 total = 0)
    {
        tagREQUEST_HEADER h;
        h.ImageSize = size;
        h.ImageFormat = 2;  // colour
        h.ImageResolutionX = 300;
        h.ImageResolutionY = 300;
        h.ImageWidth = 10200;  // 8.5 x 11 inch: 2550 x 3300 pixels
        h.ImageHeight = 13200;
        h.Multifeed = multifeed;
        h.MultiImageTotal = total;
        return h;
    }

    static Page page(const tagREQUEST_HEADER &h, size_t imageSize)
    {
        Page p;
        QByteArray b;
        encodeRequestHeader(h, b);
        p.header = wire(b);
        p.image.resize(imageSize);
        for (size_t i = 0; i < imageSize; ++i)
            p.image[i] = uint8_t((i * 2654435761u) >> 13);
        return p;
    }

    static tagSCAN_SHORTCUT_MENU profile(InputDocumentFlag input, OxAdvancedSettingSideFlag side)
    {
        tagSCAN_SHORTCUT_MENU p;
        zeroScanShortcut(p);
        p.inputDocument = input;
        p.sideStream = side;
        return p;
    }

    // One single-image multifed sheet, read whole: the next header poll has
    // a sheet to answer for.
    static void readMultifedSheet(CommandRig &rig, OxCommand &cmd)
    {
        auto front = profile(InputDocumentFront, SideFront);
        QCOMPARE(cmd.setWindowOrder(&front), 0);
        rig.scanner.queuePage(page(header(1000, 1), 1000));
        tagREQUEST_HEADER h;
        QCOMPARE(cmd.requestHeader(h, 0, nullptr, 0, MultifeedInteractive), 0);
        QByteArray data;
        QCOMPARE(cmd.requestImage(h, data, CombineOff, 0), 0);
        int per = 0, done = 0;
        cmd.getScannedFile(&per, &done);
        QCOMPARE(per, 1);
        QCOMPARE(done, 1);
    }

    // Cancels from another thread once the host has polled for a header
    // `polls` times, as a user would while the job waits.
    static std::thread cancelAtPoll(CommandRig &rig, size_t polls)
    {
        return std::thread([&rig, polls] {
            QDeadlineTimer deadline(scaledMs(10000));
            while (rig.commands(op::kRequestHeader).size() < polls && !deadline.hasExpired())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            OxCommand::setCancelFlag(true);
        });
    }

private slots:
    void initTestCase() { QVERIFY2(EmulatedBus::preloadActive(), "umockdev preload missing"); }

    // --- image data -------------------------------------------------------

    void fiveMebibytesArriveInThreeChunks()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        const size_t size = 5 * 1024 * 1024;
        const Page p = page(header(size), size);
        rig.scanner.queuePage(p);
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), 0);
        QCOMPARE(h.ImageSize, quint32(size));

        QByteArray data; // sized by requestImage itself
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(rig.cmd.requestImage(h, data, CombineOff, 0), 0);
        qInfo("5 MiB image fetched in %lld ms", timer.elapsed());
        QVERIFY(data == qbytes(p.image));

        const auto chunks = rig.commands(op::kRequestImage);
        QCOMPARE(chunks.size(), size_t(3));
        QCOMPARE(chunks[0].length, 2097152u);
        QCOMPARE(chunks[1].length, 2097152u);
        QCOMPARE(chunks[2].length, 1048576u);
        // Each chunk was followed by its status block, and nothing is left over.
        QCOMPARE(rig.device->queuedIn(Pipe::Data), size_t(0));
        QVERIFY(rig.clean());
    }

    void emptyChunksEndTheTransfer_data()
    {
        QTest::addColumn<unsigned>("empty");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("requests");
        QTest::newRow("two empty reads are tolerated") << 2u << 0 << 3;
        QTest::newRow("three in a row give up") << 3u << int(RC_READ_FAILED) << 3;
    }
    void emptyChunksEndTheTransfer()
    {
        QFETCH(unsigned, empty);
        QFETCH(int, result);
        QFETCH(int, requests);
        CommandRig rig;
        QVERIFY(rig.ready);
        Page p = page(header(3000), 3000);
        p.emptyChunks = empty;
        rig.scanner.queuePage(p);
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), 0);
        QByteArray data;
        QCOMPARE(rig.cmd.requestImage(h, data, CombineOff, 0), result);
        QCOMPARE(int(rig.scanner.imageRequests()), requests);
        if (result == 0)
            QVERIFY(data == qbytes(p.image));
    }

    void failedChunkStopsTheTransfer()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        const size_t size = 5 * 1024 * 1024;
        rig.scanner.queuePage(page(header(size), size));
        rig.device->scriptStatus(op::kRequestImage, status::kGood);
        rig.device->scriptStatus(op::kRequestImage, status::kPaperJam);
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), 0);
        QByteArray data;
        QCOMPARE(rig.cmd.requestImage(h, data, CombineOff, 0), int(RC_PAPER_JAM));
        QCOMPARE(rig.commands(op::kRequestImage).size(), size_t(2));
    }

    void announcedSizeIsChecked()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        QByteArray data("untouched");
        QCOMPARE(rig.cmd.requestImage(header(0), data, CombineOff, 0), int(RC_DEVICE_FAILURE));

        // One square inch of grey at 100 dpi cannot need gigabytes.
        tagREQUEST_HEADER small = header(0xFFFFFFF0u);
        small.ImageFormat = 1;
        small.ImageResolutionX = small.ImageResolutionY = 100;
        small.ImageWidth = small.ImageHeight = 1200;
        QCOMPARE(rig.cmd.requestImage(small, data, CombineOff, 0), int(RC_READ_FAILED));
        QCOMPARE(data, QByteArray("untouched"));
        QVERIFY(rig.device->commands().empty());

        // The header poll refuses it too, before anyone allocates.
        rig.scanner.queuePage(page(small, 16));
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), int(RC_READ_FAILED));

        // Even the largest geometry stays under the absolute cap.
        tagREQUEST_HEADER huge = header(0);
        huge.ImageWidth = huge.ImageHeight = 0xFFFFFFFFu;
        huge.ImageResolutionX = huge.ImageResolutionY = 0xFFFF;
        QCOMPARE(OxCommand::imageSizeLimit(huge), OxCommand::kMaxImageBytes);
        QVERIFY(OxCommand::imageSizeLimit(small) < 100 * 1024);
    }

    // --- barcodes -----------------------------------------------------------

    void barcodeTexts()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        Page p = page(header(10), 10);
        p.barcodes = {"ABC-123", std::string(4096, 'Z'), "x"};
        rig.scanner.queuePage(p);
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), 0);
        QStringList texts{"earlier"};
        QCOMPARE(rig.cmd.requestBarcode(3, texts), 0);
        QCOMPARE(rig.commands(op::kRequestBarcode)[0].length, 3u * 4117u);
        QCOMPARE(texts.size(), 4);
        QCOMPARE(texts[1], QString("ABC-123"));
        // A text that fills its field ends with the field, not in the next record.
        QCOMPARE(texts[2], QString(4096, 'Z'));
        QCOMPARE(texts[3], QString("x"));
        QVERIFY(rig.clean());
    }

    void barcodeShortfallGivesEmptyTexts()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        Page p = page(header(10), 10);
        p.barcodes = {"only one"};
        rig.scanner.queuePage(p);
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), 0);
        QStringList texts;
        QCOMPARE(rig.cmd.requestBarcode(2, texts), 0);
        QCOMPARE(texts, QStringList({"only one", QString()}));

        rig.device->scriptStatus(op::kRequestBarcode, status::kFailed);
        texts.clear();
        QCOMPARE(rig.cmd.requestBarcode(1, texts), int(RC_DEVICE_FAILURE));
        QCOMPARE(texts.size(), 1);
    }

    // --- header polling -------------------------------------------------------

    void notReadyThenReady()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        Page p = page(header(10), 10);
        p.notReadyPolls = 2;
        rig.scanner.queuePage(p);
        QElapsedTimer timer;
        timer.start();
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), 0);
        QVERIFY(timer.elapsed() >= 2 * OxCommand::kPollPauseMs);
        QCOMPARE(rig.commands(op::kRequestHeader).size(), size_t(3));
        QCOMPARE(h.ImageSize, 10u);
    }

    void successWithoutHeaderPausesBeforeTheNextPoll()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        rig.device->scriptReply(op::kRequestHeader, Reply::refused(status::kGood));
        rig.device->scriptReply(op::kRequestHeader, Reply::refused(status::kGood));
        rig.scanner.queuePage(page(header(10), 10));
        QElapsedTimer timer;
        timer.start();
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), 0);
        QVERIFY(timer.elapsed() >= 2 * OxCommand::kPollPauseMs);
        QCOMPARE(rig.commands(op::kRequestHeader).size(), size_t(3));
    }

    void cancelWhileTheDeviceAnswersSuccessWithoutHeader()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        for (int i = 0; i < 50; ++i)
            rig.device->scriptReply(op::kRequestHeader, Reply::refused(status::kGood));
        OxCommand::setCancelFlag(true);
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), int(RC_CANCELLED));
        OxCommand::setCancelFlag(false);
        QCOMPARE(rig.commands(op::kRequestHeader).size(), size_t(1));
    }

    void finalAnswersEndThePoll()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        tagREQUEST_HEADER h;
        h.WindowId = 77;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, MultifeedInteractive), int(RC_END_OF_OUTPUT));
        rig.device->scriptReply(op::kRequestHeader, Reply::refused(status::kPaperJam));
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), int(RC_PAPER_JAM));
        // 460 bytes are no header: they are read as a status block.
        Reply short460 = Reply::ok(Bytes(460, 0));
        short460.sendStatus = false;
        rig.device->scriptReply(op::kRequestHeader, short460);
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), int(RC_STATUS_SIGNATURE));
        QCOMPARE(int(h.WindowId), 77);
    }

    void cancelWhileNoImageIsReady()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        Page p = page(header(10), 10);
        p.notReadyPolls = 1000;
        rig.scanner.queuePage(p);
        std::thread gui = cancelAtPoll(rig, 2);
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), int(RC_CANCELLED));
        gui.join();
        QVERIFY(rig.commands(op::kRequestHeader).size() >= 2);
        QVERIFY(OxCommand::m_bCancel.load()); // left for the job to see
    }

    // --- multifed sheets ------------------------------------------------------

    void hostAnswerIsSentInsteadOfAHeader()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        readMultifedSheet(rig, rig.cmd);
        const size_t polls = rig.commands(op::kRequestHeader).size();
        OxCommand::setMultifeedUserInput(3);
        int answer = 0;
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 1, &answer, 0, MultifeedInteractive), 0);
        QCOMPARE(answer, 3);
        QCOMPARE(rig.scanner.hostInputs(), std::vector<uint8_t>{3});
        QCOMPARE(OxCommand::m_nUserInputKey.load(), 0);
        QCOMPARE(rig.commands(op::kRequestHeader).size(), polls);
    }

    void panelAnswerIsEchoedAndAnnounced()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        PMessage hub;
        OxCommand cmd(&hub);
        cmd.setPort(&rig.port);
        QSignalSpy spy(&hub, &PMessage::userInputFromPanel);
        readMultifedSheet(rig, cmd);
        // The panel has no answer for two polls; meanwhile the device has no
        // more output and the host keeps asking.
        rig.scanner.queuePanelInput(0);
        rig.scanner.queuePanelInput(0);
        rig.scanner.queuePanelInput(1);
        int answer = 0;
        tagREQUEST_HEADER h;
        QCOMPARE(cmd.requestHeader(h, 1, &answer, 0, MultifeedInteractive), 0);
        QCOMPARE(answer, 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 1);
        QCOMPARE(rig.scanner.hostInputs(), std::vector<uint8_t>{1});
        QCOMPARE(rig.commands(op::kRequestHeader).size(), size_t(3));
    }

    void cancelWhileTheAnswerIsAwaitedAnswersStop()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        readMultifedSheet(rig, rig.cmd);
        std::thread gui = cancelAtPoll(rig, rig.commands(op::kRequestHeader).size() + 1);
        int answer = 0;
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 1, &answer, 0, MultifeedInteractive), 0);
        gui.join();
        QCOMPARE(answer, 2);
        QCOMPARE(rig.scanner.hostInputs(), std::vector<uint8_t>{2});
    }

    void endOfOutputEndsOtherMultifeedResponses()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        readMultifedSheet(rig, rig.cmd);
        int answer = 0;
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 1, &answer, 0, MultifeedPauseKeepImage + 1), int(RC_END_OF_OUTPUT));
        QCOMPARE(answer, 0);
    }

    void incompleteSheetAsksNoAnswer()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        auto both = profile(InputDocumentBoth, SideBoth); // two images per sheet
        QCOMPARE(rig.cmd.setWindowOrder(&both), 0);
        rig.scanner.queuePage(page(header(10, 1), 10));
        rig.scanner.queuePage(page(header(20, 1), 20));
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, MultifeedInteractive), 0);
        QByteArray data;
        QCOMPARE(rig.cmd.requestImage(h, data, CombineOff, 0), 0);
        OxCommand::setMultifeedUserInput(1);
        int answer = 0;
        QCOMPARE(rig.cmd.requestHeader(h, 1, &answer, 0, MultifeedInteractive), 0);
        QCOMPARE(answer, 0);
        QCOMPARE(h.ImageSize, 20u);
        QVERIFY(rig.commands(op::kUserInput).empty());
        QCOMPARE(OxCommand::m_nUserInputKey.load(), 1); // kept for the complete sheet
    }

    // --- sheet counting -------------------------------------------------------

    void multifedImagesAreCountedIntoTheSheet()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        auto both = profile(InputDocumentBoth, SideBoth);
        QCOMPARE(rig.cmd.setWindowOrder(&both), 0);
        // An image of a two-image split sheet, scanned on both sides.
        rig.scanner.queuePage(page(header(10, 1, 2), 10));
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), 0);
        QByteArray data;
        QCOMPARE(rig.cmd.requestImage(h, data, CombineOff, 0), 0);
        int per = 0, done = 0;
        rig.cmd.getScannedFile(&per, &done);
        QCOMPARE(per, 4);
        QCOMPARE(done, 1);

        for (int i = 0; i < 3; ++i)
            rig.cmd.multifeedAndSpliteMode(2, CombineOff, 0);
        rig.cmd.getScannedFile(nullptr, &done);
        QCOMPARE(done, 4); // complete
        rig.cmd.multifeedAndSpliteMode(2, CombineOff, 1);
        rig.cmd.getScannedFile(nullptr, &done);
        QCOMPARE(done, 2); // a new sheet, two per call in preview
        rig.cmd.resetScannedFile();
        rig.cmd.multifeedAndSpliteMode(0, CombineFrontBack, 0);
        rig.cmd.getScannedFile(&per, &done);
        QCOMPARE(per, 4);
        QCOMPARE(done, 2); // front and back counted together
    }

    // A reply the host gave up on may still come, with its status, after
    // the time-out. The next command (the job's scanEnd) must read its own
    // reply, not the stale image: a real device would hand scanEnd's read
    // the 5000 image bytes first. The emulator drops replies still unread
    // when a command block comes and reports that as a host mistake.
    void commandAfterAFailedReadReadsItsOwnReply()
    {
        LinkTimeouts::set(LinkTimeouts::Data, 300);
        CommandRig rig;
        QVERIFY(rig.ready);
        rig.scanner.queuePage(page(header(5000), 5000));
        tagREQUEST_HEADER h;
        QCOMPARE(rig.cmd.requestHeader(h, 0, nullptr, 0, 0), 0);
        rig.device->injectFault({Pipe::Data, Direction::In, FaultKind::NoAnswer, 0, 0, 0});
        QByteArray data;
        QCOMPARE(rig.cmd.requestImage(h, data, CombineOff, 0), int(RC_READ_FAILED));

        Bytes end(20, 0);
        end[16] = 0x01, end[17] = 0x02, end[18] = 0x03, end[19] = 0x04;
        rig.device->setRecord(rec::kScanEnd, end);
        tagSCAN_END record;
        QCOMPARE(rig.cmd.scanEnd(record), 0);
        QCOMPARE(record.StampStartIndex, 0x01020304u);
        QVERIFY2(rig.clean(), rig.device->protocolErrors().empty()
                                  ? ""
                                  : rig.device->protocolErrors().front().c_str());
        // The next exchange starts without waiting for stale replies: with a
        // long time-out, a wait for them would show.
        const int dataTimeout = scaledMs(10000);
        LinkTimeouts::set(LinkTimeouts::Data, dataTimeout);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(rig.cmd.checkInterfaceVersion(), 0);
        QVERIFY2(clock.elapsed() < dataTimeout / 2, qPrintable(QString::number(clock.elapsed())));
        LinkTimeouts::set(LinkTimeouts::Data, 0);
    }
};

EMULATOR_TEST_MAIN(TestCommandScan)
#include "tst_commandscan.moc"
