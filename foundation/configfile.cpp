#include "configfile.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const char kProduct[] = "Corvan/VR516";

void makeDirIfMissing(const QString &path)
{
    QDir dir;
    if (!dir.exists(path))
        dir.mkpath(path);
}

QString slashed(QString path)
{
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

} // namespace

ConfigFile::ConfigFile()
{
    initialVariant();
}

void ConfigFile::initialVariant()
{
    m_nEnableLogFile = 0;
    m_nOutputMsg = 0;
    m_nAutoTest = 0;
    m_nRemoveImage = 1;
    m_nSupportAllModel = 0;
    for (QString *s : {&m_strAppDir, &m_strSupportIni, &m_strConfigLocation, &m_strSettingsDir,
                       &m_strAppIconsDir, &m_strSettingsIconsDir, &m_strOptionIni,
                       &m_strProfilesDir, &m_strProfileIni, &m_strTwainDir, &m_strProfileIconsDir,
                       &m_strStampDir, &m_strAppStampDir, &m_strSoundDir, &m_strAppSoundDir,
                       &m_strStampConfigIni, &m_strScanLogFile, &m_strScannedLogIni,
                       &m_strTempDir, &m_strPdfFile, &m_strBmpFile, &m_strJpegFile,
                       &m_strTiffFile, &m_strRawFile, &m_strRawJpegFile, &m_strPreviewBitmap,
                       &m_strHelpFile, &m_strSettingsGuideFile})
        s->clear();
}

bool ConfigFile::loadConfigFile(QString strAppDir)
{
    m_strAppDir = strAppDir;
    m_strSupportIni = strAppDir + "/" + "support.ini";
    m_strConfigLocation = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);

    if (!QFileInfo(m_strSupportIni).isFile()) {
        qDebug() << "Cannot find configuration file" << "support.ini";
        // Without support.ini the switches keep their defaults, but the
        // per-user directories are still derived and created: empty paths
        // would make later files land at the filesystem root.
        derivePerUserPaths();
        return false;
    }

    loadDebugConfigFile();
    derivePerUserPaths();
    return true;
}

void ConfigFile::derivePerUserPaths()
{
    loadOnepressConfigFile();
    loadVellumConfigFile();
    loadScanTempFile();
    loadHelpFilePath();

    // A missing file reads every key as its default, so the same code serves
    // both the loaded and the missing-file case.
    QSettings ini(m_strSupportIni, QSettings::IniFormat);
    const QString temp = m_strConfigLocation + "/" + kProduct + "/Temp/";
    auto name = [&ini](const char *key, const char *def) {
        return ini.value(QStringLiteral("PATH_CONFIG/") + key, QString::fromLatin1(def)).toString();
    };
    m_strPdfFile = temp + name("PDFFileName", "IMGPDF") + ".pdf";
    m_strBmpFile = temp + name("BMPFileName", "IMGBMP") + ".bmp";
    m_strJpegFile = temp + name("JPEGFileName", "IMGJPEG") + ".jpg";
    m_strTiffFile = temp + name("TIFFFileName", "IMGTIFF") + ".tif";
    m_strRawFile = temp + name("RAWFileName", "IMGRAW");
    m_strRawJpegFile = temp + name("RAWJPEGFileName", "IMGRAWJPEG");
    m_strPreviewBitmap =
        temp + name("PREVIEW_BITMAP", "{A5B02970-40CD-4b43-8427-F82F6FC20A99}.bmp");
}

void ConfigFile::loadDebugConfigFile()
{
    QSettings ini(m_strSupportIni, QSettings::IniFormat);
    m_nEnableLogFile = ini.value("Debug/EnableLogFile", 0).toInt();
    m_nOutputMsg = ini.value("Debug/OutputMsg", 0).toInt();
    m_nAutoTest = ini.value("Debug/AutoTest", 0).toInt();
    m_nRemoveImage = ini.value("Debug/RemoveImage", 1).toInt();
    m_nSupportAllModel = ini.value("Debug/SupportAllModel", 0).toInt();
}

void ConfigFile::loadOnepressConfigFile()
{
    m_strAppIconsDir = m_strAppDir + "/" + "icons";
    m_strSettingsDir = slashed(m_strConfigLocation + "/" + kProduct + "/Settings");
    makeDirIfMissing(m_strSettingsDir);
    m_strSettingsIconsDir = m_strSettingsDir + "/" + "icons";
    makeDirIfMissing(m_strSettingsIconsDir);
    m_strOptionIni = m_strSettingsDir + "/" + "option.ini";
}

void ConfigFile::loadVellumConfigFile()
{
    m_strTwainDir = m_strAppDir + "/" + "twain";
    m_strProfilesDir = slashed(m_strConfigLocation + "/" + kProduct + "/Profiles");
    makeDirIfMissing(m_strProfilesDir);
    m_strProfileIni = m_strProfilesDir + "/" + "profile.ini";
    m_strProfileIconsDir = m_strProfilesDir + "/" + "icons";
    makeDirIfMissing(m_strProfileIconsDir);
    m_strStampConfigIni = m_strProfilesDir + "/" + "stampconfig.ini";
    m_strScanLogFile = m_strProfilesDir + "/" + "scanlog.txt";
    m_strScannedLogIni = m_strProfilesDir + "/" + "scannedlog.ini";
    m_strAppStampDir = m_strAppDir + "/" + "stamp";
    m_strStampDir = m_strProfilesDir + "/" + "stamp";
    makeDirIfMissing(m_strStampDir);
    m_strAppSoundDir = m_strAppDir + "/" + "sound";
    m_strSoundDir = m_strProfilesDir + "/" + "sound";
    makeDirIfMissing(m_strSoundDir);
}

void ConfigFile::loadScanTempFile()
{
    m_strTempDir = m_strConfigLocation + "/" + kProduct + "/Temp";
    makeDirIfMissing(m_strTempDir);
}

void ConfigFile::loadHelpFilePath()
{
    m_strHelpFile = m_strAppDir + "/" + "help" + "/" + "Deskscope_ZH_CN.pdf";
    m_strSettingsGuideFile = m_strAppDir + "/" + "help" + "/" + "Scan_Settings_Guide_ZH_CN.pdf";
}
