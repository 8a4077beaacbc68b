#include "oxcommand.h"

#include "usbport.h"

std::atomic<bool> OxCommand::m_bCancel{false};
std::atomic<int> OxCommand::m_nUserInputKey{0};

OxCommand::OxCommand(PMessage *message, QObject *parent) : QObject(parent), message(message)
{
}

bool OxCommand::setPort(USBPort *usbPort)
{
    port = usbPort;
    return true;
}

bool OxCommand::openPort(USBPort *usbPort)
{
    port = usbPort;
    if (!port)
        return false;
    port->openLockPort();
    return port->openDataPort();
}

bool OxCommand::closePort()
{
    if (!port)
        return false;
    port->closeLockPort();
    return port->closeDataPort() != 0;
}
