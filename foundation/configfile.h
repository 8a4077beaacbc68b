#ifndef CONFIGFILE_H
#define CONFIGFILE_H

#include <QString>

// Switches of support.ini and every per-user path of the suite. Members are
// public: the rest of the system reads them directly after start-up.
class ConfigFile
{
public:
    ConfigFile();

    void initialVariant();
    bool loadConfigFile(QString strAppDir);
    void loadDebugConfigFile();
    void loadOnepressConfigFile();
    void loadVellumConfigFile();
    void loadScanTempFile();
    void loadHelpFilePath();

    int m_nEnableLogFile;
    int m_nOutputMsg;
    int m_nAutoTest;
    int m_nRemoveImage;
    int m_nSupportAllModel;

    QString m_strAppDir;
    QString m_strSupportIni;
    QString m_strConfigLocation;
    QString m_strSettingsDir;
    QString m_strAppIconsDir;
    QString m_strSettingsIconsDir;
    QString m_strOptionIni;
    QString m_strProfilesDir;
    QString m_strProfileIni;
    QString m_strTwainDir;
    QString m_strProfileIconsDir;
    QString m_strStampDir;
    QString m_strAppStampDir;
    QString m_strSoundDir;
    QString m_strAppSoundDir;
    QString m_strStampConfigIni;
    QString m_strScanLogFile;
    QString m_strScannedLogIni;
    QString m_strTempDir;
    QString m_strPdfFile;
    QString m_strBmpFile;
    QString m_strJpegFile;
    QString m_strTiffFile;
    QString m_strRawFile;
    QString m_strRawJpegFile;
    QString m_strPreviewBitmap;
    QString m_strHelpFile;
    QString m_strSettingsGuideFile;

private:
    void derivePerUserPaths();
};

#endif
