#ifndef SCANNEREMULATOR_H
#define SCANNEREMULATOR_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The scanner's side of the USB protocol, as a plain C++ model with no tie to
// any USB emulation: the umockdev adapter (emulatedbus.h) feeds it URBs, and
// unit tests or fuzzers can drive it directly through submit/poll.
//
// The model answers the lock pipe itself (lock, unlock, log lock), runs the
// data pipe's three-phase exchange (20-byte command block, data phase,
// 12-byte status block) and dispatches each complete command by opcode to a
// handler. Each device-to-host message goes in a transfer of its own; a
// status block never shares one with data. Every transfer is recorded with
// its exact bytes, and faults are scripted per pipe and direction.
//
// Thread safety: every public member locks one recursive mutex, so handlers
// (which run under it) may call any public member of the model.
namespace emu {

using Bytes = std::vector<uint8_t>;
Bytes bytes(const std::string &text);
std::string text(const Bytes &bytes);

enum class Pipe : uint8_t { Lock = 1, Data = 2, Event = 3 };
enum class Direction : uint8_t { Out, In }; // Out: host to device

constexpr size_t kMaxPacketSize = 512;

// Vendor and product ids of the models the host knows.
namespace ids {
constexpr uint16_t kVendor = 0x4E91;
constexpr uint16_t kVR512 = 0x0313;
constexpr uint16_t kVR516 = 0x0314;
constexpr uint16_t kVR540 = 0x0315;
constexpr uint16_t kOxVendor = 0x6B3D;
constexpr uint16_t kOxT2750k = 0x103A;
} // namespace ids

struct UsbIdentity
{
    uint16_t vendorId = ids::kVendor;
    uint16_t productId = ids::kVR516;
    uint16_t bcdDevice = 0x0100;
    uint8_t busNumber = 1;
    uint8_t deviceAddress = 2;
};

// Device status codes of the status block.
namespace status {
constexpr uint8_t kGood = 0;
constexpr uint8_t kNoImageReady = 1;
constexpr uint8_t kFailed = 6; // what the model answers for what it cannot do
constexpr uint8_t kCriticalError = 14;
} // namespace status

// One complete command as the device received it.
struct Command
{
    Bytes block;            // the 20 bytes as sent
    uint32_t opcodeWord = 0; // big-endian word at offset 4
    uint32_t length = 0;    // announced data-phase length
    uint8_t direction = 0;  // 0x80 device to host, 0x00 otherwise
    uint8_t opcode = 0;     // byte 13: what dispatch goes by
    std::array<uint8_t, 6> params{};
    Bytes data;             // host-to-device data phase, when there is one
    bool toHost() const { return direction == 0x80; }
};

// A handler's answer to one command.
struct Reply
{
    Bytes data;               // device-to-host data phase (ignored for other commands)
    uint8_t status = status::kGood;
    bool refuse = false;      // answer a device-to-host command with the status block alone
    bool sendStatus = true;   // false: the status block never comes
    std::optional<Bytes> rawStatus; // sent in place of the well-formed status block

    static Reply ok(Bytes data = {});
    static Reply withStatus(uint8_t code, Bytes data = {});
    static Reply refused(uint8_t code);
};

struct TransferRecord
{
    enum class Outcome { Completed, Failed, TimedOut };
    uint64_t id = 0;
    Pipe pipe = Pipe::Data;
    Direction direction = Direction::Out;
    Bytes bytes; // OUT: what the host sent; IN: what the device delivered
    Outcome outcome = Outcome::Completed;
    int error = 0; // errno of a failed transfer
};

// Faults hit the next transfer on their pipe and direction, after `skip`
// matching transfers have passed untouched. One fault per transfer.
enum class FaultKind {
    NoAnswer,      // the transfer never completes: the host times out
    ShortRead,     // IN: only `length` bytes of the next message arrive; the rest is lost
    EmptyRead,     // IN: completes at once with 0 bytes; queued messages stay
    TransferError, // fails with `error` (EPROTO: an I/O error; EPIPE: a stall)
    Vanish,        // the device is unplugged as the transfer starts
};

struct Fault
{
    Pipe pipe = Pipe::Data;
    Direction direction = Direction::In;
    FaultKind kind = FaultKind::NoAnswer;
    size_t length = 0;
    int error = 0; // 0: EPROTO
    unsigned skip = 0;
};

// What a submitted transfer has come to.
struct Completion
{
    enum class State { Pending, Done, Failed };
    State state = State::Pending;
    Bytes data;        // IN: delivered bytes
    size_t length = 0; // bytes moved
    int error = 0;     // errno for Failed
};

enum class ControlOp {
    GetDriver, Disconnect, Connect, SetConfiguration, Claim, Release, SetInterface,
    Reset, ClearHalt, DisconnectClaim,
};

class ScannerEmulator
{
public:
    using CommandHandler = std::function<Reply(const Command &, ScannerEmulator &)>;
    using PipeWriteHandler = std::function<void(const Bytes &, ScannerEmulator &)>;

    static constexpr const char *kInterfaceVersionRecord = "interfaceVersion";

    explicit ScannerEmulator(UsbIdentity identity = UsbIdentity());
    ScannerEmulator(const ScannerEmulator &) = delete;
    ScannerEmulator &operator=(const ScannerEmulator &) = delete;

    // --- identity -------------------------------------------------------
    UsbIdentity identity() const;
    // Device, configuration, interface and six bulk endpoint descriptors.
    Bytes descriptors() const;

    // Requests carry the id of the host handle (open file) they come from:
    // an interface belongs to the handle that claimed it, as in the kernel.
    using Client = uint64_t;

    // --- transfers (what the adapter calls) -----------------------------
    uint64_t submit(Pipe pipe, Direction direction, const Bytes &out, size_t inLength,
                    Client client = 0);
    Completion poll(uint64_t id);  // a finished transfer is forgotten once polled
    // The host gave up (time-out). False when the transfer had already
    // finished: its completion then still has to be polled.
    bool cancel(uint64_t id);
    // submit and poll once; a transfer still pending is cancelled.
    Completion transferOut(Pipe pipe, const Bytes &data);
    Completion transferIn(Pipe pipe, size_t length);

    // --- USB requests: 0 (or a result >= 0) on success, -errno on failure -
    int getDriver(int interface, std::string &name);
    int disconnectDriver(int interface);
    int connectDriver(int interface); // 1: a driver is bound again, 0: none to bind
    int setConfiguration(int value);
    int claimInterface(int interface, Client client = 0);
    int releaseInterface(int interface, Client client = 0);
    int setInterface(int interface, int altSetting, Client client = 0);
    int resetDevice();
    int clearHalt(uint8_t endpoint);
    int disconnectClaim(int interface, bool exceptDriver, const std::string &driver,
                        Client client = 0);
    // A host handle opened or closed (told by the adapter); closing gives
    // back what it claimed.
    void clientOpened(Client client);
    void clientClosed(Client client);

    void setKernelDriver(const std::string &name); // "" none
    std::string kernelDriver() const;
    void failNextControl(ControlOp op, int error);
    bool interfaceClaimed() const;
    int configuration() const;
    std::vector<std::string> controlLog() const;

    // --- hot-unplug -------------------------------------------------------
    void vanish();
    bool vanished() const;

    // --- lock pipe --------------------------------------------------------
    void setLockHeldByOtherHost(bool held);  // lock requests answer busy
    void setWaking(int lockRequests);        // the next N lock requests answer waking
    void setNextLockId(const std::string &id);
    void scriptLockReply(const std::string &raw); // next lock-pipe reply, verbatim
    bool lockHeld() const;
    std::string lockId() const;
    bool lockIsForLog() const;

    // --- data pipe --------------------------------------------------------
    void setCommandHandler(uint8_t opcode, CommandHandler handler);
    void scriptReply(uint8_t opcode, const Reply &reply); // one-shot, in place of the handler
    void scriptStatus(uint8_t opcode, uint8_t code);      // one-shot, the handler's status replaced
    std::vector<Command> commands() const;
    std::vector<uint8_t> unhandledOpcodes() const;

    // Named device records that handlers serve and store.
    void setRecord(const std::string &name, const Bytes &record);
    Bytes record(const std::string &name) const;

    // --- event pipe and any pipe ------------------------------------------
    void setEventHandler(PipeWriteHandler handler); // host writes on the event pipe
    void queueIn(Pipe pipe, const Bytes &message);  // a device-to-host message, any time
    size_t queuedIn(Pipe pipe) const;
    // IN transfers the host is waiting in, not yet answered.
    size_t pendingIn(Pipe pipe) const;

    // --- faults and records -----------------------------------------------
    void injectFault(const Fault &fault);
    size_t pendingFaults() const;
    std::vector<TransferRecord> transfers() const;
    std::vector<TransferRecord> transfers(Pipe pipe) const;
    void clearTransfers();
    // Host behaviour the real device would not accept (bad blocks, wrong
    // lock ids, replies left unread); empty in a clean exchange.
    std::vector<std::string> protocolErrors() const;

private:
    struct Transfer
    {
        Pipe pipe;
        Direction direction;
        Bytes out;
        size_t inLength = 0;
        std::optional<Fault> fault;
        Completion result;
    };
    struct Script
    {
        std::optional<Reply> reply;
        std::optional<uint8_t> status;
    };
    enum class DataPhase { Block, HostData };

    static size_t index(Pipe pipe) { return static_cast<size_t>(pipe) - 1; }
    std::optional<Fault> takeFault(Pipe pipe, Direction direction);
    void deliverOut(Pipe pipe, const Bytes &data);
    bool serveIn(uint64_t id, Transfer &t);
    void finish(uint64_t id, Transfer &t, TransferRecord::Outcome outcome);
    int controlFault(ControlOp op);
    void logControl(const std::string &line);
    void protocolError(const std::string &what);

    // lock pipe (scanneremulator_lock.cpp)
    void onLockWrite(const Bytes &data);
    // data pipe (scanneremulator_data.cpp)
    void onDataWrite(const Bytes &data);
    void onCommandBlock(const Bytes &block);
    void dispatch(Command command);
    void installDefaultHandlers();

    mutable std::recursive_mutex m_mutex;
    UsbIdentity m_identity;

    uint64_t m_nextId = 1;
    std::map<uint64_t, Transfer> m_transfers;
    std::array<std::deque<Bytes>, 3> m_inQueue;
    std::array<std::deque<uint64_t>, 3> m_pendingIn; // IN transfers per pipe, oldest first
    std::vector<Fault> m_faults;
    std::vector<TransferRecord> m_records;
    std::vector<std::string> m_protocolErrors;
    bool m_vanished = false;

    std::string m_kernelDriver;
    std::string m_detachedDriver;
    std::optional<Client> m_claimOwner;
    // Claims the interface for a request that needs it, as the kernel does
    // implicitly; 0 or -errno.
    int implicitClaim(Client client);
    int m_configuration = 1;
    std::map<ControlOp, int> m_controlFaults;
    std::vector<std::string> m_controlLog;

    bool m_lockHeld = false;
    bool m_lockForLog = false;
    bool m_lockedByOther = false;
    int m_wakingRequests = 0;
    std::string m_lockId;
    std::string m_nextLockId;
    uint32_t m_lockCounter = 0;
    std::optional<std::string> m_scriptedLockReply;

    DataPhase m_phase = DataPhase::Block;
    Command m_current;
    std::map<uint8_t, CommandHandler> m_handlers;
    std::map<uint8_t, std::deque<Script>> m_scripts;
    std::vector<Command> m_commands;
    std::vector<uint8_t> m_unhandled;
    std::map<std::string, Bytes> m_namedRecords;
    PipeWriteHandler m_eventHandler;
};

} // namespace emu

#endif
