// A whole scan job through the Devgate facade against a device whose answers
// the fuzzer's bytes decide, so that headers, image sizes, chunk lengths,
// barcode counts and statuses from the device meet the job together.
//
// The device is the emulated scanner with its full command set and a few
// queued pages; the product's own USBPort reaches it through the in-process
// libusb (inprocessusb.h). Every bulk transfer first consults the input:
// let the device answer, or replace, cut, patch, drop or fail the transfer.
// Once the input is used up the device answers for itself, so every run
// ends the way a well-behaved device would end it.
//
// Input: knobs (profile, pages, the user's answers), then one tamper record
// per transfer (see Tamper below). With CORVAN_FUZZ_RECORD=<file> a run
// writes its input followed by the records of the exchange that happened
// once the input ran out: a seed that replays a real exchange byte for byte
// (how corpus/fuzz_scanexchange was made, see tools/fuzz.sh).
#include "configfile.h"
#include "devgate.h"
#include "fuzzsupport.h"
#include "inprocessusb.h"
#include "pagefile.h"
#include "pmessage.h"
#include "records.h"
#include "scannercommands.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"
#include "smallrecords.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QThread>

#include <libusb.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace emu;

// The job pauses between polls of a device that is not ready (and between
// lock attempts of a waking one). The in-process device answers at once, so
// the pauses only cost time: this definition takes the place of QtCore's for
// the product code linked into this program.
void QThread::msleep(unsigned long) {}

namespace {

Bytes wire(const QByteArray &b)
{
    return Bytes(b.begin(), b.end());
}

Bytes header(quint8 side, quint8 format, quint8 compression, quint16 dpi, quint32 width,
             quint32 height, quint32 size, quint8 barcodes = 0, quint8 multifeed = 0)
{
    tagREQUEST_HEADER h;
    h.CameraType = side;
    h.ImageFormat = format;
    h.CompressionMode = compression;
    h.ImageResolutionX = h.ImageResolutionY = dpi;
    h.ImageWidth = width;
    h.ImageHeight = height;
    h.ImageSize = size;
    h.BarcodesFound = barcodes;
    h.Multifeed = multifeed;
    h.BlankImageContent = 40;
    h.PrinterIndex = 1;
    QByteArray out;
    encodeRequestHeader(h, out);
    return wire(out);
}

// The pages the device may deliver, made once: black and white with a
// barcode, grey on the back, a JPEG colour page, and a multifed sheet.
std::vector<Page> makePages()
{
    std::vector<Page> pages;
    {
        Page p; // 1 x 0.5 inch at 200 dpi, 1 bit
        const quint32 size = quint32(PageFile::rowBytes(0, 200) * 100);
        p.header = header(0, 0, 0, 200, 1200, 600, size, 1);
        p.image.assign(size, 0x0f);
        p.barcodes = {"CORVAN-0001"};
        pages.push_back(p);
    }
    {
        Page p; // 0.5 x 0.5 inch at 100 dpi, grey, on the back
        const quint32 size = quint32(PageFile::rowBytes(1, 50) * 50);
        p.header = header(1, 1, 0, 100, 600, 600, size);
        p.image.assign(size, 0x80);
        p.notReadyPolls = 1;
        pages.push_back(p);
    }
    {
        Page p; // 1 x 0.5 inch at 32 dpi, colour JPEG
        QImage img(32, 16, QImage::Format_RGB888);
        img.fill(QColor(200, 40, 40));
        QByteArray jpeg;
        QBuffer buf(&jpeg);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, "JPEG");
        p.header = header(0, 2, 2, 32, 1200, 600, quint32(jpeg.size()));
        p.image = wire(jpeg);
        pages.push_back(p);
    }
    {
        Page p; // a multifed sheet, 1 bit
        const quint32 size = quint32(PageFile::rowBytes(0, 100) * 50);
        p.header = header(0, 0, 0, 100, 1200, 600, size, 0, 1);
        p.image.assign(size, 0xf0);
        pages.push_back(p);
    }
    return pages;
}

// One record per bulk transfer, in the order the host makes them.
enum Tamper : uint8_t {
    Pass = 0,     // the device answers
    Replace = 1,  // IN: these bytes (u16 length, bytes) instead of the device's
    Cut = 2,      // IN: the device's answer cut to u16 bytes; OUT: only u16 bytes taken
    Patch = 3,    // IN: the device's answer with one byte (u16 offset, u8 value) changed
    TimeOut = 4,  // nothing moves; the device never sees the transfer
    IoError = 5,
    Stall = 6,
    Empty = 7,    // IN: 0 bytes, the device's answer stays queued
    TamperKinds = 8,
};

struct Device
{
    std::shared_ptr<ScannerEmulator> model = std::make_shared<ScannerEmulator>();
    ScannerCommands commands{*model};
    fuzz::Stream *input = nullptr;
    // Seed making: once the input is used up, every transfer is written out
    // as the record that reproduces it (OUT: pass; IN: the device's bytes).
    QByteArray *recording = nullptr;

    int transfer(uint8_t endpoint, unsigned char *data, int length, int *moved)
    {
        const Pipe pipe = Pipe(endpoint & 0x0f);
        if (pipe < Pipe::Lock || pipe > Pipe::Event)
            return LIBUSB_ERROR_PIPE;
        if (recording && input->empty())
            return record(pipe, endpoint, data, length, moved);
        const uint8_t kind = input->empty() ? Pass : uint8_t(input->u8() % TamperKinds);
        switch (kind) {
        case TimeOut:
            return LIBUSB_ERROR_TIMEOUT;
        case IoError:
            return LIBUSB_ERROR_IO;
        case Stall:
            return LIBUSB_ERROR_PIPE;
        default:
            break;
        }
        if (!(endpoint & 0x80)) {
            int take = length;
            if (kind == Cut)
                take = std::min<int>(length, input->u16());
            const Completion c = model->transferOut(pipe, Bytes(data, data + take));
            if (c.state != Completion::State::Done)
                return c.state == Completion::State::Pending ? LIBUSB_ERROR_TIMEOUT : LIBUSB_ERROR_IO;
            *moved = take;
            return 0;
        }
        if (kind == Empty)
            return 0;
        Bytes answer;
        if (kind == Replace) {
            const QByteArray b = input->piece();
            answer.assign(b.begin(), b.end());
            model->transferIn(pipe, size_t(length)); // the device's own answer is lost
        } else {
            const Completion c = model->transferIn(pipe, size_t(length));
            if (c.state == Completion::State::Pending)
                return LIBUSB_ERROR_TIMEOUT;
            if (c.state == Completion::State::Failed)
                return LIBUSB_ERROR_IO;
            answer = c.data;
            if (kind == Cut) {
                answer.resize(std::min<size_t>(answer.size(), input->u16()));
            } else if (kind == Patch) {
                const uint16_t at = input->u16();
                const uint8_t value = input->u8();
                if (!answer.empty())
                    answer[at % answer.size()] = value;
            }
        }
        // A device that sends more than was asked overflows the transfer.
        if (answer.size() > size_t(length))
            return LIBUSB_ERROR_OVERFLOW;
        std::copy(answer.begin(), answer.end(), data);
        *moved = int(answer.size());
        return 0;
    }

    int record(Pipe pipe, uint8_t endpoint, unsigned char *data, int length, int *moved)
    {
        if (!(endpoint & 0x80)) {
            recording->append(char(Pass));
            model->transferOut(pipe, Bytes(data, data + length));
            *moved = length;
            return 0;
        }
        const Completion c = model->transferIn(pipe, size_t(length));
        if (c.state != Completion::State::Done) {
            recording->append(char(TimeOut));
            return LIBUSB_ERROR_TIMEOUT;
        }
        if (c.data.size() > 0xffff) {
            recording->append(char(Pass));
        } else {
            recording->append(char(Replace));
            recording->append(char(c.data.size() & 0xff));
            recording->append(char(c.data.size() >> 8));
            recording->append(reinterpret_cast<const char *>(c.data.data()), int(c.data.size()));
        }
        std::copy(c.data.begin(), c.data.end(), data);
        *moved = int(c.data.size());
        return 0;
    }
};

struct Setup
{
    ConfigFile config;
    std::vector<Page> pages;
    QList<tagSCAN_SHORTCUT_MENU> builtIns;

    Setup()
    {
        fuzz::privateHome();
        config.loadConfigFile(QCoreApplication::applicationDirPath());
        QDir().mkpath(config.m_strTempDir);
        pages = makePages();
        ScanShortcutMenu store;
        store.loadDefaultScanShortcut();
        for (int i = 0; i < store.getScanShortcutCount(); ++i) {
            tagSCAN_SHORTCUT_MENU p;
            store.getScanShortcutItem(i, p);
            builtIns.append(p);
        }
    }
};

Setup *g_setup = nullptr;

// Most runs scan; the rest run one of the maintenance jobs, which read the
// device log, diagnostics, calibration images, the clock and the inquiry.
constexpr int kScanOperations = 24;

int maintenance(Devgate &gate, int operation, tagSCAN_SHORTCUT_MENU &profile, PMessage &hub)
{
    switch (operation - kScanOperations) {
    case 0: {
        QByteArray log;
        const int rc = gate.logData(1, log);
        FUZZ_CHECK(log.size() <= int(ScanJob::kMaxLogBytes));
        return rc;
    }
    case 1:
        return gate.testScanner();
    case 2:
        return gate.calibrateBeginUDDS(&profile, &hub);
    case 3:
        return gate.calibrateBeginTest(&profile, &hub);
    case 4:
        return gate.calibrateBeginTestMag(&profile, &hub);
    case 5: {
        tagTIME_DATE_LOCAL clock;
        tagINQUIRY inquiry;
        const int rc = gate.timeDateLocal(clock);
        return rc != 0 ? rc : gate.getInquiry(inquiry);
    }
    case 6: {
        const int rc = gate.devicePower(&profile, &hub);
        return rc != 0 ? rc : gate.deviceSource(&profile, &hub);
    }
    default:
        return gate.magnification(1.0, 1.0, 0.9995, 1.0005, &hub);
    }
}

void removeFiles(const QString &dir)
{
    for (const QFileInfo &f : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden))
        QFile::remove(f.absoluteFilePath());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    g_setup = new Setup;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::Stream input(data, size);

    // Knobs: the profile and what the user does.
    tagSCAN_SHORTCUT_MENU profile = g_setup->builtIns.value(input.u8() % g_setup->builtIns.size());
    const uint8_t pageMask = input.u8();
    const uint8_t answer = input.u8() % 4;        // multifeed answer the user gives; 0 none
    const uint8_t userByte = input.u8();
    const uint8_t cancelAfter = userByte % 8;     // pages until the user cancels; 0 never
    const int operation = userByte >> 3;          // below kScanOperations a scan, else a maintenance job
    const uint8_t layout = input.u8();
    profile.inputDocument = InputDocumentFlag(layout & 3);
    profile.sideStream = OxAdvancedSettingSideFlag((layout >> 2) & 3);
    profile.previewMode = (layout >> 4) & 1;
    profile.autoStartScanning = (layout >> 5) & 1;
    profile.paperSource = AdfPaperSourceFlag((layout >> 6) & 3);
    const uint8_t handling = input.u8();
    static const MultifeedResponseFlag responses[] = {
        MultifeedContinue, MultifeedStop, MultifeedStopKeepImage, MultifeedStopLeavePaper,
        MultifeedPauseKeepImage, MultifeedInteractive, MultifeedInteractive, MultifeedInteractive};
    profile.multifeedResponse = responses[handling & 7];
    // Merging draws page canvases, which is slow and no device's doing:
    // front and back on one page, or two pages at their own size, in three
    // runs of eight; half of the last kind go on a whole sheet instead.
    const int merge = (handling >> 3) & 7;
    profile.combineType = merge == 5 ? CombineFrontBack : merge >= 6 ? CombineTwo : CombineOff;
    profile.saveSize = !(merge == 7 && (pageMask & 0x80));
    profile.sideSettings[0].blankImageDeletion = BlankImageModeFlag((handling >> 6) % 3);
    profile.sideSettings[0].contentAmount = 30;

    Device device;
    device.input = &input;
    QByteArray recording;
    const QString recordTo = qEnvironmentVariable("CORVAN_FUZZ_RECORD");
    if (!recordTo.isEmpty()) {
        recording = QByteArray(reinterpret_cast<const char *>(data), int(size));
        device.recording = &recording;
    }
    device.model->setRecord(rec::kPaperDetected, Bytes{1});
    device.model->setRecord(rec::log(1), Bytes(3000, 'L'));
    for (size_t i = 0; i < g_setup->pages.size(); ++i) {
        if (pageMask & (1u << i))
            device.commands.queuePage(g_setup->pages[i]);
    }
    inprocessusb::setTransferHandler([&device](uint8_t ep, unsigned char *d, int len, int *moved) {
        return device.transfer(ep, d, len, moved);
    });

    Devgate gate;
    gate.setConfigFile(&g_setup->config);
    fuzz::silence();
    PMessage hub;
    QStringList announced;
    QObject::connect(&hub, &PMessage::scanFileName, &hub,
                     [&](SCAN_SHORTCUT_MENU *, QString file, schar, QStringList, int, int, int, int) {
                         announced << file;
                         if (cancelAfter && announced.size() == cancelAfter)
                             gate.cancelJob();
                     }, Qt::DirectConnection);
    QObject::connect(&hub, &PMessage::scanningMultifeed, &hub, [&](QStringList) {
        if (answer)
            gate.setMultifeedUserInput(answer);
        else
            gate.cancelJob(); // a user who closes the question cancels the scan
    }, Qt::DirectConnection);

    FUZZ_CHECK(gate.openPort("1;2;"));
    const int rc = operation < kScanOperations ? gate.startJob(&profile, &hub)
                                               : maintenance(gate, operation, profile, hub);
    if (qEnvironmentVariableIsSet("CORVAN_FUZZ_VERBOSE"))
        std::fprintf(stderr, "job result %d, %d pages, %zu commands\n", rc, int(announced.size()),
                     device.model->commands().size());
    FUZZ_CHECK(rc <= 0);
    // Nothing is lost: every page the job handed on is on disk, and no page
    // file stays behind that was never handed on.
    for (const QString &file : announced)
        FUZZ_CHECK(QFileInfo(file).size() > 0);
    for (const QFileInfo &f : QDir(g_setup->config.m_strTempDir).entryInfoList(QDir::Files))
        FUZZ_CHECK(announced.contains(f.absoluteFilePath()) || announced.contains(f.filePath()));
    gate.closePort();
    FUZZ_CHECK(inprocessusb::openHandles() == 0);
    if (device.recording) {
        QFile out(recordTo);
        if (out.open(QIODevice::WriteOnly))
            out.write(recording);
    }

    inprocessusb::setTransferHandler(nullptr);
    removeFiles(g_setup->config.m_strTempDir);
    QFile::remove(g_setup->config.m_strScanLogFile);
    QFile::remove(g_setup->config.m_strScannedLogIni);
    return 0;
}
