#include "pdfocrhander.h"

PdfOcrHander::PdfOcrHander(QObject *parent) : QObject(parent) { clear(); }
PdfOcrHander::~PdfOcrHander() = default;
void PdfOcrHander::setImageInput(QString path) { m_images << path; }
void PdfOcrHander::setPdfOutputFile(QString path) { m_strPdfOutput = path; }
void PdfOcrHander::setTxtOutputFile(QString path) { m_strTxtOutput = path; }
void PdfOcrHander::setPdfKeyword(QString keywords) { m_strKeywords = keywords; }
void PdfOcrHander::clear()
{
    m_strPdfOutput.clear();
    m_strKeywords.clear();
    m_images.clear();
}
void PdfOcrHander::clearTxtFile()
{
    m_strTxtOutput.clear();
    m_images.clear();
}
bool PdfOcrHander::createPdfFile() { return false; }
bool PdfOcrHander::createSinglePdfFile() { return false; }
bool PdfOcrHander::createOcrTxtFile() { return false; }
