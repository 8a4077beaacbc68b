// The searchable-PDF, text and OFD savers of the output worker.

#include "processfile.h"

#include "generatefilename.h"
#include "ofdlibrary.h"
#include "pdfocrhander.h"
#include "taskshortcut.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

void ProcessFile::ocrNotWritten()
{
    // A cancelled run is the user's choice, not a failure to report.
    if (!m_bCancel)
        fail(-50);
}

int ProcessFile::saveOcrPdfInOneFile(tagTASK_SHORTCUT &, GenerateFileName &gen)
{
    forEachGroup(gen, [&](QList<tagSCAN_IMAGE_FILE> &group) {
        const QString output = group.first().outputFileName;
        m_ocr->clear();
        m_ocr->setPdfOutputFile(output);
        m_ocr->setPdfKeyword(m_strKeyWord);
        for (const tagSCAN_IMAGE_FILE &page : qAsConst(group)) {
            if (pageFileUsable(page.fileName, "file is not exist", "file size is zero"))
                m_ocr->setImageInput(page.fileName);
            pagesDone(1);
        }
        if (m_ocr->getImageFiles() > 0 && !output.isEmpty() && !m_bCancel) {
            emit startOcring();
            if (!m_ocr->createPdfFile()) {
                ocrNotWritten();
                unannounce(output);
            }
        } else {
            unannounce(output);
        }
        m_ocr->clear();
    });
    QFile::remove(tempJpegFile());
    emit saveFileFinished();
    return m_nResult;
}

int ProcessFile::saveOcrOnePageOneFile(tagTASK_SHORTCUT &, GenerateFileName &gen)
{
    forEachGroup(gen, [&](QList<tagSCAN_IMAGE_FILE> &group) {
        for (const tagSCAN_IMAGE_FILE &page : qAsConst(group)) {
            // Each page is a run of its own: a cancel ends the saver here.
            if (m_bCancel) {
                unannounce(page.outputFileName);
                continue;
            }
            if (!page.outputFileName.isEmpty()) {
                if (!pageFileUsable(page.fileName, "file is not exist", "file size is zero")) {
                    unannounce(page.outputFileName);
                } else {
                    m_ocr->setPdfOutputFile(page.outputFileName);
                    m_ocr->setPdfKeyword(m_strKeyWord);
                    m_ocr->setImageInput(page.fileName);
                    if (!m_ocr->createSinglePdfFile()) {
                        ocrNotWritten();
                        unannounce(page.outputFileName);
                    }
                    m_ocr->clear();
                }
            }
            pagesDone(1, true);
        }
    });
    finishSaver();
    return m_nResult;
}

int ProcessFile::saveTxtFile(tagTASK_SHORTCUT &, GenerateFileName &gen)
{
    forEachGroup(gen, [&](QList<tagSCAN_IMAGE_FILE> &group) {
        const QString output = group.first().outputFileName;
        m_ocr->setTxtOutputFile(output);
        for (const tagSCAN_IMAGE_FILE &page : qAsConst(group)) {
            if (pageFileUsable(page.fileName, "file is not exist", "file size is zero"))
                m_ocr->setImageInput(page.fileName);
            pagesDone(1, true);
        }
        if (m_ocr->getImageFiles() == 0 || output.isEmpty() || !m_ocr->createOcrTxtFile()) {
            if (m_ocr->getImageFiles() > 0)
                ocrNotWritten();
            unannounce(output);
        }
        m_ocr->clearTxtFile();
    });
    finishSaver();
    return m_nResult;
}

int ProcessFile::saveOfdFile(tagTASK_SHORTCUT &, GenerateFileName &gen)
{
    forEachGroup(gen, [&](QList<tagSCAN_IMAGE_FILE> &group) {
        const QString output = group.first().outputFileName;
        pagesDone(group.size());
        QList<tagSCAN_IMAGE_FILE> usable;
        for (const tagSCAN_IMAGE_FILE &page : qAsConst(group)) {
            if (pageFileUsable(page.fileName, "file is not exist", "file size is zero"))
                usable << page;
        }
        OfdLibrary ofd;
        if (usable.isEmpty() || output.isEmpty() ||
            ofd.imageToOfd(usable, output, m_strKeyWord) != 0) {
            if (!usable.isEmpty())
                fail(-50);
            unannounce(output);
        }
    });
    finishSaver();
    return m_nResult;
}
