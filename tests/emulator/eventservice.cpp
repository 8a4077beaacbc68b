#include "eventservice.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>

namespace emu {

namespace {

using Clock = std::chrono::steady_clock;

const char kEventPath[] = "http://usb/api/scanner/event";

uint32_t le32(const Bytes &b, size_t off)
{
    return uint32_t(b[off]) | uint32_t(b[off + 1]) << 8 | uint32_t(b[off + 2]) << 16 |
           uint32_t(b[off + 3]) << 24;
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string trim(const std::string &s)
{
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string pathOf(const std::string &target)
{
    return target.substr(0, target.find('?'));
}

bool isDecimal(const std::string &s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The client id of a registration body, found as text: the service needs no
// JSON reader for one fixed key, and the tests read the body with a real one.
std::string bodyClientId(const std::string &body)
{
    const std::string key = "\"PCID\":\"";
    const size_t at = body.find(key);
    if (at == std::string::npos)
        return std::string();
    const size_t start = at + key.size();
    const size_t end = body.find('"', start);
    return end == std::string::npos ? std::string() : body.substr(start, end - start);
}

} // namespace

std::string EventRequest::header(const std::string &name) const
{
    const std::string key = lower(name);
    for (const auto &h : headers) {
        if (lower(h.first) == key)
            return h.second;
    }
    return std::string();
}

bool EventRequest::hasHeader(const std::string &name) const
{
    const std::string key = lower(name);
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto &h) { return lower(h.first) == key; });
}

std::optional<std::string> EventRequest::query(const std::string &key) const
{
    const size_t mark = target.find('?');
    if (mark == std::string::npos)
        return std::nullopt;
    const std::string q = target.substr(mark + 1);
    size_t start = 0;
    while (start <= q.size()) {
        size_t end = q.find('&', start);
        if (end == std::string::npos)
            end = q.size();
        const std::string item = q.substr(start, end - start);
        const size_t eq = item.find('=');
        if (item.substr(0, eq) == key)
            return eq == std::string::npos ? std::string() : item.substr(eq + 1);
        start = end + 1;
    }
    return std::nullopt;
}

EventRequest EventService::parse(const Bytes &frame)
{
    EventRequest r;
    r.raw = frame;
    if (frame.size() < 8)
        return r;
    r.lengthWord = le32(frame, 0);
    r.type = le32(frame, 4);
    const std::string text(frame.begin() + 8, frame.end());
    const size_t headEnd = text.find("\r\n\r\n");
    const std::string head = text.substr(0, headEnd);
    if (headEnd != std::string::npos)
        r.body = text.substr(headEnd + 4);

    size_t lineStart = 0;
    bool first = true;
    while (lineStart <= head.size()) {
        size_t lineEnd = head.find("\r\n", lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = head.size();
        const std::string line = head.substr(lineStart, lineEnd - lineStart);
        if (first) {
            const size_t a = line.find(' ');
            const size_t b = a == std::string::npos ? a : line.find(' ', a + 1);
            if (b != std::string::npos) {
                r.method = line.substr(0, a);
                r.target = line.substr(a + 1, b - a - 1);
                r.version = line.substr(b + 1);
            }
            first = false;
        } else if (!line.empty()) {
            const size_t colon = line.find(':');
            r.headers.emplace_back(trim(line.substr(0, colon)),
                                   colon == std::string::npos ? std::string() : trim(line.substr(colon + 1)));
        }
        lineStart = lineEnd + 2;
    }
    r.wellFormed = r.lengthWord == frame.size() && !r.method.empty() && headEnd != std::string::npos;
    return r;
}

std::string EventService::replyText(int status, const std::string &reason, const std::string &extraHeaders,
                                    const std::string &body)
{
    const std::string code = std::to_string(status);
    std::string text = "HTTP/1.1 " + code + " " + reason + "\r\n" + "STATUS: " + code + " " + reason + "\r\n" +
                       extraHeaders;
    if (!body.empty())
        text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return text + "\r\n" + body;
}

Bytes EventService::frame(uint32_t type, const std::string &text)
{
    const uint32_t length = static_cast<uint32_t>(text.size() + 8);
    Bytes out;
    for (uint32_t word : {length, type}) {
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<uint8_t>(word >> shift));
    }
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

struct EventService::State
{
    std::mutex mutex;
    std::condition_variable wake;
    std::weak_ptr<ScannerEmulator> device;
    Settings settings;
    bool stop = false;

    bool registered = false;
    std::string clientId;
    bool pollHeld = false;
    Clock::time_point deadline;
    uint32_t seq = 0;
    std::deque<std::string> answers; // poll answers waiting for a poll
    std::map<uint32_t, std::deque<std::optional<std::string>>> scripts;
    std::vector<EventRequest> requests;
    std::vector<std::string> errors;

    std::string timeoutText() const
    {
        return replyText(408, "Request Timeout", settings.timeoutMarker ? "X-Poll-End: longpoll.TCM\r\n" : "");
    }

    // Runs in the device's event handler, under the model's mutex: replies
    // are queued at once. Elsewhere the state lock is let go before the model
    // is called, so the two locks are only ever taken model first.
    void onFrame(const Bytes &bytes, ScannerEmulator &dev)
    {
        std::lock_guard<std::mutex> lock(mutex);
        EventRequest r = parse(bytes);
        requests.push_back(r);
        auto error = [&](const std::string &what) {
            errors.push_back("request " + std::to_string(requests.size()) + " (type " + std::to_string(r.type) +
                             "): " + what);
        };
        if (bytes.size() < 8) {
            error("frame of " + std::to_string(bytes.size()) + " bytes");
            return;
        }
        if (r.lengthWord != bytes.size())
            error("length word " + std::to_string(r.lengthWord) + " in a transfer of " +
                  std::to_string(bytes.size()) + " bytes");
        if (!r.wellFormed && r.lengthWord == bytes.size())
            error("no request line or no end of head");
        if (r.version != "HTTP/1.1")
            error("version '" + r.version + "'");
        if (r.header("Host") != "USB")
            error("Host '" + r.header("Host") + "'");
        if (pathOf(r.target) != kEventPath)
            error("target '" + r.target + "'");

        const uint32_t type = r.type;
        auto reply = [&](const std::string &text) { dev.queueIn(Pipe::Event, frame(type, text)); };

        auto script = scripts.find(type);
        if (script != scripts.end() && !script->second.empty()) {
            const std::optional<std::string> text = script->second.front();
            script->second.pop_front();
            if (text)
                reply(*text);
            return;
        }

        switch (type) {
        case event::kRegistration: {
            if (r.method != "POST")
                error("registration by " + r.method);
            if (r.header("Content-Type") != "application/json; charset=UTF-8")
                error("Content-Type '" + r.header("Content-Type") + "'");
            const std::string announced = r.header("Content-Length");
            if (!isDecimal(announced) || std::stoul(announced) != r.body.size())
                error("Content-Length '" + announced + "' for a body of " + std::to_string(r.body.size()) +
                      " bytes");
            const std::string id = bodyClientId(r.body);
            if (id.empty())
                error("registration without PCID");
            registered = true;
            clientId = id;
            pollHeld = false; // a poll of the old registration is forgotten
            reply(replyText(200, "OK"));
            break;
        }
        case event::kLongPoll: {
            if (r.method != "GET")
                error("poll by " + r.method);
            const auto seqNum = r.query("EventSeqNum");
            if (!seqNum || !isDecimal(*seqNum))
                error("poll without a decimal EventSeqNum");
            if (!r.query("Timeout") || !r.query("LP"))
                error("poll without Timeout or LP");
            const auto pcid = r.query("PCID");
            if (registered && pcid.value_or(std::string()) != clientId)
                error("poll for client '" + pcid.value_or(std::string()) + "'");
            if (!registered || pcid.value_or(std::string()) != clientId) {
                reply(replyText(404, "Not Found"));
                break;
            }
            if (pollHeld)
                error("a second poll while one is outstanding");
            if (!answers.empty()) {
                pollHeld = false;
                reply(answers.front());
                answers.pop_front();
                break;
            }
            pollHeld = true;
            deadline = Clock::now() + settings.serverTimeout;
            wake.notify_all();
            break;
        }
        case event::kUnregister: {
            if (r.method != "DELETE")
                error("unregistration by " + r.method);
            const auto pcid = r.query("PCID");
            if (registered && pcid.value_or(std::string()) != clientId)
                error("unregistration for client '" + pcid.value_or(std::string()) + "'");
            registered = false;
            clientId.clear();
            pollHeld = false;
            reply(replyText(200, "OK"));
            break;
        }
        default:
            error("unknown frame type");
            break;
        }
    }

    // Answers the held poll with `text`, or keeps it for the next poll.
    void answer(const std::string &text)
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (!pollHeld) {
            answers.push_back(text);
            return;
        }
        pollHeld = false;
        const auto dev = device.lock();
        lock.unlock();
        if (dev)
            dev->queueIn(Pipe::Event, frame(event::kLongPoll, text));
    }

    void runTimer()
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!stop) {
            if (!pollHeld) {
                wake.wait(lock);
                continue;
            }
            if (Clock::now() < deadline) {
                wake.wait_until(lock, deadline);
                continue;
            }
            pollHeld = false;
            const std::string text = timeoutText();
            const auto dev = device.lock();
            lock.unlock();
            if (dev)
                dev->queueIn(Pipe::Event, frame(event::kLongPoll, text));
            lock.lock();
        }
    }
};

EventService::EventService() : EventService(Settings()) {}

EventService::EventService(Settings settings) : d(std::make_shared<State>())
{
    d->settings = settings;
    d->seq = settings.lastEventSeqNum;
    m_timer = std::thread([state = d] { state->runTimer(); });
}

EventService::~EventService()
{
    detach();
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stop = true;
    }
    d->wake.notify_all();
    m_timer.join();
}

void EventService::attach(const std::shared_ptr<ScannerEmulator> &device)
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->device = device;
    }
    std::weak_ptr<State> state = d;
    device->setEventHandler([state](const Bytes &bytes, ScannerEmulator &dev) {
        if (auto s = state.lock())
            s->onFrame(bytes, dev);
    });
}

void EventService::detach()
{
    std::shared_ptr<ScannerEmulator> dev;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        dev = d->device.lock();
        d->device.reset();
        d->pollHeld = false;
    }
    if (dev)
        dev->setEventHandler(nullptr);
}

void EventService::setServerTimeout(std::chrono::milliseconds timeout)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->settings.serverTimeout = timeout;
}

void EventService::setTimeoutMarker(bool marker)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->settings.timeoutMarker = marker;
}

void EventService::pressButton(int number)
{
    uint32_t seq;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        seq = ++d->seq;
    }
    const std::string body =
        "{\"Event\":\"" + std::to_string(number) + "\",\"EventSeqNum\":\"" + std::to_string(seq) + "\"}";
    d->answer(replyText(200, "OK", "Content-Type: application/json\r\n", body));
}

void EventService::answerPoll(const std::string &text)
{
    d->answer(text);
}

void EventService::scriptReply(uint32_t type, std::optional<std::string> text)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->scripts[type].push_back(std::move(text));
}

std::vector<EventRequest> EventService::requests() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->requests;
}

std::vector<EventRequest> EventService::requests(uint32_t type) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    std::vector<EventRequest> out;
    std::copy_if(d->requests.begin(), d->requests.end(), std::back_inserter(out),
                 [type](const EventRequest &r) { return r.type == type; });
    return out;
}

bool EventService::registered() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->registered;
}

bool EventService::pollHeld() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->pollHeld;
}

std::string EventService::clientId() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->clientId;
}

uint32_t EventService::eventSeqNum() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->seq;
}

std::vector<std::string> EventService::protocolErrors() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->errors;
}

} // namespace emu
