#ifndef PRINTJOB_H
#define PRINTJOB_H

#include "corvanglobal.h"
#include "pagefile.h"

#include <QList>
#include <QObject>

#include <memory>

struct tagTASK_SHORTCUT;
class QPrinter;
class QWidget;

// Prints every scanned page on a sheet of its own with the task's printer
// settings: stretched to the printable area, or at its physical size.
class ONEPRESS_EXPORT PrintJob : public QObject
{
    Q_OBJECT
public:
    PrintJob(QList<tagSCAN_IMAGE_FILE> &pages, QObject *parent = nullptr);
    ~PrintJob() override;

    void setParameters(tagTASK_SHORTCUT &task);
    // The task's stored printer settings, shared with the task editor's
    // printer so both print the same way.
    static void applyTaskSettings(QPrinter &printer, const tagTASK_SHORTCUT &task);
    int openPrinterDialog(QWidget *parent);
    // False when the printer could not be opened or did not take the pages.
    bool printImageAuto(bool centre);
    bool printImageAdjust();
    bool printImageDonotAdjust(bool centre);

    QPrinter *printer() const { return m_printer.get(); }

private:
    bool printPages(int mode, bool centre);

    QList<tagSCAN_IMAGE_FILE> &m_pages;
    std::unique_ptr<QPrinter> m_printer;
};

#endif
