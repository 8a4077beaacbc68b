#include "devgate.h"

#include "configfile.h"
#include "debugtrace.h"
#include "errorhandling.h"

#include <mutex>

Devgate::Devgate() = default;

Devgate::~Devgate() = default;

template <typename Fn>
int Devgate::guarded(Fn &&fn)
{
    if (!port.isOpen())
        return RC_NOT_CONNECTED;
    if (!mutex.tryLock(0))
        return RC_BUSY;
    // Released however the job leaves.
    std::unique_lock<QMutex> hold(mutex, std::adopt_lock);
    return fn();
}

void Devgate::setConfigFile(ConfigFile *config)
{
    g_pConfigFile = config;
    setDebugLog();
}

void Devgate::setDebugLog()
{
    if (g_pConfigFile)
        g_trace.applyConfig(*g_pConfigFile);
    else
        g_trace.setDebugMode(0, 0, false);
}

bool Devgate::setPort(QString name)
{
    if (name.isEmpty())
        return false;
    return port.setPort(name);
}

bool Devgate::openPort(QString name)
{
    if (name.isEmpty())
        return false;
    if (!port.setPort(name) || !port.openPort())
        return false;
    buttonEvents.setPort(&port);
    return true;
}

void Devgate::closePort()
{
    // Waits for a running job: the port must not vanish under it.
    QMutexLocker lock(&mutex);
    port.closePort();
}

bool Devgate::isOpen() const
{
    return port.isOpen();
}

int Devgate::startJob(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub)
{
    return guarded([&] { return job.startJob(&port, profile, hub); });
}

int Devgate::cancelJob()
{
    job.cancelJob();
    return 0;
}

int Devgate::setMultifeedUserInput(int answer)
{
    return job.setMultifeedUserInput(answer);
}

int Devgate::devicePower(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub)
{
    return guarded([&] { return job.devicePower(&port, profile, hub); });
}

int Devgate::deviceSource(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub)
{
    return guarded([&] { return job.deviceSource(&port, profile, hub); });
}

int Devgate::magnification(double frontX, double frontY, double rearX, double rearY, PMessage *hub)
{
    return guarded([&] { return job.magnification(&port, frontX, frontY, rearX, rearY, hub); });
}

int Devgate::testScanner()
{
    return guarded([&] { return job.testScanner(&port); });
}

int Devgate::calibrateBeginTestMag(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub)
{
    return guarded([&] { return job.calibrateBeginTestMag(&port, profile, hub); });
}

int Devgate::calibrateBeginTest(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub)
{
    return guarded([&] { return job.calibrateBeginTest(&port, profile, hub); });
}

int Devgate::calibrateBeginUDDS(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub)
{
    return guarded([&] { return job.calibrateBeginUDDS(&port, profile, hub); });
}

int Devgate::timeDateLocal(tagTIME_DATE_LOCAL &clock)
{
    return guarded([&] { return job.timeDateLocal(&port, clock); });
}

int Devgate::logData(int kind, QByteArray &log)
{
    return guarded([&] { return job.logData(&port, kind, log); });
}

int Devgate::getInquiry(tagINQUIRY &inquiry)
{
    return guarded([&] { return job.getInquiry(&port, inquiry); });
}

int Devgate::enumScannerDevices(QList<tagUSB_DEVICE_DESCRIPTION> &devices)
{
    return USBPort::enumScannerDevices(devices);
}

void Devgate::setScannerModel(QString name)
{
    job.setScannerModel(name);
}

int Devgate::eventRegistration(QList<tagONEPRESS_EVENT> buttons)
{
    if (!port.isOpen())
        return RC_NOT_CONNECTED;
    return buttonEvents.eventRegistration(buttons);
}

int Devgate::eventUnregister()
{
    if (!port.isOpen())
        return RC_NOT_CONNECTED;
    return buttonEvents.eventUnregister();
}

int Devgate::getReplyEvent(QString &event)
{
    if (!port.isOpen())
        return RC_NOT_CONNECTED;
    return buttonEvents.getReplyEvent(event);
}

bool Devgate::getReplyEvent()
{
    return buttonEvents.getReplyEvent();
}

void Devgate::setReplyEvent(bool reply)
{
    buttonEvents.setReplyEvent(reply);
}

int Devgate::resetDevice()
{
    if (!port.isOpen())
        return RC_NOT_CONNECTED;
    return port.resetDevice();
}
