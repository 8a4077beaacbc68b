#ifndef SCANPAPERLOG_H
#define SCANPAPERLOG_H

#include <QDateTime>
#include <QObject>
#include <QString>

struct tagWINDOW_ADD;
struct tagSCAN_SHORTCUT_MENU;

// The job's settings as the log record shows them: from the job's window
// record and its profile.
struct ScanLogSettings
{
    int imageFormat = 0;      // window ImageFormat: 0 black and white, 1 grey, 2 colour
    int resolution = 0;       // window ImageResolutionX, dots per inch
    int inputDocument = 0;    // profile: 2 both sides
    int documentCropping = 0; // profile, first setting block
    int imageCropping = 0;    // profile, first setting block
};

// The human-readable record of every scan job that is not a preview
// (scanlog.txt) and the job counter (scannedlog.ini). A log holds at most
// 2000 jobs; the job after that starts a new one and the full log is kept
// under a time-stamped name.
class ScanPaperLog : public QObject
{
    Q_OBJECT
public:
    enum { MaxJobsPerLog = 2000 };

    explicit ScanPaperLog(QObject *parent = nullptr);

    void setScannerModelName(QString model);
    void setDocumentSource(QString source);
    void setScannedBeginTimeFromScanJob();
    void setScannedFinishTimeFromScanJob();
    void setImageWidthAndHeight(int width, int height);

    // Writes one record and the counter; false when either could not be
    // written (the rest is still attempted).
    bool setLog(const ScanLogSettings &settings, int result, int sheetCount,
                QString counterFile, QString logFile, QString logDirectory);
    // The scan job's form: its last window record (null when no window was
    // sent) and its profile.
    bool setLog(const tagWINDOW_ADD *window, const tagSCAN_SHORTCUT_MENU *profile, int result,
                int sheetCount, QString counterFile, QString logFile, QString logDirectory);
    static ScanLogSettings settingsFrom(const tagWINDOW_ADD *window,
                                        const tagSCAN_SHORTCUT_MENU *profile);

    void getScannedNumFromIniFile(QString counterFile);
    bool saveScannedNumToIniFile(QString counterFile);
    bool saveScannedLogToTXT(QString logFile, QString logDirectory);
    void setScannedLog();

    QString recordText() const { return m_strLog; }
    int jobCounter() const { return m_nScannedNum; }
    // Name a full log is kept under when it rolls over at `when`.
    static QString rolledLogName(const QDateTime &when);

private:
    QString m_strLog;
    QString m_strModelName;
    QString m_strBeginTime;
    QString m_strFinishTime;
    QString m_strResult;
    QString m_strDocumentSource;
    QString m_strColorMode;
    QString m_strScanArea;
    QString m_strFailReason;
    int m_nScannedNum;
    int m_nPageCount;
    int m_nResolution;
    int m_nImageWidth;
    int m_nImageHeight;
};

#endif
