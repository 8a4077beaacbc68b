// Writes the seed corpora of fuzz_lockstatus, fuzz_records, fuzz_eventpipe
// and fuzz_files from what the emulated scanner, its event service and the
// product's own writers really produce. (fuzz_scanexchange records its seeds
// itself, see CORVAN_FUZZ_RECORD.) Run by tools/fuzz.sh --seed; the result
// is committed under tests/fuzz/corpus/.
//
//   fuzz_makecorpus <corpus directory>
#include "buttoneventcodec.h"
#include "configfile.h"
#include "eventservice.h"
#include "freetypehelper.h"
#include "locktask.h"
#include "records.h"
#include "scannercommands.h"
#include "scannerconfig.h"
#include "scanpaperlog.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"
#include "smallrecords.h"
#include "stampfont.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace emu;

namespace {

QString g_root;

QByteArray qbytes(const Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
}

void seed(const char *target, const QString &name, const QByteArray &bytes)
{
    const QString dir = g_root + "/" + target;
    QDir().mkpath(dir);
    QFile f(dir + "/" + name);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
}

QByteArray le16(int n)
{
    QByteArray b;
    b.append(char(n & 0xff));
    b.append(char((n >> 8) & 0xff));
    return b;
}

// The reply to one data-pipe command: everything the device sends back.
std::vector<QByteArray> exchange(ScannerEmulator &device, uint8_t opcode, uint8_t direction,
                                 uint32_t length, const Bytes &out = Bytes())
{
    Bytes block(20, 0);
    block[0] = 'C'; block[1] = 'M'; block[2] = 'D';
    block[4] = 0; block[5] = 0; block[6] = 0; block[7] = opcode;
    block[8] = uint8_t(length >> 24); block[9] = uint8_t(length >> 16);
    block[10] = uint8_t(length >> 8); block[11] = uint8_t(length);
    block[12] = direction;
    block[13] = opcode;
    device.transferOut(Pipe::Data, block);
    if (!out.empty())
        device.transferOut(Pipe::Data, out);
    std::vector<QByteArray> replies;
    for (;;) {
        const Completion c = device.transferIn(Pipe::Data, 4 * 1024 * 1024);
        if (c.state != Completion::State::Done)
            break;
        replies.push_back(qbytes(c.data));
    }
    return replies;
}

QByteArray lockReply(ScannerEmulator &device, const QByteArray &task)
{
    device.transferOut(Pipe::Lock, Bytes(task.begin(), task.end()));
    const Completion c = device.transferIn(Pipe::Lock, 1024);
    return qbytes(c.data);
}

void lockAndStatus()
{
    const char *t = "fuzz_lockstatus";
    ScannerEmulator device;
    device.setNextLockId("{4f6b-lock}");
    seed(t, "lock-success", lockReply(device, LockTask::lockTask()));
    seed(t, "unlock-success", lockReply(device, LockTask::unlockTask("{4f6b-lock}")));
    seed(t, "unlock-wrong-id", lockReply(device, LockTask::unlockTask("{other}")));
    seed(t, "lock-for-log", lockReply(device, LockTask::logLockTask()));
    lockReply(device, LockTask::unlockTask(QString::fromStdString(device.lockId())));
    device.setWaking(1);
    seed(t, "lock-waking", lockReply(device, LockTask::lockTask()));
    device.setLockHeldByOtherHost(true);
    seed(t, "lock-busy", lockReply(device, LockTask::lockTask()));

    // Status blocks: every code the device uses, as the last message of a command.
    ScannerCommands commands(device);
    for (uint8_t code : {0, 1, 2, 3, 4, 6, 9, 14}) {
        device.scriptStatus(op::kScanBegin, code);
        const auto replies = exchange(device, op::kScanBegin, 0x80, 8);
        if (!replies.empty())
            seed(t, QStringLiteral("status-%1").arg(code), replies.back());
    }
}

void records()
{
    const char *t = "fuzz_records";
    ScannerEmulator device;
    ScannerCommands commands(device);
    auto record = [&](int kind, const char *name, uint8_t opcode, uint32_t length) {
        const auto replies = exchange(device, opcode, 0x80, length);
        if (!replies.empty())
            seed(t, name, QByteArray(1, char(kind)) + replies.front());
    };

    tagINQUIRY inquiry;
    inquiry.VersionInterface = 3;
    inquiry.FirmwareVersion.setText("1.02.07");
    inquiry.SerialNumber.setText("VR516-000123");
    inquiry.SheetWidthMax = 10200;
    inquiry.PaperSourceState = 5;
    QByteArray in;
    encodeInquiry(inquiry, in);
    device.setRecord(rec::kInquiry, Bytes(in.begin(), in.end()));
    record(0, "inquiry", op::kInquiry, tagINQUIRY::WireSize);

    tagREQUEST_HEADER h;
    h.ImageFormat = 2;
    h.CompressionMode = 2;
    h.ImageResolutionX = h.ImageResolutionY = 300;
    h.ImageWidth = 10200;
    h.ImageHeight = 13200;
    h.ImageSize = 400000;
    h.BarcodesFound = 2;
    QByteArray hb;
    encodeRequestHeader(h, hb);
    Page page;
    page.header = Bytes(hb.begin(), hb.end());
    page.image.assign(16, 0);
    page.barcodes = {"CORVAN-0001", "4006381333931"};
    commands.queuePage(page);
    record(1, "image-header", op::kRequestHeader, tagREQUEST_HEADER::WireSize);
    {
        const auto replies = exchange(device, op::kRequestBarcode, 0x80, 2 * kBarcodeRecordSize);
        if (!replies.empty())
            seed(t, "barcodes", QByteArray(1, char(2)) + QByteArray(1, char(2)) + replies.front());
    }
    record(3, "scan-end", op::kScanEnd, 20);
    record(4, "scanner-config", op::kConfig, tagSCANNER_CONFIGRATION::WireSize);
    record(5, "time-date", op::kTimeDate, 6);
    record(6, "low-power", op::kLowPower, 3);

    bool sizes[kSnapPageSizeCount] = {};
    sizes[0] = sizes[3] = sizes[7] = true;
    seed(t, "snap-sizes", QByteArray(1, char(7)) + encodeSnapToSizeList(true, sizes));

    FreeTypeHelper renderer;
    QByteArray font;
    StampFont::appendFontBlock(font, renderer, 12, QByteArray("AB"), 0, 1);
    seed(t, "font-block", QByteArray(1, char(8)) + font);

    tagWINDOW_ADD window;
    window.WindowId = 1;
    window.ImageResolutionX = window.ImageResolutionY = 200;
    QByteArray wb;
    encodeWindowAdd(window, wb);
    seed(t, "window", QByteArray(1, char(9)) + wb);
}

void eventPipe()
{
    const char *t = "fuzz_eventpipe";
    auto frame = [](uint32_t type, const std::string &text) {
        return QByteArray(1, char(0)) + le16(int(text.size() + 8))
            + qbytes(EventService::frame(type, text));
    };
    const QByteArray registered = frame(event::kRegistration, EventService::replyText(200, "OK"));
    const QByteArray press = frame(event::kLongPoll,
        EventService::replyText(200, "OK", "Content-Type: application/json\r\n",
                                "{\"Event\":\"3\",\"EventSeqNum\":\"17\"}"));
    const QByteArray timeout = frame(event::kLongPoll,
        EventService::replyText(408, "Request Timeout", "X-Poll-End: longpoll.TCM\r\n"));
    const QByteArray gone = frame(event::kLongPoll, EventService::replyText(404, "Not Found"));
    const QByteArray unregistered = frame(event::kUnregister, EventService::replyText(200, "OK"));
    const QByteArray timedOut(1, char(1));
    seed(t, "register-press-unregister", registered + press + timeout + timedOut + unregistered);
    seed(t, "register-then-gone", registered + gone + timedOut + unregistered);
    seed(t, "register-refused", frame(event::kRegistration, EventService::replyText(409, "Conflict")));
}

void files()
{
    const char *t = "fuzz_files";
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    ConfigFile config;
    config.loadConfigFile(home.path());

    ScanShortcutMenu store;
    store.loadScanShortcut(&config);
    tagSCAN_SHORTCUT_MENU p;
    store.getScanShortcutItem(1, p);
    store.addScanShortcut(p, QStringLiteral("账单 双面"), QString());
    store.getScanShortcutItem(0, p);
    store.addScanShortcut(p, QStringLiteral("Receipts"), QString());
    store.saveScanShortcut();

    ScanPaperLog log;
    log.setScannerModelName("VR516");
    ScanLogSettings settings;
    settings.resolution = 300;
    log.setLog(settings, 0, 3, config.m_strScannedLogIni, config.m_strScanLogFile,
               config.m_strProfilesDir);
    log.setLog(settings, -34, 1, config.m_strScannedLogIni, config.m_strScanLogFile,
               config.m_strProfilesDir);

    auto file = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    auto section = [](int type, const QByteArray &bytes) {
        return QByteArray(1, char(type)) + le16(bytes.size()) + bytes;
    };
    // The store's files are renamed to the ids the fuzz target writes, in order.
    QByteArray ini = file(config.m_strProfileIni);
    QByteArray profiles;
    int n = 0;
    for (int i = 0; i < store.getScanShortcutCount(); ++i) {
        store.getScanShortcutItem(i, p);
        const QString id = scanText(p.id);
        const QByteArray bytes = file(config.m_strProfilesDir + "/" + id);
        if (bytes.isEmpty())
            continue;
        const QString newId = QStringLiteral("{6b1f0000-0000-4000-8000-00000000000%1}").arg(n++);
        ini.replace(id.toUtf8(), newId.toUtf8());
        profiles += QByteArray(1, char(1)) + QByteArray(1, char(1)) + le16(bytes.size()) + bytes;
    }
    const QByteArray counter = file(config.m_strScannedLogIni);
    const QByteArray scanLog = file(config.m_strScanLogFile);
    seed(t, "store-and-log", section(0, ini) + profiles + section(2, counter) + section(3, scanLog));
    seed(t, "profile-ini-only", section(0, ini));
    seed(t, "log-files-only", section(2, counter) + section(3, scanLog));
    // One built-in record with a few bytes laid over it at the first flags.
    seed(t, "overlaid-profile", section(0, ini) + QByteArray(1, char(1)) + QByteArray(1, char(2))
                                    + le16(1940) + le16(8) + QByteArray(8, char(1)));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    lockAndStatus();
    records();
    eventPipe();
    files();
    return 0;
}
