#include "scanneremulator.h"

#include <cstdio>

// The data pipe: command block, data phase, status block; commands go to
// the handler registered for their opcode.
namespace emu {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

constexpr size_t kCommandBlockSize = 20;

uint32_t be32(const Bytes &b, size_t off)
{
    return uint32_t(b[off]) << 24 | uint32_t(b[off + 1]) << 16 | uint32_t(b[off + 2]) << 8 |
           uint32_t(b[off + 3]);
}

Bytes statusBlock(uint8_t code)
{
    Bytes block = {'S', 'T', 'S', 0, 0, 0, 0, 0, code, 0, 0, 0};
    return block;
}

std::string hex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

} // namespace

void ScannerEmulator::setCommandHandler(uint8_t opcode, CommandHandler handler)
{
    Lock lock(m_mutex);
    m_handlers[opcode] = std::move(handler);
}

void ScannerEmulator::scriptReply(uint8_t opcode, const Reply &reply)
{
    Lock lock(m_mutex);
    Script s;
    s.reply = reply;
    m_scripts[opcode].push_back(s);
}

void ScannerEmulator::scriptStatus(uint8_t opcode, uint8_t code)
{
    Lock lock(m_mutex);
    Script s;
    s.status = code;
    m_scripts[opcode].push_back(s);
}

std::vector<Command> ScannerEmulator::commands() const
{
    Lock lock(m_mutex);
    return m_commands;
}

std::vector<uint8_t> ScannerEmulator::unhandledOpcodes() const
{
    Lock lock(m_mutex);
    return m_unhandled;
}

void ScannerEmulator::onDataWrite(const Bytes &data)
{
    if (m_phase == DataPhase::HostData) {
        const size_t missing = m_current.length - m_current.data.size();
        if (data.size() > missing)
            protocolError("data phase of " + hex(m_current.opcode) + " longer than announced");
        m_current.data.insert(m_current.data.end(), data.begin(),
                              data.begin() + static_cast<long>(std::min(missing, data.size())));
        if (m_current.data.size() == m_current.length) {
            m_phase = DataPhase::Block;
            dispatch(std::move(m_current));
        }
        return;
    }
    onCommandBlock(data);
}

void ScannerEmulator::onCommandBlock(const Bytes &block)
{
    auto &replies = m_inQueue[index(Pipe::Data)];
    if (!replies.empty()) {
        protocolError("command block while " + std::to_string(replies.size()) +
                      " reply message(s) were unread");
        replies.clear();
    }
    if (block.size() != kCommandBlockSize || block[0] != 'C' || block[1] != 'M' ||
        block[2] != 'D' || block[3] != 0) {
        protocolError("malformed command block of " + std::to_string(block.size()) + " bytes");
        replies.push_back(statusBlock(status::kFailed));
        return;
    }
    Command c;
    c.block = block;
    c.opcodeWord = be32(block, 4);
    c.length = be32(block, 8);
    c.direction = block[12];
    c.opcode = block[13];
    std::copy(block.begin() + 14, block.end(), c.params.begin());
    if (c.opcodeWord != c.opcode)
        protocolError("opcode word " + hex(c.opcodeWord) + " differs from opcode byte " + hex(c.opcode));
    if (c.direction != 0x00 && c.direction != 0x80)
        protocolError("direction byte " + hex(c.direction) + " of " + hex(c.opcode));
    if (!c.toHost() && c.length > 0) {
        m_current = std::move(c);
        m_phase = DataPhase::HostData;
        return;
    }
    dispatch(std::move(c));
}

void ScannerEmulator::dispatch(Command command)
{
    m_commands.push_back(command);
    std::optional<Script> script;
    auto scripted = m_scripts.find(command.opcode);
    if (scripted != m_scripts.end() && !scripted->second.empty()) {
        script = scripted->second.front();
        scripted->second.pop_front();
    }

    Reply reply;
    if (script && script->reply) {
        reply = *script->reply;
    } else if (auto handler = m_handlers.find(command.opcode); handler != m_handlers.end()) {
        reply = handler->second(command, *this);
    } else {
        m_unhandled.push_back(command.opcode);
        reply = Reply::refused(status::kFailed);
    }
    if (script && script->status)
        reply.status = *script->status;

    auto &replies = m_inQueue[index(Pipe::Data)];
    if (command.toHost() && !reply.refuse)
        replies.push_back(reply.data);
    if (reply.sendStatus)
        replies.push_back(reply.rawStatus ? *reply.rawStatus : statusBlock(reply.status));
}

void ScannerEmulator::installDefaultHandlers()
{
    m_namedRecords[kInterfaceVersionRecord] = {0x00, 0x01};
    // 0x01 checkInterfaceVersion: two bytes of interface version.
    m_handlers[0x01] = [](const Command &c, ScannerEmulator &device) {
        if (!c.toHost())
            return Reply::refused(status::kFailed);
        return Reply::ok(device.record(kInterfaceVersionRecord));
    };
}

} // namespace emu
