#ifndef SCANJOB_H
#define SCANJOB_H

#include "linktimeouts.h"
#include "pagefilewriter.h"
#include "parsercommand.h"
#include "records.h"
#include "scanpaperlog.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>

class OxCommand;
class PMessage;
class ProcessImage;
class USBPort;
struct tagSCAN_SHORTCUT_MENU;
struct tagTIME_DATE_LOCAL;

// One scan (and the maintenance jobs) from a profile to page files. Runs in
// the caller's thread with the facade's mutex held; cancelJob and
// setMultifeedUserInput come from the GUI thread without a lock and only set
// values that the job polls between exchanges.
class ScanJob : public QObject
{
    Q_OBJECT
public:
    enum JobState { Idle = 0, Locked = 1, ScanBegun = 2, ScanEnded = 3 };

    explicit ScanJob(QObject *parent = nullptr);

    int startJob(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    void cancelJob();
    int setMultifeedUserInput(int answer);
    void setScannerModel(QString model);
    void getDocumentSource(tagSCAN_SHORTCUT_MENU *profile, bool paperPresent);
    void initialVariant();
    // Forgets a cancel; every job does so when it ends.
    void clearCancel();

    // Paper wait and multifed sheets.
    int detectPaper(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, tagINQUIRY inquiry,
                    PMessage *hub, bool &paperPresent);
    int detectedMultifeed(OxCommand &command, PMessage *hub);
    int processMultifeed(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                         int answer, ProcessImage &group);

    int state() const { return jobState.load(); }
    // A result that says the link failed, not the device.
    static bool isTransferFailure(int rc);

    static const int kLockAttempts = 10;
    static const int kWakingPauseMs = 500;
    // 30000 ms unless a test shortened it (LinkTimeouts::PaperWait).
    static int paperWaitMs() { return LinkTimeouts::get(LinkTimeouts::PaperWait); }
    static const int kPaperPollMs = 500;

private:
    struct CancelScope
    {
        explicit CancelScope(ScanJob *job) : m_job(job) {}
        ~CancelScope() { m_job->clearCancel(); }
        CancelScope(const CancelScope &) = delete;
        CancelScope &operator=(const CancelScope &) = delete;
        ScanJob *m_job;
    };

    int runCommandSequence(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                           tagINQUIRY &inquiry, tagWINDOW_ADD &lastWindow);
    int runPageLoop(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                    ProcessImage &group);
    int handlePage(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                   const tagREQUEST_HEADER &header, ProcessImage &group);
    int finishJob(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                  ProcessImage &group, const tagWINDOW_ADD &lastWindow, int result);
    bool mergeFullGroup(ProcessImage &group);

    std::atomic<int> jobState{Idle};
    std::atomic<bool> cancelled{false};
    tagSCAN_SHORTCUT_MENU *currentProfile = nullptr;
    ParserCommand parser;
    ScanPaperLog paperLog;
    PageFileWriter pages;
    int blankIndex = 0;
    // The imprinter's counter is 32 bits wide and wraps; it is counted
    // unsigned so that a device value near the top cannot overflow.
    quint32 imprinterIndex = 1;
    quint32 startIndex = 1;
    int stampStartIndex = 0;
    int autoColorAmount = 1;
    int autoColorThreshold = 0;
    int previewCopy = 0;
    int multifeedCopy = 0;
    int headersRead = 0; // headers of this job; no header, no sheet counted

    // ===== Maintenance jobs (scanjob_maintenance.cpp) =======================
    // Short operations of the device and diagnostics pages. Each binds the
    // facade's open port to a command object of its own, locks the scanner,
    // runs a fixed command sequence, unlocks and returns 0 or a negative code.
public:
    int devicePower(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    int deviceSource(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    // Factors as the user gives them (1.0 = no correction).
    int magnification(USBPort *port, double frontX, double frontY, double rearX, double rearY,
                      PMessage *hub);
    int testScanner(USBPort *port);
    int calibrateBeginUDDS(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    int calibrateBeginTest(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    int calibrateBeginTestMag(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub);
    // Sets the device clock to the host's time and reads it back into clock.
    int timeDateLocal(USBPort *port, tagTIME_DATE_LOCAL &clock);
    int getInquiry(USBPort *port, tagINQUIRY &inquiry);
    // Appends the log that selector names (0..255) to log; blocks that
    // arrived before a failure stay appended.
    int logData(USBPort *port, int selector, QByteArray &log);

    static constexpr unsigned int kLogBlockBytes = 2u * 1024 * 1024;
    // A device log is a few MiB; a size beyond this is a broken reply, not a log.
    static constexpr unsigned int kMaxLogBytes = 64u * 1024 * 1024;

private:
    enum class Calibration { UDDS, Test, TestMag };
    // Lock loop of the scan and the maintenance jobs: waking is waited out
    // and, after the last attempt, ignored; any other failure is returned at
    // once.
    int maintenanceLock(OxCommand &command, bool forLog);
    template <typename Fn>
    int lockedOperation(USBPort *port, PMessage *hub, Fn &&body);
    int calibrate(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub, Calibration kind);
    int calibrationImages(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, int &endCode);
    // ===== end of maintenance jobs ==========================================
};

#endif
