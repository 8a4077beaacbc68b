#ifndef EVENTSERVICE_H
#define EVENTSERVICE_H

#include "scanneremulator.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// The scanner's button-event service on the event pipe, attached to a
// ScannerEmulator through its event handler. Plain C++.
//
// The device reads one request frame per transfer (little-endian length and
// type words, then HTTP/1.1 text) and answers each with one frame of the same
// type:
//   57 POST  registration: 200, the client becomes registered;
//   69 GET   long poll: held until a button press or the server time-out
//            (408), answered at once with 404 when the client is not
//            registered, and with a queued answer when one is waiting;
//   56 DELETE unregistration: 200, the client and its held poll are gone.
// At most one poll may be outstanding; a second one, a frame whose length
// word disagrees with its transfer, a request for another client and the
// like are listed in protocolErrors() (the device still does its best).
//
// The server time-out runs on a thread of the service, so a held poll is
// answered while the host merely waits in a read. Tests shorten it.
//
// Handlers keep only shared state: the service may go before the device,
// and the device before the service.
namespace emu {

namespace event {
constexpr uint32_t kUnregister = 56;
constexpr uint32_t kRegistration = 57;
constexpr uint32_t kLongPoll = 69;
} // namespace event

// One request frame as the device read it.
struct EventRequest
{
    Bytes raw;               // the transfer's bytes
    uint32_t lengthWord = 0; // as sent; the transfer's size when it is right
    uint32_t type = 0;
    std::string method, target, version; // request line
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    bool wellFormed = false; // length word, request line and end of head all present

    // Header value by case-insensitive name; empty when absent.
    std::string header(const std::string &name) const;
    bool hasHeader(const std::string &name) const;
    // Query value of the target; nullopt when the key is absent, "" for a bare flag.
    std::optional<std::string> query(const std::string &key) const;
};

class EventService
{
public:
    struct Settings
    {
        std::chrono::milliseconds serverTimeout{30000};
        bool timeoutMarker = true;     // the 408 answer carries the "TCM" marker line
        uint32_t lastEventSeqNum = 0;  // the first press is reported as this + 1
    };

    EventService();
    explicit EventService(Settings settings);
    ~EventService();
    EventService(const EventService &) = delete;
    EventService &operator=(const EventService &) = delete;

    // Takes over the device's event handler; detach (or destruction) gives it back empty.
    void attach(const std::shared_ptr<ScannerEmulator> &device);
    void detach();

    // --- scripting ----------------------------------------------------------
    void setServerTimeout(std::chrono::milliseconds timeout);
    void setTimeoutMarker(bool marker);
    // A press of panel button `number`: answers the held poll now, or the
    // next poll, with 200 and the next event sequence number.
    void pressButton(int number);
    // A poll answer of any text (status, headers, body): the held poll now, or the next.
    void answerPoll(const std::string &text);
    // One-shot, for the next request of `type`: answered with `text` verbatim
    // in place of the device's own handling (its state stays as it was), or
    // not answered at all when `text` is nullopt.
    void scriptReply(uint32_t type, std::optional<std::string> text);

    // --- what happened ------------------------------------------------------
    std::vector<EventRequest> requests() const;
    std::vector<EventRequest> requests(uint32_t type) const;
    bool registered() const;
    bool pollHeld() const;
    std::string clientId() const;   // PCID of the registration; empty when none
    uint32_t eventSeqNum() const;   // sequence number of the last press
    std::vector<std::string> protocolErrors() const;

    // --- wire helpers ---------------------------------------------------------
    // Reply text: status line, "STATUS:" line, extra header lines (each
    // ending CR LF), Content-Length when there is a body, empty line, body.
    static std::string replyText(int status, const std::string &reason,
                                 const std::string &extraHeaders = std::string(),
                                 const std::string &body = std::string());
    static Bytes frame(uint32_t type, const std::string &text);
    static EventRequest parse(const Bytes &frame);

    struct State;

private:
    std::shared_ptr<State> d;
    std::thread m_timer;
};

} // namespace emu

#endif
