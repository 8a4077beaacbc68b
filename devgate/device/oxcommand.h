#ifndef OXCOMMAND_H
#define OXCOMMAND_H

#include "commandblock.h"
#include "errorhandling.h"
#include "linktimeouts.h"
#include "maintenancerecords.h"
#include "records.h"
#include "scannerconfig.h"
#include "smallrecords.h"
#include "stamprecord.h"

#include "scanflags.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>

class PMessage;
class USBPort;
struct tagSCAN_SHORTCUT_MENU;

// The command object of the device link: one per job, bound to an open
// USBPort, one operation per device command. Every command is a complete
// three-phase exchange on the data pipe (command block, optional data phase,
// status block) and returns 0 or a negative result code; nothing throws.
//
// Member definitions are split by topic: oxcommand.cpp (construction and
// binding), oxcommand_lock.cpp (lock pipe), oxcommand_exchange.cpp (blocks,
// status and the exchange primitives), and one file per group of commands.
// A new command is normally one call of exchangeIn, exchangeOut or
// exchangeNone with an Exchange describing its row of the command table.
class OxCommand : public QObject
{
    Q_OBJECT
public:
    // The pipes' time-outs come from LinkTimeouts (20000 ms lock, 3000 ms data
    // unless a test shortened them).
    static int lockTimeout() { return LinkTimeouts::get(LinkTimeouts::Lock); }
    static int dataTimeout() { return LinkTimeouts::get(LinkTimeouts::Data); }
    static constexpr int kDefaultReplyBuffer = 1024;
    static constexpr int kStatusReadAttempts = 5;

    explicit OxCommand(PMessage *message = nullptr, QObject *parent = nullptr);

    bool setPort(USBPort *usbPort);
    bool openPort(USBPort *usbPort);
    bool closePort();

    // Lock pipe (oxcommand_lock.cpp).
    int lockScanner();
    int unlockScanner();
    int lockScannerForLog();
    int unlockScannerForLog();

    // Blocks and status (oxcommand_exchange.cpp).
    void buildHeader(tagCMD_HEADER &header, quint8 direction, quint8 opcode, quint32 length,
                     quint8 p0 = 0, quint8 p1 = 0, quint8 p2 = 0, quint8 p3 = 0, quint8 p4 = 0,
                     quint8 p5 = 0);
    // Up to five reads of the status block; time-outs and empty reads are
    // retried, a transfer error or a block cut before its status code is -5.
    int getStatus();
    int parseStatus(QByteArray &reply);
    int parseStatus(tagSTS_HEADER status);

    // How a device-to-host command tells a refusal from its data.
    enum ReplyRule {
        RuleS, // a reply of exactly 12 bytes is a status block; anything else is data
        RuleE, // a reply of exactly the announced length is data; anything else a status block
        RuleA, // the status block is always read, whatever arrived
    };

    // One row of the command table, with the few irregular trace texts.
    struct Exchange
    {
        const char *name = ""; // traced first; the stem of the failure texts
        quint8 opcode = 0;
        quint32 length = 0; // announced length of the data phase
        CommandBlock::Params params;
        // Device-to-host commands only.
        ReplyRule rule = RuleS;
        int replyBuffer = kDefaultReplyBuffer; // zero-filled; also the most that is read
        int readTimeout = 0;                   // 0: the data pipe's time-out
        // Failure texts; null means "<name>:" for commands that read or carry
        // no data, "<name>1:" (block) and "<name>2:" (data) for those that send.
        const char *blockFailText = nullptr;
        const char *dataFailText = nullptr;
        bool traceBlockFailure = true;
        bool traceDataFailure = true;
        bool traceStatus = true; // "getStatus--<name>:" and the status result
        int blockFailResult = RC_WRITE_FAILED;
    };

    // Device-to-host command with the reply read into a new zero-filled
    // buffer of x.replyBuffer bytes. reply is replaced only when the status
    // phase was reached through getStatus (*handedOver says so): cut to the
    // bytes that arrived for rules S and E, the whole buffer for rule A.
    // A device may answer with a status block of code 0 in place of the data:
    // the result is then 0 with nothing handed over, so a command that fills
    // a record must look at *handedOver, not only at the result.
    int exchangeIn(const Exchange &x, QByteArray &reply, bool *handedOver = nullptr);
    // The same into the caller's memory (size bytes, zero-filled by the
    // caller); *arrived gets the byte count of the data phase.
    int exchangeIn(const Exchange &x, char *buffer, int size, int *arrived, bool *handedOver);
    // Host-to-device command; x.length is taken from data.
    int exchangeOut(const Exchange &x, const QByteArray &data);
    // Command without a data phase.
    int exchangeNone(const Exchange &x);

    // Transfer steps for commands that do not fit the three above (chunked
    // image data): each returns the transfer result of USBPort.
    int writeCommandBlock(const tagCMD_HEADER &header);
    // A time-out of 0 is the data pipe's.
    int writeData(const char *data, int length, int timeout = 0);
    int readData(char *buffer, int length, int timeout = 0);

    // Small commands (oxcommand_small.cpp).
    int checkInterfaceVersion();

    // ===== Device commands ==================================================
    // Every command is one exchange and returns 0 or a negative result code.
    // Data a command reads is handed to the caller only when the status phase
    // was reached, whatever its result; the caller decides by the result.

    // Clock, language, power, paper, ECDO, meters (oxcommand_device.cpp).
    int stampInquiry();
    int getTimeDateLocal(tagTIME_DATE_LOCAL &clock);
    int setTimeDateLocal();                        // the host's local time now
    int setTimeDateLocal(const QDateTime &local);  // a given local time
    int setLanguage();
    // Announces exactly what it sends: one entry per page size the profile
    // has chosen (its stored count is only cross-checked). -1 for no profile.
    int setSnapToSizeList(const tagSCAN_SHORTCUT_MENU *profile);
    int getEcdo();
    int getPaperDetected(bool &paperPresent);
    int getLowPowerModeTimeout();
    int setLowPowerModeTimeout(const tagLOW_POWER_MODE_TIMEOUT &timeout);
    int requestOverrides();
    int meters();

    // Imprinter (oxcommand_device.cpp).
    int StampConfig(const StampRecord &record);
    int setStampText(const QByteArray &fontBlock);
    int stampGraphic(QString path);  // the file re-encoded as PNG

    // Scan control and the panel (oxcommand_device.cpp).
    int scanBegin();
    int scanRequestStop();
    int scanEnd(tagSCAN_END &end);
    int getUserInput(int &key);  // key set only when exactly one byte arrived
    int setUserInput(char key);

    // Diagnostics, calibration, device log (oxcommand_maintenance.cpp).
    int getDiagnosticBegin(tagDIAGNOSTIC_BEGIN &begin);  // record not filled
    int getDiagnosticRun(tagDIAGNOSTIC_RUN &run);
    int setDiagnosticEnd();
    int getcalibrateBeginUDDS(tagCALIBRATE_BEGIN &begin);
    int getcalibrateBeginTest(tagCALIBRATE_BEGIN &begin);
    int getcalibrateBeginTestMag(tagCALIBRATE_BEGIN &begin);
    int setcalibrateRun();
    int setcalibrateEnd(tagCALIBRATE_END &end);
    int calibrateSetData();
    // size gets the device's 32-bit log size; a reply too short to hold it is -5.
    int logBegin(unsigned char selector, unsigned char second, unsigned int &size);
    // One block of the log of at most length bytes (at most
    // kMaxTransferChunk): data holds exactly the bytes that arrived.
    int getLogData(QByteArray &data, unsigned int length);
    int logEnd();

    // Records (oxcommand_records.cpp).
    int inquiry(tagINQUIRY &record);
    int createCamera(const tagCREATE_CAMERA &camera);
    int windowAdd(const tagWINDOW_ADD &window);
    // Builds the order from the profile and raises imagesPerSheet; -1 for no profile.
    int setWindowOrder(const tagSCAN_SHORTCUT_MENU *profile);
    // Polls until a header arrives (see oxcommand_records.cpp for the loop).
    // detect 1: a multifeed sheet is being answered; *answer receives the
    // answer when one is known, and the call then returns 0 without a header.
    int requestHeader(tagREQUEST_HEADER &header, int detect, int *answer, int preview,
                      int multifeedResponse);
    int getConfig(tagSCANNER_CONFIGRATION &config);
    int setConfig(const tagSCANNER_CONFIGRATION &config);

    // Images, barcodes and multifed sheets (oxcommand_image.cpp).
    // Sizes data itself to the header's ImageSize once that has passed
    // imageSizeLimit, then fetches it in chunks of at most kMaxTransferChunk.
    int requestImage(const tagREQUEST_HEADER &header, QByteArray &data, CombineTypeFlag combine,
                     int preview);
    // Appends exactly count texts (empty for records that did not arrive).
    int requestBarcode(unsigned char count, QStringList &texts);
    void multifeedAndSpliteMode(int mode, CombineTypeFlag combine, int preview);
    int detectMultifeed(int *answer);

    // The most image data a header can honestly announce: twice the raw
    // bitmap its own geometry describes, plus room for file headers, and
    // never more than kMaxImageBytes.
    static qint64 imageSizeLimit(const tagREQUEST_HEADER &header);
    static constexpr int kMaxTransferChunk = 2 * 1024 * 1024;
    static constexpr qint64 kMaxImageBytes = 512LL * 1024 * 1024;
    static constexpr int kEmptyChunkLimit = 3;  // consecutive empty reads before giving up
    static constexpr int kPollPauseMs = 100;     // between header polls

    // Sheet counting without device traffic.
    void getScannedFile(int *perSheet, int *thisSheet) const;
    void resetScannedFile();
    void setSleeveDocument(int value);

    static void setMultifeedUserInput(int key);
    static void setCancelFlag(bool cancel);
    // ===== end of device commands ===========================================

    const QString &currentLockId() const { return lockId; }

    // Shared by every command object of the process: written by the GUI
    // thread, read by the job thread between exchanges.
    static std::atomic<bool> m_bCancel;
    static std::atomic<int> m_nUserInputKey;

private:
    // Reads and drops what a failed read left in the data pipe.
    void drainStaleReplies();
    static constexpr int kDrainBuffer = 256 * 1024;
    static constexpr int kDrainReads = 64;
    static constexpr int kDrainTimeoutMs = 200;

    int lock(const char *name, const QByteArray &task);
    int unlock(const char *name);
    QString failText(const Exchange &x, const char *override, const char *outSuffix) const;
    int afterInPhase(const Exchange &x, const char *buffer, int arrived, bool *handedOver);
    int traceStatusResult(const Exchange &x, int status);

    USBPort *port = nullptr;
    QString lockId;
    int imagesPerSheet = 0;
    int imagesThisSheet = 0;
    int windowMode = 0;
    bool bothSides = false;
    int multiImageTotal = 0;
    int sleeveDocument = 0;
    PMessage *message = nullptr;
    bool m_staleReplies = false; // a data-pipe read failed since the last command block
};

#endif
