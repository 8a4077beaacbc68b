#include "taskrun.h"

#include "consolelink.h"
#include "errorhandling.h"
#include "onepressglobal.h"
#include "outputoptions.h"

#include <QDebug>
#include <QFile>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

TaskRun::TaskRun(ConsoleLink *console, TaskShortcut *tasks, ScanDestination *destinations)
    : m_console(console), m_tasks(tasks), m_destinations(destinations)
{
}

tagSCAN_IMAGE_FILE TaskRun::pageRecord(const QString &file, signed char side,
                                       const QStringList &barcodes, int width, int height,
                                       int resolution, int colour)
{
    tagSCAN_IMAGE_FILE page;
    page.fileName = file;
    page.blank = false;
    page.side = side;
    page.width = width;
    page.height = height;
    page.resolution = resolution;
    page.colorType = colour;
    if (!barcodes.isEmpty()) {
        static const QRegularExpression unsafe(QStringLiteral("[/\\\\:*?<>|\\r\\n\"]"));
        QString code = barcodes.first();
        page.barcode = code.remove(unsafe);
    }
    return page;
}

QList<tagSCAN_IMAGE_FILE> TaskRun::pages() const
{
    QMutexLocker lock(&m_pageMutex);
    return m_pages;
}

bool TaskRun::scanActive() const
{
    QMutexLocker lock(&m_pageMutex);
    return m_scanActive;
}

void TaskRun::setState(State state)
{
    m_state = state;
}

bool TaskRun::canStart() const
{
    return m_state == State::Idle && !m_closing && m_console->isHidden();
}

bool TaskRun::start(const QString &taskId)
{
    if (!canStart())
        return false;
    tagTASK_SHORTCUT task;
    if (!m_tasks->enumTaskShortcut(taskId, task)) {
        qDebug() << "TaskRun: no task" << taskId << "; nothing run";
        return false;
    }
    if (m_console->isScanning()) {
        qDebug() << "TaskRun: the console is scanning; task" << taskId << "not run";
        return false;
    }
    m_asker->runStarted();
    m_taskId = taskId;
    m_task = task;
    m_storedProfile = task.ScanProfile;
    m_editor = Verdict::Open;
    m_lost = false;
    forgetPages();
    fetchProfile(m_task);

    if (!m_task.BeforeSaveEditImage) {
        setState(State::Scanning);
        if (!beginScan([this] { return m_console->startScanJob(m_task.ScanProfile); })) {
            qDebug() << "TaskRun: the console refused the scan of" << taskId;
            release(Outcome::NothingScanned);
        }
        return true;
    }
    // The editor scans through the console; its pages come as any others.
    setState(State::Editing);
    beginScan([this] { return m_asker->openEditor(m_task.ScanProfile); });
    return true;
}

bool TaskRun::beginScan(const std::function<bool()> &startScan)
{
    // Active before the start: the first page may come before it returns.
    {
        QMutexLocker lock(&m_pageMutex);
        m_scanActive = true;
    }
    if (startScan())
        return true;
    QMutexLocker lock(&m_pageMutex);
    m_scanActive = false;
    return false;
}

bool TaskRun::fetchProfile(tagTASK_SHORTCUT &task)
{
    if (task.BeforeScanDisplaySetting)
        return askProfile(task.ScanProfile);
    m_console->setCurrentScanShortcutMenu(scanText(task.ScanProfile.id));
    m_console->getCurrentScanShortcutMenu(task.ScanProfile);
    return true;
}

bool TaskRun::askProfile(tagSCAN_SHORTCUT_MENU &profile)
{
    m_console->setCurrentScanShortcutMenu(scanText(profile.id));
    m_console->reload();
    if (m_console->exec() != 1)
        return false;
    m_console->getCurrentScanShortcutMenu(profile);
    return true;
}

void TaskRun::pageArrived(const tagSCAN_IMAGE_FILE &page)
{
    {
        QMutexLocker lock(&m_pageMutex);
        if (m_scanActive) {
            m_pages.append(page);
            return;
        }
    }
    // No scan of a run is under way: the page belongs to nobody, and kept
    // it would end up in the next task's document.
    qDebug() << "TaskRun: a page came while no run was scanning; dropped:" << page.fileName;
    if (g_ConfigFile.m_nRemoveImage == 1)
        QFile::remove(page.fileName);
}

void TaskRun::scanEnded()
{
    {
        QMutexLocker lock(&m_pageMutex);
        m_scanActive = false;
    }
    if (m_state == State::Editing) {
        // The editor decides; when it already has, its answer waited for this.
        if (m_editor != Verdict::Open)
            finishEditing();
        return;
    }
    if (m_state != State::Scanning) {
        qDebug() << "TaskRun: the end of a scan that no run waits for";
        return;
    }
    if (m_console->isCancel()) {
        // The pages gathered so far are forgotten; their files stay.
        forgetPages();
        release(Outcome::Cancelled);
        return;
    }
    if (m_task.ADFEmptyWaiting && !m_closing) {
        setState(State::Asking);
        const bool more = m_asker->askMorePages();
        if (m_state != State::Asking)
            return;
        if (more && !m_lost && !m_closing) {
            setState(State::Scanning);
            if (!m_console->isScanning() &&
                beginScan([this] { return m_console->startScanJob(m_storedProfile); }))
                return;
            qDebug() << "TaskRun: the rescan was refused; saving the pages so far";
        } else if (more) {
            qDebug() << "TaskRun: no scanner for more pages; saving the pages so far";
        }
    }
    save();
}

void TaskRun::editorClosed(bool accepted)
{
    if (m_state != State::Editing) {
        // The run ended without it (the scanner went during its scan).
        m_asker->closeEditor(nullptr);
        return;
    }
    m_editor = accepted ? Verdict::Accepted : Verdict::Discarded;
    if (scanActive()) {
        // Saving now would leave out the pages still to come; discarding now
        // would leave them to the next run.
        qDebug() << "TaskRun: the editor closed during its scan; the scan's end decides";
        return;
    }
    finishEditing();
}

void TaskRun::finishEditing()
{
    if (m_editor == Verdict::Discarded) {
        m_asker->closeEditor(nullptr);
        removePageFiles();
        release(Outcome::Discarded);
        return;
    }
    QList<tagSCAN_IMAGE_FILE> kept = pages();
    m_asker->closeEditor(&kept);
    {
        QMutexLocker lock(&m_pageMutex);
        m_pages = kept;
    }
    save();
}

void TaskRun::save()
{
    const QList<tagSCAN_IMAGE_FILE> list = pages();
    if (list.isEmpty()) {
        release(Outcome::NothingScanned);
        return;
    }
    if (m_destinations->getScanDestID(m_task.ScanDestinationID) == ScanDestPrinter) {
        setState(State::Printing);
        const RunAsker::Printed printed = m_asker->print(list, m_task);
        if (printed == RunAsker::Printed::Failed) {
            // Nothing came out of the printer: the scanned pages stay.
            forgetPages();
            release(Outcome::Failed);
            m_asker->showFailure(RC_FILE_CREATE_FAILED);
            return;
        }
        removePageFiles();
        release(printed == RunAsker::Printed::Done ? Outcome::Printed : Outcome::Declined);
        return;
    }
    if (m_task.BlankPageSeparate) {
        setState(State::Marking);
        m_worker->markBlankPages(list, m_task.BlankPageThreshold);
        return;
    }
    startWorker();
}

void TaskRun::blankPagesMarked(const QVector<bool> &marks)
{
    if (m_state != State::Marking)
        return;
    if (m_closing) {
        removePageFiles();
        release(Outcome::Cancelled);
        return;
    }
    {
        QMutexLocker lock(&m_pageMutex);
        if (marks.size() == m_pages.size())
            for (int i = 0; i < m_pages.size(); ++i)
                if (m_pages.at(i).barcode.isEmpty())
                    m_pages[i].blank = marks.at(i);
    }
    startWorker();
}

void TaskRun::startWorker()
{
    if (!ScanFileType::isListed(m_task.FileTypeID)) {
        // No writer would ever report an end.
        qDebug() << "TaskRun: file type" << m_task.FileTypeID << "has no writer; nothing saved";
        forgetPages();
        release(Outcome::Failed);
        m_asker->showFailure(RC_FILE_CREATE_FAILED);
        return;
    }
    setState(State::Saving);
    m_worker->startSave(m_task, pages());
}

void TaskRun::saveFinished(int result, bool cancelled, const QList<tagSCAN_IMAGE_FILE> &named)
{
    if (m_state != State::Saving) {
        qDebug() << "TaskRun: the end of a save that no run waits for";
        return;
    }
    if (cancelled || m_closing) {
        removePageFiles();
        release(Outcome::Cancelled);
        return;
    }
    if (result < 0) {
        // Not written as asked: the scanned pages stay and nothing is handed on.
        forgetPages();
        release(Outcome::Failed);
        m_asker->showFailure(result);
        return;
    }
    {
        QMutexLocker lock(&m_pageMutex);
        m_pages = named;
    }
    dispatch();
}

void TaskRun::saveDeclined()
{
    if (m_state != State::Saving)
        return;
    removePageFiles();
    release(Outcome::Declined);
}

void TaskRun::dispatch()
{
    setState(State::Dispatching);
    const QList<tagSCAN_IMAGE_FILE> list = pages();
    const bool written = std::any_of(list.begin(), list.end(), [](const tagSCAN_IMAGE_FILE &p) {
        return !p.outputFileName.isEmpty();
    });
    if (!written) {
        // Every page was blank: no mail without an attachment, no empty compose window.
        qDebug() << "TaskRun: no document was written; nothing handed on";
    } else {
        const ScanDestFlag kind = m_destinations->getScanDestID(m_task.ScanDestinationID);
        const bool delivered = m_asker->handOff(kind, list, m_task);
        if (kind == ScanDestWebMail && delivered && m_task.AfterSendFileDeleteFile)
            removeDocuments();
    }
    removePageFiles();
    release(Outcome::Dispatched);
}

void TaskRun::scannerLost()
{
    if (m_state == State::Idle)
        return;
    if (!scanActive()) {
        // The scan is complete: the document and its hand-off need no scanner.
        m_lost = true;
        return;
    }
    // Cut short: what came of the scan is removed.
    if (m_state == State::Editing)
        m_asker->closeEditor(nullptr);
    removePageFiles();
    release(Outcome::CutShort);
}

void TaskRun::close()
{
    m_closing = true;
    if (m_state == State::Saving)
        m_worker->cancelSave();
}

void TaskRun::forgetPages()
{
    QMutexLocker lock(&m_pageMutex);
    if (!m_pages.isEmpty())
        qDebug() << "TaskRun:" << m_pages.size() << "page(s) forgotten, their files kept";
    m_pages.clear();
}

void TaskRun::removePageFiles()
{
    QList<tagSCAN_IMAGE_FILE> gone;
    {
        QMutexLocker lock(&m_pageMutex);
        gone.swap(m_pages);
    }
    if (g_ConfigFile.m_nRemoveImage != 1)
        return;
    for (const tagSCAN_IMAGE_FILE &p : qAsConst(gone))
        QFile::remove(p.fileName);
}

void TaskRun::removeDocuments()
{
    if (g_ConfigFile.m_nRemoveImage != 1)
        return;
    // A document that holds several pages is named by each of them.
    QSet<QString> done;
    for (const tagSCAN_IMAGE_FILE &p : pages()) {
        if (p.outputFileName.isEmpty() || done.contains(p.outputFileName))
            continue;
        done.insert(p.outputFileName);
        QFile::remove(p.outputFileName);
    }
}

void TaskRun::release(Outcome outcome)
{
    {
        QMutexLocker lock(&m_pageMutex);
        m_scanActive = false;
    }
    setState(State::Idle);
    m_outcome = outcome;
    m_asker->runReleased();
}
