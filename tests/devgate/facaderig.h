#ifndef FACADERIG_H
#define FACADERIG_H

#include "configfile.h"
#include "devgate.h"
#include "emulatortest.h"
#include "pagefile.h"
#include "pmessage.h"
#include "records.h"
#include "scannercommands.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// A scanner with the whole command set on the emulated bus behind one
// Devgate facade, with a configuration in a private directory. Members go in
// reverse order: the facade (libusb) before the bus (umockdev).
struct FacadeRig
{
    QTemporaryDir dir;
    ConfigFile config;
    emu::EmulatedBus bus;
    std::shared_ptr<emu::ScannerEmulator> device;
    std::unique_ptr<emu::ScannerCommands> scanner;
    std::unique_ptr<Devgate> gate;
    PMessage hub;
    QString portKey;

    FacadeRig(int busNumber, int address)
        : portKey(QString("%1;%2;").arg(busNumber).arg(address))
    {
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/cfg").toUtf8());
        config.loadConfigFile(dir.path());
        emu::UsbIdentity id;
        id.busNumber = busNumber;
        id.deviceAddress = address;
        device = std::make_shared<emu::ScannerEmulator>(id);
        scanner = std::make_unique<emu::ScannerCommands>(*device);
    }
    virtual ~FacadeRig() { gate.reset(); }

    // Plugs the device and builds the facade; derived rigs attach services first.
    void start()
    {
        bus.plug(device);
        gate = std::make_unique<Devgate>();
        gate->setConfigFile(&config);
    }

    bool open() { return gate->openPort(portKey); }
    void setPaper(bool present)
    {
        device->setRecord(emu::rec::kPaperDetected, emu::Bytes{uint8_t(present ? 1 : 0)});
    }

    static emu::Bytes wire(const QByteArray &b) { return emu::Bytes(b.begin(), b.end()); }

    static tagSCAN_SHORTCUT_MENU builtIn(int index)
    {
        ScanShortcutMenu store;
        store.loadDefaultScanShortcut();
        tagSCAN_SHORTCUT_MENU p;
        store.getScanShortcutItem(index, p);
        return p;
    }

    // A raw page of 1 x 0.5 inch at 200 dpi on the given side, filled with fill.
    void queueRawPage(int side, quint8 fill, quint8 blankContent, unsigned notReady,
                      quint8 multifeed)
    {
        tagREQUEST_HEADER h;
        h.CameraType = quint8(side);
        h.Multifeed = multifeed;
        h.ImageFormat = 0;
        h.ImageResolutionX = h.ImageResolutionY = 200;
        h.ImageWidth = 1200;
        h.ImageHeight = 600;
        h.BlankImageContent = blankContent;
        const qint64 bytes = PageFile::rowBytes(0, 200) * 100;
        h.ImageSize = quint32(bytes);
        emu::Page p;
        QByteArray hb;
        encodeRequestHeader(h, hb);
        p.header = wire(hb);
        p.image.assign(size_t(bytes), fill);
        p.notReadyPolls = notReady;
        scanner->queuePage(p);
    }

    // One page as the device will deliver it. Raw pages are rows of `fill`;
    // JPEG pages (compression 2) a coded picture of one colour.
    struct PageSpec
    {
        int side = 0;
        int format = 0;      // 0 black and white, 1 grey, 2 colour
        int compression = 0; // 0 raw rows, 2 JPEG
        int resolution = 200;
        int width = 200;  // pixels
        int height = 100; // pixels
        quint8 fill = 0x0f;
        quint8 blankContent = 50;
        quint8 multifeed = 0;
        quint32 printerIndex = 0;
        std::vector<std::string> barcodes;
        unsigned notReady = 0;
    };
    void queuePage(const PageSpec &s)
    {
        tagREQUEST_HEADER h;
        h.CameraType = quint8(s.side);
        h.Multifeed = s.multifeed;
        h.ImageFormat = quint8(s.format);
        h.CompressionMode = quint8(s.compression);
        h.ImageResolutionX = h.ImageResolutionY = quint16(s.resolution);
        h.ImageWidth = quint32(s.width) * 1200 / quint32(s.resolution);
        h.ImageHeight = quint32(s.height) * 1200 / quint32(s.resolution);
        h.BlankImageContent = s.blankContent;
        h.PrinterIndex = s.printerIndex;
        h.BarcodesFound = quint8(s.barcodes.size());
        QByteArray data;
        if (s.compression == 2) {
            QImage img(s.width, s.height,
                       s.format == 2 ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
            img.fill(QColor(200, 40, 40));
            QBuffer buf(&data);
            buf.open(QIODevice::WriteOnly);
            img.save(&buf, "JPEG");
        } else {
            data = QByteArray(int(PageFile::rowBytes(s.format, s.width) * s.height), char(s.fill));
        }
        h.ImageSize = quint32(data.size());
        emu::Page p;
        QByteArray hb;
        encodeRequestHeader(h, hb);
        p.header = wire(hb);
        p.image.assign(data.begin(), data.end());
        p.barcodes = s.barcodes;
        p.notReadyPolls = s.notReady;
        scanner->queuePage(p);
    }

    std::vector<uint8_t> opcodes() const
    {
        std::vector<uint8_t> out;
        for (const emu::Command &c : device->commands())
            out.push_back(c.opcode);
        return out;
    }

    int opcodeCount(uint8_t opcode) const
    {
        int n = 0;
        for (const emu::Command &c : device->commands())
            n += c.opcode == opcode;
        return n;
    }
};

#endif
