#ifndef COMMANDRIG_H
#define COMMANDRIG_H

#include "emulatortest.h"
#include "oxcommand.h"
#include "scannercommands.h"
#include "usbport.h"

#include "debugtrace.h"

#include <QMutex>
#include <QStringList>

#include <memory>

// An OxCommand on the real libusb, talking to an emulated scanner that serves
// the whole command set. Members go in reverse order: the port (and its
// libusb context) before the bus, as umockdev requires.
struct CommandRig
{
    emu::EmulatedBus bus;
    std::shared_ptr<emu::ScannerEmulator> device = std::make_shared<emu::ScannerEmulator>(identity());
    emu::ScannerCommands scanner{*device};
    USBPort port;
    OxCommand cmd;
    bool ready = false;

    CommandRig()
    {
        OxCommand::setCancelFlag(false);
        OxCommand::setMultifeedUserInput(0);
        if (bus.plug(device) && port.setPort(QStringLiteral("3;9;")) && port.openPort())
            ready = cmd.setPort(&port);
    }
    ~CommandRig() { port.closePort(); }

    static emu::UsbIdentity identity()
    {
        emu::UsbIdentity id;
        id.busNumber = 3;
        id.deviceAddress = 9;
        return id;
    }

    std::vector<emu::Command> commands(uint8_t opcode) const
    {
        std::vector<emu::Command> out;
        for (const emu::Command &c : device->commands()) {
            if (c.opcode == opcode)
                out.push_back(c);
        }
        return out;
    }
    // No host mistake seen by either layer of the emulator.
    bool clean() const { return device->protocolErrors().empty() && scanner.errors().empty(); }
};

inline emu::Bytes wire(const QByteArray &b) { return emu::Bytes(b.begin(), b.end()); }
inline emu::Bytes hexBytes(const char *text) { return wire(QByteArray::fromHex(text)); }
inline QByteArray qbytes(const emu::Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
}

// Collects the trace lines written while it lives, with tracing switched on.
class TraceCapture
{
public:
    TraceCapture()
    {
        s_lines.clear();
        m_mode = DebugTrace::m_DebugMode;
        DebugTrace::m_DebugMode = 1;
        m_previous = qInstallMessageHandler(&TraceCapture::handler);
    }
    ~TraceCapture()
    {
        qInstallMessageHandler(m_previous);
        DebugTrace::m_DebugMode = m_mode;
    }
    // Every line of every message, so a record dump counts line by line.
    QStringList lines() const
    {
        QMutexLocker lock(&s_mutex);
        return s_lines;
    }
    bool has(const QString &line) const { return lines().contains(line); }

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &msg)
    {
        QMutexLocker lock(&s_mutex);
        for (const QString &line : msg.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            s_lines.append(line);
    }
    static inline QMutex s_mutex;
    static inline QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
    int m_mode = 0;
};

#endif
