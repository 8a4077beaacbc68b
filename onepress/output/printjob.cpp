#include "printjob.h"

#include "taskshortcut.h"

#include <QDebug>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <cmath>

PrintJob::PrintJob(QList<tagSCAN_IMAGE_FILE> &pages, QObject *parent)
    : QObject(parent), m_pages(pages), m_printer(new QPrinter(QPrinter::ScreenResolution))
{
}

PrintJob::~PrintJob() = default;

void PrintJob::setParameters(tagTASK_SHORTCUT &task)
{
    applyTaskSettings(*m_printer, task);
}

void PrintJob::applyTaskSettings(QPrinter &p, const tagTASK_SHORTCUT &task)
{
    p.setPrinterName(task.PrinterName);
    p.setPageSize(QPageSize(static_cast<QPageSize::PageSizeId>(task.PageSize)));
    p.setCollateCopies(task.CollateCopies);
    p.setColorMode(static_cast<QPrinter::ColorMode>(task.ColorMode));
    p.setCopyCount(task.CopyCount);
    p.setCreator(task.Creator);
    p.setDocName(task.DocName);
    p.setDuplex(static_cast<QPrinter::DuplexMode>(task.Duplex));
    p.setFontEmbeddingEnabled(task.FontEmbeddingEnabled);
    p.setFullPage(task.FullPage);
    p.setPageOrientation(static_cast<QPageLayout::Orientation>(task.Orientation));
    p.setOutputFileName(task.OutputFileName);
    p.setOutputFormat(static_cast<QPrinter::OutputFormat>(task.OutputFormat));
    p.setPageOrder(static_cast<QPrinter::PageOrder>(task.PageOrder));
    p.setPageSize(QPageSize(static_cast<QPageSize::PageSizeId>(task.PaperSize)));
    p.setPaperSource(static_cast<QPrinter::PaperSource>(task.PaperSource));
    p.setPrintProgram(task.PrintProgram);
    p.setPrintRange(static_cast<QPrinter::PrintRange>(task.PrintRange));
}

int PrintJob::openPrinterDialog(QWidget *parent)
{
    QPrintDialog dialog(m_printer.get(), parent);
    return dialog.exec();
}

bool PrintJob::printImageAuto(bool centre)
{
    return printImageDonotAdjust(centre);
}
bool PrintJob::printImageAdjust()
{
    return printPages(2, false);
}
bool PrintJob::printImageDonotAdjust(bool centre)
{
    return printPages(3, centre);
}

bool PrintJob::printPages(int mode, bool centre)
{
    QPainter painter;
    if (!painter.begin(m_printer.get())) {
        qDebug() << "The printer could not be opened:" << m_printer->printerName()
                 << m_printer->outputFileName();
        return false;
    }
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qDebug() << "printer.pageSize()" << m_printer->pageSize();
    qDebug() << "printer.winPageSize()" << m_printer->winPageSize();
    qDebug() << "printer.paperSize()" << m_printer->paperSize();
    QT_WARNING_POP
    qDebug() << "printer.resolution()" << m_printer->resolution();
    const QRect viewport = painter.viewport();
    qDebug() << "viewport" << viewport << "window" << painter.window();
    const int W = viewport.right() - viewport.left() + 1;
    const int H = viewport.bottom() - viewport.top() + 1;
    qDebug() << "Paper Width:" << W << "Paper Height:" << H;
    const int R = m_printer->resolution();

    bool ok = true;
    for (int i = 0; i < m_pages.size(); ++i) {
        if (i > 0 && !m_printer->newPage()) {
            qDebug() << "The printer took no further page";
            ok = false;
            break;
        }
        const QImage image(m_pages.at(i).fileName);
        if (image.isNull())
            continue; // a blank sheet for a page that cannot be read
        if (mode == 2) {
            qDebug() << "Image Width:" << image.width() << "Image Height:" << image.height()
                     << image.dotsPerMeterX() << image.dotsPerMeterY();
            painter.drawImage(0, 0,
                              image.scaled(W, H, Qt::IgnoreAspectRatio, Qt::FastTransformation));
            continue;
        }
        // The image's own density, else the page's scanned resolution, else
        // 200 dpi; sizes stay fractional inches.
        int dpi = static_cast<int>(std::lround(image.dotsPerMeterX() * 0.0254));
        // Qt reports its screen default (96 dpi) for a file that stores no
        // density; the page's scanned resolution is the better guess then.
        const QImage unset(1, 1, QImage::Format_RGB32);
        if (dpi <= 0 ||
            (image.dotsPerMeterX() == unset.dotsPerMeterX() && m_pages.at(i).resolution > 0))
            dpi = m_pages.at(i).resolution;
        if (dpi <= 0)
            dpi = 200;
        qDebug() << image.dotsPerMeterX() << "Image Width:" << image.width()
                 << "Image Height:" << image.height();
        qDebug() << "Image width:" << double(image.width()) / dpi
                 << "Image height:" << double(image.height()) / dpi;
        const int w = static_cast<int>(std::lround(double(image.width()) * R / dpi));
        const int h = static_cast<int>(std::lround(double(image.height()) * R / dpi));
        if (w <= 0 || h <= 0)
            continue;
        const int x = centre ? (W - w) / 2 : 0;
        const int y = centre ? (H - h) / 2 : 0;
        painter.drawImage(x, y, image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    if (!painter.end() || !ok) {
        qDebug() << "The print job did not finish:" << m_printer->printerName();
        return false;
    }
    return true;
}
