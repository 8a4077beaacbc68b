#ifndef TASKRUN_H
#define TASKRUN_H

// One button task from its start to its release, without a widget: the page
// list under its own lock, the state of the run, the clean-up rules and how
// the run ended. The launcher window forwards its slots here and answers what
// the run asks through RunAsker; the output worker is reached through
// RunWorker, the console through ConsoleLink.

#include "pagefile.h"
#include "scandestination.h"
#include "taskshortcut.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class ConsoleLink;

// The window's side of a run: its questions, the image editor, printing, the
// hand-offs and the boxes.
class RunAsker
{
public:
    enum class Printed { Done, Declined, Failed };

    virtual ~RunAsker() = default;
    // The tray menu goes while a run is under way and comes back after it.
    virtual void runStarted() = 0;
    virtual void runReleased() = 0;
    // The feeder question; true: there are more pages to scan.
    virtual bool askMorePages() = 0;
    // Shows the image editor over the profile; true when its scan started.
    virtual bool openEditor(const tagSCAN_SHORTCUT_MENU &profile) = 0;
    // The editor leaves the pages to save in `pages` (null: it was
    // discarded), then goes.
    virtual void closeEditor(QList<tagSCAN_IMAGE_FILE> *pages) = 0;
    // Decline is the user's own choice in the print dialog.
    virtual Printed print(const QList<tagSCAN_IMAGE_FILE> &pages, const tagTASK_SHORTCUT &task) = 0;
    // The written documents to the destination; true when they were
    // delivered (for web mail: sent).
    virtual bool handOff(ScanDestFlag kind, const QList<tagSCAN_IMAGE_FILE> &pages,
                         const tagTASK_SHORTCUT &task) = 0;
    // A failure box ("错误" with the code's text).
    virtual void showFailure(int code) = 0;
};

// The output worker's side. Its answers come back through
// TaskRun::blankPagesMarked, saveFinished and saveDeclined.
class RunWorker
{
public:
    virtual ~RunWorker() = default;
    // Decides blank pages off the GUI thread; the marks come back in order.
    virtual void markBlankPages(const QList<tagSCAN_IMAGE_FILE> &pages, int threshold) = 0;
    // The worker gets its own copy of the page records.
    virtual void startSave(const tagTASK_SHORTCUT &task, const QList<tagSCAN_IMAGE_FILE> &pages) = 0;
    virtual void cancelSave() = 0;
};

class TaskRun
{
public:
    enum class State { Idle, Scanning, Asking, Editing, Marking, Printing, Saving, Dispatching };
    enum class Outcome {
        None,           // no run ended yet
        Dispatched,     // documents written and handed on
        Printed,        // the pages were printed
        NothingScanned, // the scan delivered no page
        Cancelled,      // the scan or the save was cancelled
        Declined,       // a question or the print dialog was answered no
        Discarded,      // the image editor was closed without saving
        Failed,         // nothing written or printed as asked; the page files stay
        CutShort,       // the scanner went away during the scan
    };

    TaskRun(ConsoleLink *console, TaskShortcut *tasks, ScanDestination *destinations);
    void setAsker(RunAsker *asker) { m_asker = asker; }
    void setWorker(RunWorker *worker) { m_worker = worker; }

    // A page record as the console reports the page: the first barcode
    // cleaned of what a file name cannot hold.
    static tagSCAN_IMAGE_FILE pageRecord(const QString &file, signed char side,
                                         const QStringList &barcodes, int width, int height,
                                         int resolution, int colour);

    // The run's entries, in the order a run meets them. All but pageArrived
    // are called on the GUI thread.
    bool canStart() const;
    // False when refused: a run under way, the console busy, no such task.
    bool start(const QString &taskId);
    // The task's profile as the console has it (asking first when the task
    // shows the settings before the scan).
    bool fetchProfile(tagTASK_SHORTCUT &task);
    bool askProfile(tagSCAN_SHORTCUT_MENU &profile);
    // Any thread: the scanning thread reports its pages here.
    void pageArrived(const tagSCAN_IMAGE_FILE &page);
    void scanEnded();
    void editorClosed(bool accepted);
    void save();
    void blankPagesMarked(const QVector<bool> &marks);
    void saveFinished(int result, bool cancelled, const QList<tagSCAN_IMAGE_FILE> &pages);
    void saveDeclined();
    void dispatch();
    void scannerLost();
    // The window goes: every question is answered no from now on and a
    // running save is told to stop.
    void close();

    // The clean-up rules, under the image clean-up switch.
    void removePageFiles();
    void removeDocuments();

    State state() const { return m_state; }
    bool isBusy() const { return m_state != State::Idle; }
    bool isSaving() const { return m_state == State::Saving; }
    bool isClosing() const { return m_closing; }
    Outcome lastOutcome() const { return m_outcome; }
    QString taskId() const { return m_taskId; }
    QList<tagSCAN_IMAGE_FILE> pages() const;

private:
    void setState(State state);
    // Whether a scan of this run is under way (pages may still come).
    bool scanActive() const;
    void release(Outcome outcome);
    void startWorker();
    void forgetPages();
    // Starts a scan with the run ready for its pages; false when refused.
    bool beginScan(const std::function<bool()> &startScan);
    void finishEditing();

    ConsoleLink *m_console;
    TaskShortcut *m_tasks;
    ScanDestination *m_destinations;
    RunAsker *m_asker = nullptr;
    RunWorker *m_worker = nullptr;

    State m_state = State::Idle;
    Outcome m_outcome = Outcome::None;
    QString m_taskId;
    tagTASK_SHORTCUT m_task;
    // The profile stored with the task: a rescan after the feeder question
    // uses it, not one chosen in the console's settings for the first scan.
    tagSCAN_SHORTCUT_MENU m_storedProfile = tagTASK_SHORTCUT::zeroScanProfile();
    enum class Verdict { Open, Accepted, Discarded };
    Verdict m_editor = Verdict::Open;
    bool m_lost = false;
    bool m_closing = false;

    // The scanning thread appends while a scan of this run is active; the GUI
    // thread changes the list only between scans. Every other reader gets a
    // copy.
    mutable QMutex m_pageMutex;
    QList<tagSCAN_IMAGE_FILE> m_pages;
    bool m_scanActive = false;
};

#endif // TASKRUN_H
