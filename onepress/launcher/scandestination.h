#ifndef SCANDESTINATION_H
#define SCANDESTINATION_H

// Output destinations of the launcher: the four built-in places a task's
// output can go and the user's own web-mail and custom-application entries,
// kept in Destinations/destination.ini.

#include <QList>
#include <QObject>
#include <QString>

class QComboBox;
class QLabel;

// Destination kind (32-bit inside the record and in destination.ini).
enum ScanDestFlag : int {
    ScanDestFile = 1,              // written to the task's folder, nothing more
    ScanDestApplication = 2,       // opened with the desktop's default program
    ScanDestPrinter = 3,           // printed instead of written
    ScanDestEmailClient = 4,       // handed to the desktop mail program
    ScanDestWebMail = 5,           // sent by SMTP with the destination's settings
    ScanDestCustomApplication = 6, // the destination's own program is started
};

// Connection security of a web-mail destination, in the order the editor lists them.
enum EncryptTypeFlag : int { EncryptNone = 0, EncryptSsl = 1, EncryptTls = 2 };

static_assert(sizeof(ScanDestFlag) == 4 && sizeof(EncryptTypeFlag) == 4, "enum width");

struct tagSCAN_DESTINATION
{
    bool BuiltIn = false; // only user entries are saved
    ScanDestFlag ScanDestinationFlagID = ScanDestFile;
    QString ScanDestinationID; // braced UUID text, compared exactly
    QString Name;
    QString Icon; // resource path
    // Custom application.
    QString ExecutableFile;
    QString Parameter; // "<%IMAGE_NAME%>" stands for the output file
    // Web mail.
    QString UserName;
    QString UserMailAddr;
    QString ServerAddress;
    int Port = 0;
    int EncryptTypeID = EncryptNone; // EncryptTypeFlag value
    bool NeedAuth = false;
    QString Account;
    QString Password; // clear text in memory, Base64 of UTF-8 in the file
    int MailSize = 0; // megabytes
    bool SendNoPromptMail = false;
    QString Recipient; // addresses separated by ';'
};
typedef tagSCAN_DESTINATION SCAN_DESTINATION;

// Built-in destinations first (in kind order 1 to 4), then the user's entries.
// Ids are compared as exact strings.
class ScanDestination : public QObject
{
public:
    static const QString kFileId;
    static const QString kApplicationId;
    static const QString kPrinterId;
    static const QString kEmailId;
    static const QString kImageNameToken; // "<%IMAGE_NAME%>"

    explicit ScanDestination(QObject *parent = nullptr);

    // Destinations/destination.ini under the settings directory.
    static QString iniPath();

    void initialVariant();
    void loadScanDestination();
    void loadDefaultScanDestination();
    void loadDefaultScanDestination(ScanDestFlag kind, QString id, QString name, QString icon,
                                    QString program, QString arguments);
    void loadUserScanDestination();
    // Rewrites the user entries; false when the file could not be written.
    // The file is readable by its owner only (it holds a mail password).
    bool saveScanDestination();

    bool loadScanDestinationToControl(QComboBox *box);
    bool updateScanDestinationToControl(QComboBox *box);
    void setScanDestionCurrentIndex(QString id);

    bool addScanDestination(tagSCAN_DESTINATION &record);
    bool addScanDestination(int index, QString name);
    bool updateScanDestination(int index, tagSCAN_DESTINATION &record);
    // Only a user entry at 0 <= index < count can be deleted.
    bool deleteScanDestination(int index);
    void getScanDestination(QString id, tagSCAN_DESTINATION &record);
    int getScanDestIndex(QString id);
    ScanDestFlag getScanDestID(QString id);
    // File (1) for an index outside the list.
    ScanDestFlag getScanDestID(int index);
    bool findScanDestination(QString name);
    bool loadIcon(QLabel *label, int index);

    int count() const { return m_list.size(); }
    bool entry(int index, tagSCAN_DESTINATION &record) const;

private:
    static QString iconForKind(ScanDestFlag kind);
    void appendItem(const tagSCAN_DESTINATION &d);

    QList<tagSCAN_DESTINATION> m_list;
    QComboBox *m_box = nullptr;
};

#endif // SCANDESTINATION_H
