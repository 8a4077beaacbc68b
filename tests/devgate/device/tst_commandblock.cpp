#include "commandblock.h"
#include "errorhandling.h"
#include "locktask.h"

#include <QtTest>

using namespace CommandBlock;

// The wire blocks of the data and lock pipes, without any I/O.
class TestCommandBlock : public QObject
{
    Q_OBJECT

    static QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

private slots:
    void commandBlockLayout_data()
    {
        QTest::addColumn<quint8>("direction");
        QTest::addColumn<quint8>("opcode");
        QTest::addColumn<quint32>("length");
        QTest::addColumn<QByteArray>("params");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("checkInterfaceVersion")
            << quint8(0x80) << quint8(0x01) << quint32(2) << hex("001200000000")
            << hex("434d4400 00000001 00000002 80 01 001200000000");
        QTest::newRow("calibrate test magnification")
            << quint8(0x80) << quint8(0x50) << quint32(10) << hex("004000000400")
            << hex("434d4400 00000050 0000000a 80 50 004000000400");
        QTest::newRow("host to device, big length")
            << quint8(0x00) << quint8(0x9C) << quint32(0x01020304) << hex("000000000000")
            << hex("434d4400 0000009c 01020304 00 9c 000000000000");
        QTest::newRow("all parameters")
            << quint8(0x00) << quint8(0xFF) << quint32(0xFFFFFFFF) << hex("a1a2a3a4a5a6")
            << hex("434d4400 000000ff ffffffff 00 ff a1a2a3a4a5a6");
    }
    void commandBlockLayout()
    {
        QFETCH(quint8, direction);
        QFETCH(quint8, opcode);
        QFETCH(quint32, length);
        QFETCH(QByteArray, params);
        QFETCH(QByteArray, wire);
        Params p;
        for (int i = 0; i < 6; ++i)
            p.p[i] = quint8(params[i]);
        QCOMPARE(encodeCommandBlock(makeHeader(direction, opcode, length, p)), wire);
    }

    void commandBlockNeedsRoom()
    {
        char small[19];
        memset(small, 0x5A, sizeof small);
        QVERIFY(!encodeCommandBlock(makeHeader(0x80, 1, 2), small, sizeof small));
        QCOMPARE(QByteArray(small, sizeof small), QByteArray(19, 0x5A));
    }

    void statusMapping_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("trace");
        QTest::newRow("0") << 0 << 0 << QString();
        const char *names[] = {"SCANNER_NO_IMAGE_READY", "SCANNER_END_OF_OUTPUT", "SCANNER_PAPER_JAM",
                               "SCANNER_MULTIFEED", "SCANNER_LAMPS_WARMING"};
        for (int code = 1; code <= 5; ++code)
            QTest::addRow("%d", code) << code << -19 - code << QString(names[code - 1]);
        QTest::newRow("6") << 6 << -1 << "SCANNER_FAILED: 6";
        const char *later[] = {"SCANNER_COVER_OPEN", "SCANNER_CALIBRATION_REQUIRED",
                               "SCANNER_WHITE_PATCH_AREA_NOT_FOUND", "SCANNER_PRINT_HEAD_NOT_PRESENT",
                               "SCANNER_CLEAN_IMAGING_GUIDES", "SCANNER_FEED_CARTRIDGE_NOT_PRESENT",
                               "SCANNER_ECDO_CUSTOM_LEARN_FAIL"};
        for (int code = 7; code <= 13; ++code)
            QTest::addRow("%d", code) << code << -18 - code << QString(later[code - 7]);
        QTest::newRow("14") << 14 << -1 << "The scanner is in the Critical Error state.";
        QTest::newRow("15") << 15 << -32 << "SCANNER_ECDO_CUSTOM_NOT_SINGLE";
        for (int code : {16, 17, 128, 255})
            QTest::addRow("%d", code) << code << -1 << QString("SCANNER_FAILED: %1").arg(code);
    }
    void statusMapping()
    {
        QFETCH(int, code);
        QFETCH(int, result);
        QFETCH(QString, trace);
        QByteArray block = hex("53545300 deadbeef 00 ffffff");
        block[8] = char(code);
        const StatusMeaning m = statusMeaning(decodeStatusBlock(block.constData(), size_t(block.size())));
        QCOMPARE(m.result, result);
        QCOMPARE(m.traceText, trace);
    }

    void everyCodeMapsIntoTheResultRange()
    {
        for (int code = 0; code < 256; ++code) {
            tagSTS_HEADER s;
            s.signature = kStatusSignature;
            s.status = quint8(code);
            const int r = statusMeaning(s).result;
            QVERIFY2(r == 0 || r == -1 || (r <= -20 && r >= -32), qPrintable(QString::number(code)));
            QCOMPARE(r == 0, code == 0);
        }
    }

    void signatureAndShortBlocks()
    {
        const QByteArray xyz = hex("58595a00 00000000 00 000000");
        QCOMPARE(statusMeaning(decodeStatusBlock(xyz.constData(), 12)).result, int(RC_STATUS_SIGNATURE));
        QCOMPARE(statusMeaning(decodeStatusBlock(xyz.constData(), 12)).traceText, QString("Not command"));
        const QByteArray lower = hex("73747300 00000000 00 000000"); // "sts": case matters
        QCOMPARE(statusMeaning(decodeStatusBlock(lower.constData(), 12)).result, int(RC_STATUS_SIGNATURE));

        // Bytes beyond a short buffer read as zero; nothing beyond is touched.
        const QByteArray nine = hex("53545300 01020304 03");
        const tagSTS_HEADER s = decodeStatusBlock(nine.constData(), size_t(nine.size()));
        QCOMPARE(s.signature, kStatusSignature);
        QCOMPARE(s.reserved, 0x01020304u);
        QCOMPARE(int(s.status), 3);
        QCOMPARE(int(s.tail[0]) + s.tail[1] + s.tail[2], 0);
        QCOMPARE(statusMeaning(decodeStatusBlock(nullptr, 0)).result, int(RC_STATUS_SIGNATURE));
        // A longer buffer: only the first 12 bytes count.
        const QByteArray longer = hex("53545300 00000000 07 000000 53545300");
        QCOMPARE(statusMeaning(decodeStatusBlock(longer.constData(), size_t(longer.size()))).result,
                 int(RC_COVER_OPEN));
    }

    void lockTaskTexts()
    {
        const QByteArray lock = LockTask::lockTask();
        QCOMPARE(lock.size(), 130);
        QVERIFY(lock.startsWith("<task bytes='00000000000000000130' id='00000000000000000001' "
                                "reply='00000000000000000000'>\n\t<resourcelock>\n"));
        QVERIFY(lock.endsWith("</resourcelock>\n</task>"));

        const QByteArray log = LockTask::logLockTask();
        QCOMPARE(log.size(), 241);
        QVERIFY(log.contains("bytes='00000000000000000256'"));
        QVERIFY(log.contains("<locktimeout>120</locktimeout>\r\n<skiplocknotification>true"));

        const QByteArray unlock = LockTask::unlockTask("0123456789");
        QCOMPARE(unlock.size(), 166);
        QVERIFY(unlock.contains("bytes='00000000000000000166'"));
        QVERIFY(unlock.contains("\n\t<resourceunlock>\n\t\t<lockid>0123456789</lockid>\n\t</resourceunlock>\n</task>\n"));
        QCOMPARE(LockTask::unlockTask("abc").size(), 159);
        // The id goes out as Latin-1, one byte per character.
        QVERIFY(LockTask::unlockTask(QString::fromUtf8("\xc3\xa9")).contains("<lockid>\xe9</lockid>"));
    }

    void lockReplies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("lockId");
        using S = LockTask::Status;
        QTest::newRow("success") << "<a><status>success</status><lockid>ID-42</lockid></a>" << int(S::Success) << "ID-42";
        QTest::newRow("id first") << "<lockid>X</lockid>\n<status>success</status>" << int(S::Success) << "X";
        QTest::newRow("success without id") << "<status>success</status>" << int(S::Success) << "";
        QTest::newRow("unclosed id") << "<status>success</status><lockid>abc" << int(S::Success) << "";
        QTest::newRow("busy") << "<r>\n\t<status>busy</status></r>" << int(S::Busy) << "";
        QTest::newRow("waking") << "<status>waking</status>" << int(S::Waking) << "";
        QTest::newRow("upper case") << "<status>SUCCESS</status><lockid>1</lockid>" << int(S::Failed) << "";
        QTest::newRow("blank inside") << "<status> success</status>" << int(S::Failed) << "";
        QTest::newRow("no status") << "<lockid>1</lockid>" << int(S::Failed) << "";
        QTest::newRow("unclosed status") << "<status>success" << int(S::Failed) << "";
        QTest::newRow("stray close first") << "</status><status>busy</status>" << int(S::Busy) << "";
        QTest::newRow("first element counts") << "<status>busy</status><status>success</status>" << int(S::Busy) << "";
        QTest::newRow("empty") << "" << int(S::Failed) << "";
    }
    void lockReplies()
    {
        QFETCH(QString, reply);
        QFETCH(int, status);
        QFETCH(QString, lockId);
        const LockTask::Reply r = LockTask::parseLockReply(reply);
        QCOMPARE(int(r.status), status);
        QCOMPARE(r.lockId, lockId);
    }

    void replyTextStopsAtZero()
    {
        const char buffer[] = "<status>success</status>\0<lockid>hidden</lockid>";
        const QString text = LockTask::replyText(buffer, sizeof buffer - 1);
        QCOMPARE(text, QString("<status>success</status>"));
        QCOMPARE(LockTask::parseLockReply(text).lockId, QString());
        const char full[4] = {'a', 'b', 'c', 'd'}; // no zero at all: every byte counts
        QCOMPARE(LockTask::replyText(full, 4), QString("abcd"));
        QCOMPARE(LockTask::replyText("\xe9", 1), QString::fromUtf8("\xc3\xa9"));
        QVERIFY(LockTask::unlockSucceeded("x <status>success</status> y"));
        QVERIFY(!LockTask::unlockSucceeded("<status>invalidlockid</status>"));
    }
};

QTEST_GUILESS_MAIN(TestCommandBlock)
#include "tst_commandblock.moc"
