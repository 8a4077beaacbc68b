#ifndef ERRORHANDLING_H
#define ERRORHANDLING_H

#include <QObject>
#include <QString>

class QWidget;

// Result codes of the suite: 0 success, negative failure.
enum ResultCode : int {
    RC_OK = 0,
    RC_DEVICE_FAILURE = -1,
    RC_NONE = -2,
    RC_IO_TIMEOUT = -3,
    RC_IO_ERROR = -4,
    RC_READ_FAILED = -5,
    RC_WRITE_FAILED = -6,
    RC_NOT_CONNECTED = -7,
    RC_BUSY = -8,
    RC_WAKE_FAILED = -9,
    RC_WAKING = -10,
    RC_LOCK_FAILED = -11,
    RC_UNLOCK_FAILED = -12,
    RC_NO_PAPER = -20,
    RC_END_OF_OUTPUT = -21,
    RC_PAPER_JAM = -22,
    RC_MULTIFEED = -23,
    RC_WARMING_UP = -24,
    RC_COVER_OPEN = -25,
    RC_CALIBRATION_REQUIRED = -26,
    RC_WHITE_PATCH_NOT_FOUND = -27,
    RC_IMPRINTER_MISSING = -28,
    RC_CLEAN_GUIDES = -29,
    RC_CARTRIDGE_MISSING = -30,
    RC_LEARN_FAILED = -31,
    RC_LEARN_NOT_SINGLE = -32,
    RC_STATUS_SIGNATURE = -33,
    RC_CANCELLED = -34,
    RC_FEEDER_EMPTY = -35,
    RC_REGISTRATION_LOST = -36,
    RC_FILE_CREATE_FAILED = -50,
    RC_SAVE_CANCELLED = -51,
    RC_FILE_READ_FAILED = -52,
    RC_REGISTRATION_REFUSED = -60,
};

// Texts of the result codes and the four modal message boxes of the GUI.
class ErrorHandling : public QObject
{
    Q_OBJECT
public:
    enum Button : int {
        Ok = 0x400,
        Yes = 0x4000,
        No = 0x10000,
        Cancel = 0x400000,
        OkCancel = Ok | Cancel,
        YesNo = Yes | No,
        YesNoCancel = Yes | No | Cancel,
    };

    static void errorCode(int code, QString &text);
    static int criticalMessage(QWidget *parent, int code, QString title);
    static int criticalMessage(QWidget *parent, QString title, QString text);
    static int warningMessage(QWidget *parent, QString title, QString text);
    static int informationMessage(QWidget *parent, QString title, QString text);
    static int questionMessage(QWidget *parent, QString title, QString text, int buttons,
                               int defaultButton);
};

#endif
