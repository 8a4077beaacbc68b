#ifndef OXCOMMAND_H
#define OXCOMMAND_H

#include "commandblock.h"
#include "errorhandling.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>

class PMessage;
class USBPort;

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
    static constexpr int kLockTimeout = 20000;
    static constexpr int kDataTimeout = 3000;
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
        int readTimeout = kDataTimeout;
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
    int writeData(const char *data, int length, int timeout = kDataTimeout);
    int readData(char *buffer, int length, int timeout = kDataTimeout);

    // Small commands (oxcommand_small.cpp).
    int checkInterfaceVersion();

    const QString &currentLockId() const { return lockId; }

    // Shared by every command object of the process: written by the GUI
    // thread, read by the job thread between exchanges.
    static std::atomic<bool> m_bCancel;
    static std::atomic<int> m_nUserInputKey;

private:
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
};

#endif
