#include "scanneremulator.h"

#include <cstdio>

// The lock pipe: XML task texts in, XML replies out, one reply per task.
namespace emu {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

std::string between(const std::string &text, const std::string &open, const std::string &close)
{
    const size_t start = text.find(open);
    if (start == std::string::npos)
        return std::string();
    const size_t end = text.find(close, start + open.size());
    if (end == std::string::npos)
        return std::string();
    return text.substr(start + open.size(), end - start - open.size());
}

std::string replyText(const std::string &element, const std::string &status,
                      const std::string &lockId)
{
    std::string body = "\t<" + element + ">\n\t\t<status>" + status + "</status>\n";
    if (!lockId.empty())
        body += "\t\t<lockid>" + lockId + "</lockid>\n";
    body += "\t</" + element + ">\n</task>\n";
    // The head carries the length of the whole reply, as the device counts it.
    const std::string headFormat = "<task bytes='%020zu' id='00000000000000000001' "
                                   "reply='00000000000000000001'>\n";
    char head[128];
    const size_t headLength = static_cast<size_t>(std::snprintf(head, sizeof head, headFormat.c_str(), size_t(0)));
    std::snprintf(head, sizeof head, headFormat.c_str(), headLength + body.size());
    return head + body;
}

} // namespace

void ScannerEmulator::setLockHeldByOtherHost(bool held)
{
    Lock lock(m_mutex);
    m_lockedByOther = held;
}

void ScannerEmulator::setWaking(int lockRequests)
{
    Lock lock(m_mutex);
    m_wakingRequests = lockRequests;
}

void ScannerEmulator::setNextLockId(const std::string &id)
{
    Lock lock(m_mutex);
    m_nextLockId = id;
}

void ScannerEmulator::scriptLockReply(const std::string &raw)
{
    Lock lock(m_mutex);
    m_scriptedLockReply = raw;
}

bool ScannerEmulator::lockHeld() const
{
    Lock lock(m_mutex);
    return m_lockHeld;
}

std::string ScannerEmulator::lockId() const
{
    Lock lock(m_mutex);
    return m_lockHeld ? m_lockId : std::string();
}

bool ScannerEmulator::lockIsForLog() const
{
    Lock lock(m_mutex);
    return m_lockHeld && m_lockForLog;
}

void ScannerEmulator::onLockWrite(const Bytes &data)
{
    const std::string task = text(data);
    const bool unlock = task.find("<resourceunlock>") != std::string::npos;
    const bool lock = !unlock && task.find("<resourcelock>") != std::string::npos;
    auto &replies = m_inQueue[index(Pipe::Lock)];

    if (m_scriptedLockReply) {
        replies.push_back(bytes(*m_scriptedLockReply));
        m_scriptedLockReply.reset();
        return;
    }
    if (lock) {
        // A second lock from the holder is refused like anyone else's: a
        // host that forgot to unlock finds its scanner busy.
        if (m_lockedByOther || m_lockHeld) {
            replies.push_back(bytes(replyText("resourcelock", "busy", "")));
        } else if (m_wakingRequests > 0) {
            --m_wakingRequests;
            replies.push_back(bytes(replyText("resourcelock", "waking", "")));
        } else {
            if (m_nextLockId.empty()) {
                char id[16];
                std::snprintf(id, sizeof id, "%010u", 1000000000u + ++m_lockCounter);
                m_lockId = id;
            } else {
                m_lockId = m_nextLockId;
                m_nextLockId.clear();
            }
            m_lockHeld = true;
            m_lockForLog = task.find("<locktimeout>") != std::string::npos;
            replies.push_back(bytes(replyText("resourcelock", "success", m_lockId)));
        }
        return;
    }
    if (unlock) {
        const std::string quoted = between(task, "<lockid>", "</lockid>");
        if (m_lockHeld && quoted == m_lockId) {
            m_lockHeld = false;
            m_lockForLog = false;
            replies.push_back(bytes(replyText("resourceunlock", "success", "")));
        } else {
            protocolError("unlock quotes lock id '" + quoted + "', granted '" +
                          (m_lockHeld ? m_lockId : std::string("(none)")) + "'");
            replies.push_back(bytes(replyText("resourceunlock", "invalidlockid", "")));
        }
        return;
    }
    protocolError("lock pipe: not a lock task: " + task.substr(0, 64));
    replies.push_back(bytes(replyText("resourcelock", "error", "")));
}

} // namespace emu
