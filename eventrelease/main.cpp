// eventrelease: withdraws this host's button-event registration from the
// first attached scanner, so that the panel stops offering the host's tasks
// when no button-event thread runs. No arguments, no configuration, no
// window; the outcome is the exit code:
//   0   no supported scanner, or the second or third request got a reply
//   -1  the scanner could not be opened
//   -3  the third request's reply timed out
//   -4  the third request failed otherwise (a failed write included)
#include "oxbuttonevent.h"
#include "usbport.h"

#include <QList>
#include <QString>

// Built at load in this order and destroyed in reverse at exit: the port's
// destructor releases the interface and closes the device, so main leaves
// the port open.
USBPort m_UsbPort;
OxButtonEvent m_oxButtonEvent;

static bool openPort(QString strPort)
{
    if (strPort.isEmpty())
        return false;
    if (!m_UsbPort.setPort(strPort))
        return false;
    if (!m_UsbPort.openPort())
        return false;
    m_oxButtonEvent.setPort(&m_UsbPort);
    return true;
}

int main()
{
    QList<tagUSB_DEVICE_DESCRIPTION> devices;
    USBPort::enumScannerDevices(devices);
    if (devices.isEmpty())
        return 0;
    if (!openPort(devices.first().portName))
        return -1;

    // The first request is not judged: an answer of the registration's last
    // poll may still stand in the pipe and be read in place of its reply.
    m_oxButtonEvent.eventUnregister();
    if (m_oxButtonEvent.eventUnregister() == 0)
        return 0;
    return m_oxButtonEvent.eventUnregister();
}
