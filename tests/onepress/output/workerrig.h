#ifndef WORKERRIG_H
#define WORKERRIG_H

// The output worker as the launcher runs it: on a thread of its own, its
// questions answered through blocking queued connections by an object on
// the test's thread.

#include "processfile.h"
#include "support/testtiming.h"
#include "taskshortcut.h"

#include <QTest>
#include <QStringList>
#include <QThread>

// A task writing `type` documents named by date and order number.
inline tagTASK_SHORTCUT workerTask(int type, const QString &folder, const QString &prefix)
{
    tagTASK_SHORTCUT t;
    t.FileTypeID = static_cast<ScanFileTypeFlag>(type);
    t.FolderPath = folder;
    t.FileNamePrefix = prefix;
    return t;
}

// One run of the worker on the calling thread, asking nothing (for a child
// process, which has no thread to answer it); `pages` gets the output names.
inline int saveOnThisThread(tagTASK_SHORTCUT task, QList<tagSCAN_IMAGE_FILE> &pages)
{
    nSleepTime = 0;
    ProcessFile worker;
    worker.setListImageFiles(pages);
    worker.setParameters(task);
    worker.OnStartSaveFile();
    pages = worker.listImageFiles();
    return worker.saveResult();
}

class WorkerAnswerer : public QObject
{
    Q_OBJECT
public:
    ProcessFile *worker = nullptr;
    bool groupAnswer = true;
    bool saveAsAnswer = true;
    bool keywordAnswer = true;
    QString savePath; // empty: keep the proposal
    QString keyword;
    QStringList asked; // questions in the order they came
    QString proposal;
    QString filter;

public slots:
    void onSave(QString name, QString f)
    {
        asked << "saveAs";
        proposal = name;
        filter = f;
        if (saveAsAnswer)
            worker->setSavePath(savePath.isEmpty() ? name : savePath);
        worker->setContinue(saveAsAnswer);
    }
    void onKeywords()
    {
        asked << "keywords";
        if (keywordAnswer)
            worker->setKeyWord(keyword);
        worker->setContinue(keywordAnswer);
    }
    void onBlank(int b, int g) { onGroups(QStringLiteral("blank %1 %2").arg(b).arg(g)); }
    void onBoth(int b, int c, int g)
    {
        onGroups(QStringLiteral("both %1 %2 %3").arg(b).arg(c).arg(g));
    }
    void onBarcode(int c, int g) { onGroups(QStringLiteral("barcode %1 %2").arg(c).arg(g)); }

private:
    void onGroups(const QString &question)
    {
        asked << question;
        worker->setContinue(groupAnswer);
    }
};

class WorkerRig : public QObject
{
    Q_OBJECT
public:
    WorkerRig()
    {
        nSleepTime = 0;
        worker = new ProcessFile(nullptr);
        answerer.worker = worker;
        worker->moveToThread(&thread);
        thread.start();
        const auto bq = Qt::BlockingQueuedConnection;
        connect(worker, &ProcessFile::showSaveDialog, &answerer, &WorkerAnswerer::onSave, bq);
        connect(worker, &ProcessFile::showKeyWordsDialog, &answerer, &WorkerAnswerer::onKeywords,
                bq);
        connect(worker, &ProcessFile::blankPageGroup, &answerer, &WorkerAnswerer::onBlank, bq);
        connect(worker, &ProcessFile::blankPageAndBarcodeGroup, &answerer, &WorkerAnswerer::onBoth,
                bq);
        connect(worker, &ProcessFile::barcodeGroup, &answerer, &WorkerAnswerer::onBarcode, bq);
        connect(this, &WorkerRig::saveFiles, worker, &ProcessFile::OnStartSaveFile);
    }
    ~WorkerRig() override
    {
        thread.quit();
        thread.wait();
        delete worker;
    }

    // Runs one task over `pages` as the launcher does; true when the run
    // ended with saveFileFinished, false after userCancelSaveFile.
    bool run(tagTASK_SHORTCUT task, QList<tagSCAN_IMAGE_FILE> &pages, int timeoutMs = 20000)
    {
        // The ends are counted on this thread: a spy would be filled by the
        // worker's thread while this one reads it, and could be destroyed
        // here while the worker is still inside it.
        int finished = 0, cancelled = 0;
        QObject counter;
        connect(
            worker, &ProcessFile::saveFileFinished, &counter, [&] { ++finished; },
            Qt::QueuedConnection);
        connect(
            worker, &ProcessFile::userCancelSaveFile, &counter, [&] { ++cancelled; },
            Qt::QueuedConnection);
        worker->setListImageFiles(pages);
        worker->setParameters(task);
        emit saveFiles();
        // A run that never ends shows in `ended` staying 0.
        (void)QTest::qWaitFor([&] { return finished + cancelled > 0; }, scaledMs(timeoutMs));
        if (finished + cancelled) {
            // Once the worker's thread is back in its loop, the records carry
            // the output names the run gave them, and any second end signal
            // has been sent.
            QMetaObject::invokeMethod(
                worker, [] {}, Qt::BlockingQueuedConnection);
            QCoreApplication::sendPostedEvents(&counter);
            pages = worker->listImageFiles();
        }
        ended = finished + cancelled;
        return finished > 0;
    }

    QThread thread;
    ProcessFile *worker;
    WorkerAnswerer answerer;
    int ended = 0;

signals:
    void saveFiles();
};

#endif
