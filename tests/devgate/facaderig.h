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
