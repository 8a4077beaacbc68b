#include "scanpaperlog.h"

#include "errorhandling.h"
#include "filehelper.h"
#include "records.h"
#include "scanshortcut.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

const char kTimeFormat[] = "yyyy-MM-dd hh:mm:ss";
const char kCounterKey[] = "ScannedNum/Num";
const char kCounterGroup[] = "ScannedNum";

} // namespace

ScanPaperLog::ScanPaperLog(QObject *parent)
    : QObject(parent),
      m_nScannedNum(0),
      m_nPageCount(0),
      m_nResolution(0),
      m_nImageWidth(0),
      m_nImageHeight(0)
{
}

void ScanPaperLog::setScannerModelName(QString model)
{
    m_strModelName = model;
}

void ScanPaperLog::setDocumentSource(QString source)
{
    m_strDocumentSource = source;
}

void ScanPaperLog::setScannedBeginTimeFromScanJob()
{
    m_strBeginTime = QDateTime::currentDateTime().toString(QLatin1String(kTimeFormat));
}

void ScanPaperLog::setScannedFinishTimeFromScanJob()
{
    m_strFinishTime = QDateTime::currentDateTime().toString(QLatin1String(kTimeFormat));
}

void ScanPaperLog::setImageWidthAndHeight(int width, int height)
{
    m_nImageWidth = width;
    m_nImageHeight = height;
}

QString ScanPaperLog::rolledLogName(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyyMMddhh-mm-ss")) + QStringLiteral("scanlog.txt");
}

ScanLogSettings ScanPaperLog::settingsFrom(const tagWINDOW_ADD *window,
                                           const tagSCAN_SHORTCUT_MENU *profile)
{
    ScanLogSettings settings;
    if (window) {
        settings.imageFormat = window->ImageFormat;
        settings.resolution = window->ImageResolutionX;
    }
    if (profile) {
        settings.inputDocument = profile->inputDocument;
        settings.documentCropping = profile->sideSettings[0].documentCropping;
        settings.imageCropping = profile->sideSettings[0].imageCropping;
    }
    return settings;
}

bool ScanPaperLog::setLog(const tagWINDOW_ADD *window, const tagSCAN_SHORTCUT_MENU *profile,
                          int result, int sheetCount, QString counterFile, QString logFile,
                          QString logDirectory)
{
    return setLog(settingsFrom(window, profile), result, sheetCount, counterFile, logFile,
                  logDirectory);
}

bool ScanPaperLog::setLog(const ScanLogSettings &settings, int result, int sheetCount,
                          QString counterFile, QString logFile, QString logDirectory)
{
    getScannedNumFromIniFile(counterFile);
    ++m_nScannedNum;

    switch (settings.imageFormat) {
    case 0:
        m_strColorMode = tr("黑白 (1位)");
        break;
    case 1:
        m_strColorMode = tr("灰阶 (8位)");
        break;
    default:
        m_strColorMode = tr("彩色 (24位)");
        break;
    }

    switch (result) {
    case RC_OK:
        m_strResult = tr("完成");
        break;
    case RC_CANCELLED:
        m_strResult = tr("用户取消扫描");
        break;
    case RC_MULTIFEED:
        m_strResult = tr("重张进纸");
        break;
    default:
        m_strResult = tr("扫描失败");
        break;
    }

    const bool detected = settings.documentCropping == 2 ||
                          ((settings.documentCropping == 4 || settings.documentCropping == 7) &&
                           settings.imageCropping == 2);
    m_strScanArea = detected ? tr("自动检测") : tr("指定尺寸");
    m_nResolution = settings.resolution;

    m_strFailReason.clear();
    ErrorHandling::errorCode(result, m_strFailReason);

    if (settings.inputDocument == 2)
        m_nPageCount = sheetCount * 2;
    else if (m_strDocumentSource == tr("文档进纸器"))
        m_nPageCount = sheetCount;
    else
        m_nPageCount = 1;

    setScannedLog();
    m_nPageCount = 0;

    const bool logged = saveScannedLogToTXT(logFile, logDirectory);
    const bool counted = saveScannedNumToIniFile(counterFile);
    return logged && counted;
}

void ScanPaperLog::getScannedNumFromIniFile(QString counterFile)
{
    // Without a counter file the count of this object's previous job stays.
    if (!QFileInfo::exists(counterFile))
        return;
    QSettings ini(counterFile, QSettings::IniFormat);
    bool ok = false;
    const int stored = ini.value(QLatin1String(kCounterKey), 0).toInt(&ok);
    // Only 0 to a full log's count is ever stored. Anything else is a damaged
    // file: an unreadable or negative count starts again, a larger one counts
    // as a full log, so the next job starts a new log and the count can never
    // run past the largest int.
    if (!ok || stored < 0) {
        qDebug() << "Scan counter unreadable, counting from 0:" << counterFile;
        m_nScannedNum = 0;
    } else if (stored > MaxJobsPerLog) {
        qDebug() << "Scan counter" << stored << "beyond a full log:" << counterFile;
        m_nScannedNum = MaxJobsPerLog;
    } else {
        m_nScannedNum = stored;
    }
}

bool ScanPaperLog::saveScannedNumToIniFile(QString counterFile)
{
    const int count = m_nScannedNum <= MaxJobsPerLog ? m_nScannedNum : 1;
    if (!FileHelper::replaceIni(
            counterFile,
            [&](QSettings &ini) {
                ini.remove(QLatin1String(kCounterGroup));
                ini.setValue(QLatin1String(kCounterKey), count);
            },
            false)) {
        qDebug() << "Cannot write the scan counter" << counterFile;
        return false;
    }
    return true;
}

bool ScanPaperLog::saveScannedLogToTXT(QString logFile, QString logDirectory)
{
    if (QFileInfo::exists(logFile) && m_nScannedNum > MaxJobsPerLog) {
        QString rolled = logDirectory;
        if (!rolled.endsWith(QLatin1Char('/')))
            rolled += QLatin1Char('/');
        rolled += rolledLogName(QDateTime::currentDateTime());
        // A failed rename keeps appending to the full log rather than
        // losing the record.
        if (!QFile::rename(logFile, rolled))
            qDebug() << "Cannot roll the scan log over to" << rolled;
    }

    QFile file(logFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qDebug() << "Cannot open the scan log" << logFile << file.errorString();
        return false;
    }
    const QByteArray record = m_strLog.toUtf8();
    const bool written = file.write(record) == record.size() && file.flush();
    file.close();
    if (!written)
        qDebug() << "Cannot write the scan log" << logFile << file.errorString();
    return written;
}

void ScanPaperLog::setScannedLog()
{
    const int jobNumber = m_nScannedNum > MaxJobsPerLog ? m_nScannedNum - MaxJobsPerLog
                                                         : m_nScannedNum;
    m_strLog.clear();
    m_strLog += tr("第%1个扫描作业\n").arg(jobNumber);
    m_strLog += tr("扫描结果：%1\n").arg(m_strResult);
    if (m_strResult == tr("扫描失败")) {
        m_strLog += tr("失败原因：%1\n").arg(m_strFailReason);
        m_strLog += tr("设备型号：Corvan %1 扫描仪\n").arg(m_strModelName);
        m_strLog += tr("扫描页数：%1\n").arg(m_nPageCount);
    } else {
        m_strLog += tr("开始时间：%1\n").arg(m_strBeginTime);
        m_strLog += tr("结束时间：%1\n").arg(m_strFinishTime);
        m_strLog += tr("设备型号：Corvan %1 扫描仪\n").arg(m_strModelName);
        m_strLog += tr("扫描页数：%1\n").arg(m_nPageCount);
        m_strLog += tr("扫描设置\n");
        m_strLog += tr(" 解析度：%1 dpi\n").arg(m_nResolution);
        m_strLog += tr(" 色彩模式：%1\n").arg(m_strColorMode);
        m_strLog += tr(" 文档来源：%1\n").arg(m_strDocumentSource);
        m_strLog += tr(" 扫描区域：%1\n").arg(m_strScanArea);
        const bool pages = m_nPageCount != 0;
        m_strLog += tr(" 图像尺寸：%1 * %2像素\n")
                        .arg(pages ? m_nImageWidth : 0)
                        .arg(pages ? m_nImageHeight : 0);
    }
    m_strLog += QLatin1String("\n\n\n");
}
