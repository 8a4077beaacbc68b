#ifndef SCANJOB_H
#define SCANJOB_H

#include "pagefilewriter.h"
#include "parsercommand.h"
#include "records.h"
#include "scanpaperlog.h"

#include <QObject>
#include <QString>

#include <atomic>

class OxCommand;
class PMessage;
class ProcessImage;
class USBPort;
struct tagSCAN_SHORTCUT_MENU;

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

    // Paper wait and multifed sheets.
    int detectPaper(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, tagINQUIRY inquiry,
                    PMessage *hub, bool &paperPresent);
    int detectedMultifeed(OxCommand &command, PMessage *hub);
    int processMultifeed(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                         int answer, ProcessImage &group);

    int state() const { return jobState.load(); }

    static const int kLockAttempts = 10;
    static const int kWakingPauseMs = 500;
    static const int kPaperWaitMs = 30000;
    static const int kPaperPollMs = 500;

private:
    int lockWithRetry(OxCommand &command);
    int runCommandSequence(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                           tagINQUIRY &inquiry, tagWINDOW_ADD &lastWindow);
    int runPageLoop(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                    ProcessImage &group);
    int handlePage(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                   const tagREQUEST_HEADER &header, ProcessImage &group);
    int finishJob(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                  ProcessImage &group, const tagWINDOW_ADD &lastWindow, int result);
    bool mergeFullGroup(ProcessImage &group);
    void acceptHeldPages(tagSCAN_SHORTCUT_MENU *profile, PMessage *hub, ProcessImage &group);

    std::atomic<int> jobState{Idle};
    std::atomic<bool> cancelled{false};
    tagSCAN_SHORTCUT_MENU *currentProfile = nullptr;
    ParserCommand parser;
    ScanPaperLog paperLog;
    PageFileWriter pages;
    int blankIndex = 0;
    int imprinterIndex = 1;
    int startIndex = 1;
    int stampStartIndex = 0;
    int autoColorAmount = 1;
    int autoColorThreshold = 0;
    int previewCopy = 0;
    int multifeedCopy = 0;
};

#endif
