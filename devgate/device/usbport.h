#ifndef USBPORT_H
#define USBPORT_H

#include <QList>
#include <QString>

#include <atomic>
#include <mutex>
#include <set>
#include <shared_mutex>

#include <libusb.h>

class ConfigFile;

// The front end's configuration, handed to the device library by the facade;
// enumeration reads the SupportAllModel switch through it. Not owned; null
// until the facade sets it, which reads as every switch at its default.
extern ConfigFile *g_pConfigFile;

// One attached supported scanner found by enumeration.
struct tagUSB_DEVICE_DESCRIPTION
{
    QString portName;  // "<bus>;<address>;", the only identity that reaches open
    QString modelName;
};

// Host end of the scanner's USB link: enumeration, open/close of one device
// and single bulk transfers over the lock, data and event pipe pairs. The
// only place that calls libusb. Every call blocks in the caller's thread, and
// transfers on different pipes may run at the same time from different
// threads. The handle has one owner: transfers share it, while open, close and
// reset take it alone, after cancelling a transfer that waits on the event
// pipe (a button poll may wait for seconds); no call ever uses a handle that
// another thread freed.
class USBPort
{
public:
    // Fixed underlying types: a number from outside the range still reaches
    // getPort's range check as itself.
    enum PortType : int { Lock = 1, Data = 2, Event = 3 };
    enum Channel : int { In = 1, Out = 2 };

    USBPort();
    ~USBPort();
    USBPort(const USBPort &) = delete;
    USBPort &operator=(const USBPort &) = delete;

    bool setPort(QString strPort);

    bool openPort();
    bool openLockPort();
    bool openDataPort();
    bool openEventPort();

    int closePort();
    int closeLockPort();
    int closeDataPort();
    int closeEventPort();

    bool isOpen() const;
    int resetDevice();

    static unsigned char getPort(PortType type, Channel channel);

    // One bulk transfer. Result: bytes moved (a read may bring fewer than
    // asked, even 0), -3 for a read time-out, -4 for any other failure
    // (including a write time-out), -7 on a port that is not open.
    int read(PortType type, char *buffer, int length, int timeout);
    int write(PortType type, const char *buffer, int length, int timeout);

    static int enumScannerDevices(QList<tagUSB_DEVICE_DESCRIPTION> &devices);
    static bool verifyPidVid(const libusb_device_descriptor &descriptor, QString &model);

private:
    static QString portKey(libusb_device *device);
    int transfer(PortType type, Channel channel, char *buffer, int length, int timeout);
    // With the handle lock held for writing.
    bool openLocked();
    void closeLocked();
    int resetLocked();
    // Cancels the transfers in flight on the event pipe, so that an owner
    // waiting for the handle does not wait out a long poll.
    void cancelEventTransfers();

    QString m_strPort;
    libusb_context *m_pContext = nullptr; // lives as long as the handle it produced
    std::atomic<libusb_device_handle *> m_hDevice{nullptr};
    int m_nDetached = 0;

    // Shared by transfers, exclusive for open, close and reset. An owner that
    // waits holds the gate, so no new transfer slips in before it.
    std::shared_mutex m_handleLock;
    std::mutex m_gate;
    std::mutex m_flightMutex;
    std::set<libusb_transfer *> m_eventTransfers; // in flight on the event pipe
};

#endif
