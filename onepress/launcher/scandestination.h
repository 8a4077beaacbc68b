#ifndef SCANDESTINATION_H
#define SCANDESTINATION_H

// Output destinations of the launcher: the four built-in places a task's
// output can go and the user's own web-mail and custom-application entries,
// kept in Destinations/destination.ini.

#include <QString>

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

#endif // SCANDESTINATION_H
