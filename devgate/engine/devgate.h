#ifndef DEVGATE_H
#define DEVGATE_H

#include "corvanglobal.h"
#include "oxbuttonevent.h"
#include "scanjob.h"
#include "usbport.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>

class ConfigFile;
class PMessage;
struct tagSCAN_SHORTCUT_MENU;

// The device library's one exported class: finding scanners, the port, scan
// jobs, their questions and the button-event channel. Scan and maintenance
// jobs exclude each other through one mutex without waiting (-8); the
// button-event calls and the job's cancel and multifeed answer take no lock.
class DEVGATE_EXPORT Devgate
{
public:
    Devgate();
    ~Devgate();
    Devgate(const Devgate &) = delete;
    Devgate &operator=(const Devgate &) = delete;

    void setConfigFile(ConfigFile *config);
    static void setDebugLog();

    bool setPort(QString name);
    bool openPort(QString name);
    void closePort();
    bool isOpen() const;

    int startJob(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    int cancelJob();
    int setMultifeedUserInput(int answer);

    // Maintenance jobs: guarded like a scan (-7 closed port, -8 busy).
    int devicePower(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    int deviceSource(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    int magnification(double frontX, double frontY, double rearX, double rearY, PMessage *hub);
    int testScanner();
    int calibrateBeginTestMag(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    int calibrateBeginTest(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    int calibrateBeginUDDS(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    int timeDateLocal(tagTIME_DATE_LOCAL &clock);
    int logData(int kind, QByteArray &log);
    int getInquiry(tagINQUIRY &inquiry);

    static int enumScannerDevices(QList<tagUSB_DEVICE_DESCRIPTION> &devices);
    void setScannerModel(QString model);

    int eventRegistration(QList<tagONEPRESS_EVENT> buttons);
    int eventUnregister();
    int getReplyEvent(QString &event);
    bool getReplyEvent();
    void setReplyEvent(bool reply);
    int resetDevice();

private:
    // Runs fn with the job mutex held: -7 for a closed port, -8 at once when
    // another job holds the mutex.
    template <typename Fn>
    int guarded(Fn &&fn);

    USBPort port;
    QString model;
    OxButtonEvent buttonEvents;
    ScanJob job;
    QMutex mutex;
};

#endif
