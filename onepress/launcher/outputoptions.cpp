#include "outputoptions.h"

#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

// Makes the first item whose data equals the value current; nothing when the
// current item already carries it or no item does.
void selectByData(QComboBox *box, int value)
{
    if (!box)
        return;
    if (box->currentIndex() >= 0 && box->currentData().toInt() == value)
        return;
    const int i = box->findData(value);
    if (i >= 0)
        box->setCurrentIndex(i);
}

void showScaled(QLabel *label, const QString &path)
{
    if (!label)
        return;
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setScaledContents(true);
    label->setPixmap(QPixmap(path));
}

} // namespace

// ---------------------------------------------------------------- file types

ScanFileType::ScanFileType(QObject *parent) : QObject(parent) {}

void ScanFileType::initialVariant()
{
    m_box = nullptr;
    m_list.clear();
}

void ScanFileType::loadFileTypeList()
{
    loadFileTypeList(tr("PDF - 可搜索"), ":/filetype/images/BW-MultiPage-PDF.png",
                     FileTypeSearchablePdf, true);
    loadFileTypeList(tr("PDF"), ":/filetype/images/BW-MultiPage-PDF.png", FileTypePdf, false);
    loadFileTypeList(tr("TIFF - 多页"), ":/filetype/images/BW-MultiPage-TIFF.png",
                     FileTypeMultiPageTiff, false);
    loadFileTypeList(tr("JPEG/TIFF - 单页"), ":/filetype/images/Color-JPEG.png", FileTypeJpegTiff,
                     false);
    loadFileTypeList(tr("PNG"), ":/filetype/images/Color-PNG.png", FileTypePng, false);
    loadFileTypeList(tr("PDF - 单页可搜索"), ":/filetype/images/BW-PDF.png",
                     FileTypeSearchablePdfSingle, true);
    loadFileTypeList(tr("PDF - 单页"), ":/filetype/images/BW-PDF.png", FileTypePdfSingle, false);
    loadFileTypeList(tr("BMP"), ":/filetype/images/Color-BMP.png", FileTypeBmp, false);
    loadFileTypeList(tr("OFD"), ":/filetype/images/OFD.png", FileTypeOfd, false);
    loadFileTypeList(tr("TXT"), ":/filetype/images/BW-TXT.png", FileTypeTxt, false);
}

void ScanFileType::loadFileTypeList(QString label, QString icon, ScanFileTypeFlag type, bool ocr)
{
    m_list.append({type, label, icon, ocr});
}

bool ScanFileType::loadFileTypeListToControl(QComboBox *box)
{
    m_box = box;
    for (const tagSCAN_FILE_TYPE &t : m_list)
        box->addItem(QIcon(), t.label, static_cast<int>(t.type));
    return true;
}

ScanFileTypeFlag ScanFileType::getScanDestID(int index)
{
    if (index < 0 || index >= m_list.size())
        return FileTypePdf;
    return m_list.at(index).type;
}

bool ScanFileType::isListed(int value)
{
    return value == 1 || value == 2 || (value >= 6 && value <= 13);
}

void ScanFileType::setFileTypeCurrentIndex(QLabel *label, QPushButton *ocrButton,
                                           ScanFileTypeFlag type)
{
    for (int i = 0; i < m_list.size(); ++i) {
        if (m_list.at(i).type != type)
            continue;
        if (m_box)
            m_box->setCurrentIndex(i);
        loadIcon(label, ocrButton, type);
        return;
    }
}

bool ScanFileType::loadIcon(QLabel *label, QPushButton *ocrButton, ScanFileTypeFlag type)
{
    for (const tagSCAN_FILE_TYPE &t : m_list) {
        if (t.type != type)
            continue;
        showScaled(label, t.icon);
        if (ocrButton) {
            // OFD and text keep whatever the previous type left.
            if (type == FileTypeSearchablePdf || type == FileTypeSearchablePdfSingle)
                ocrButton->setEnabled(true);
            else if (type != FileTypeOfd && type != FileTypeTxt)
                ocrButton->setEnabled(false);
        }
        return true;
    }
    return false;
}

// ---------------------------------------------------------- file-name formats

FileNameFormat::FileNameFormat(QObject *parent) : QObject(parent) {}

void FileNameFormat::initialVariant()
{
    m_box = nullptr;
    m_list.clear();
}

void FileNameFormat::loadFileNameFormatList()
{
    loadFileNameFormatList(tr("日期和顺序号"), FileNameDateSequence);
    loadFileNameFormatList(tr("日期和时间戳记"), FileNameDateTime);
    loadFileNameFormatList(tr("条码和序列号"), FileNameBarcodeSequence);
    loadFileNameFormatList(tr("条码和时间戳记"), FileNameBarcodeTime);
}

void FileNameFormat::loadFileNameFormatList(QString label, FileNameFormatFlag format)
{
    m_list.append({format, label});
}

bool FileNameFormat::loadFileFormatListToControl(QComboBox *box)
{
    m_box = box;
    for (const tagFILE_NAME_FORMAT &f : m_list)
        box->addItem(QIcon(), f.label, static_cast<int>(f.format));
    return true;
}

FileNameFormatFlag FileNameFormat::getFileNameFormatID(int index)
{
    if (index < 0 || index >= m_list.size())
        return FileNameDateSequence;
    return m_list.at(index).format;
}

void FileNameFormat::setFileNameFormatCurrentIndex(FileNameFormatFlag format)
{
    selectByData(m_box, format);
}

// ------------------------------------------------------------- print scaling

ScalePrintPage::ScalePrintPage(QObject *parent) : QObject(parent) {}

void ScalePrintPage::initialVariant()
{
    m_box = nullptr;
    m_list.clear();
}

void ScalePrintPage::loadScaleStyleList()
{
    loadFileNameFormatList(tr("自动"), ScalePrintAuto);
    loadFileNameFormatList(tr("调整到适合的纸张尺寸"), ScalePrintFitPaper);
    loadFileNameFormatList(tr("无"), ScalePrintNone);
}

void ScalePrintPage::loadFileNameFormatList(QString label, ScalePrintPageFlag style)
{
    m_list.append({style, label});
}

bool ScalePrintPage::loadScaleStyleListToControl(QComboBox *box)
{
    m_box = box;
    for (const tagSCALE_PRINT_PAGE &s : m_list)
        box->addItem(QIcon(), s.label, static_cast<int>(s.style));
    return true;
}

ScalePrintPageFlag ScalePrintPage::getScaleStyleID(int index)
{
    if (index < 0 || index >= m_list.size())
        return ScalePrintAuto;
    return m_list.at(index).style;
}

void ScalePrintPage::setScalePrintPageCurrentIndex(ScalePrintPageFlag style)
{
    selectByData(m_box, style);
}
