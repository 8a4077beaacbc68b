#include "scanneremulator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace emu {

using Lock = std::lock_guard<std::recursive_mutex>;

Bytes bytes(const std::string &text)
{
    return Bytes(text.begin(), text.end());
}

std::string text(const Bytes &bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

Reply Reply::ok(Bytes data)
{
    Reply r;
    r.data = std::move(data);
    return r;
}

Reply Reply::withStatus(uint8_t code, Bytes data)
{
    Reply r;
    r.data = std::move(data);
    r.status = code;
    return r;
}

Reply Reply::refused(uint8_t code)
{
    Reply r;
    r.status = code;
    r.refuse = true;
    return r;
}

ScannerEmulator::ScannerEmulator(UsbIdentity identity) : m_identity(identity)
{
    installDefaultHandlers();
}

UsbIdentity ScannerEmulator::identity() const
{
    Lock lock(m_mutex);
    return m_identity;
}

Bytes ScannerEmulator::descriptors() const
{
    Lock lock(m_mutex);
    auto lo = [](uint16_t v) { return static_cast<uint8_t>(v & 0xFF); };
    auto hi = [](uint16_t v) { return static_cast<uint8_t>(v >> 8); };
    Bytes d = {
        // device: USB 2.0, vendor-specific, one configuration
        18, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 64,
        lo(m_identity.vendorId), hi(m_identity.vendorId),
        lo(m_identity.productId), hi(m_identity.productId),
        lo(m_identity.bcdDevice), hi(m_identity.bcdDevice), 0, 0, 0, 1,
        // configuration 1: one interface, self-powered
        9, 0x02, 60, 0, 1, 1, 0, 0xC0, 1,
        // interface 0, alternate setting 0, six endpoints, vendor-specific
        9, 0x04, 0, 0, 6, 0xFF, 0, 0, 0,
    };
    for (uint8_t number : {1, 2, 3}) {
        for (uint8_t in : {0, 0x80}) {
            const Bytes ep = {7, 0x05, static_cast<uint8_t>(in | number), 0x02,
                              lo(kMaxPacketSize), hi(kMaxPacketSize), 0};
            d.insert(d.end(), ep.begin(), ep.end());
        }
    }
    return d;
}

// --- transfers -------------------------------------------------------------

std::optional<Fault> ScannerEmulator::takeFault(Pipe pipe, Direction direction)
{
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (it->pipe != pipe || it->direction != direction)
            continue;
        if (it->skip > 0) {
            --it->skip;
            return std::nullopt;
        }
        Fault fault = *it;
        m_faults.erase(it);
        if (fault.error == 0)
            fault.error = EPROTO;
        return fault;
    }
    return std::nullopt;
}

uint64_t ScannerEmulator::submit(Pipe pipe, Direction direction, const Bytes &out, size_t inLength,
                                 Client client)
{
    Lock lock(m_mutex);
    const uint64_t id = m_nextId++;
    Transfer &t = m_transfers[id];
    t.pipe = pipe;
    t.direction = direction;
    t.out = direction == Direction::Out ? out : Bytes();
    t.inLength = inLength;

    auto fail = [&](int error) {
        t.result.state = Completion::State::Failed;
        t.result.error = error;
        finish(id, t, TransferRecord::Outcome::Failed);
    };
    if (m_vanished) {
        fail(ENODEV);
        return id;
    }
    if (const int rc = implicitClaim(client)) {
        fail(-rc);
        return id;
    }
    t.fault = takeFault(pipe, direction);
    if (t.fault && t.fault->kind == FaultKind::Vanish) {
        vanish();
        fail(ENODEV);
        return id;
    }
    if (direction == Direction::In) {
        m_pendingIn[index(pipe)].push_back(id);
        return id;
    }
    if (!t.fault || t.fault->kind == FaultKind::ShortRead || t.fault->kind == FaultKind::EmptyRead) {
        Bytes accepted = out;
        if (t.fault && t.fault->kind == FaultKind::ShortRead)
            accepted.resize(std::min(accepted.size(), t.fault->length));
        if (t.fault && t.fault->kind == FaultKind::EmptyRead)
            accepted.clear();
        t.result.state = Completion::State::Done;
        t.result.length = accepted.size();
        finish(id, t, TransferRecord::Outcome::Completed);
        deliverOut(pipe, accepted);
    } else if (t.fault->kind == FaultKind::TransferError) {
        fail(t.fault->error);
    }
    // NoAnswer: stays pending until the host cancels it.
    return id;
}

bool ScannerEmulator::serveIn(uint64_t id, Transfer &t)
{
    auto &pending = m_pendingIn[index(t.pipe)];
    auto done = [&](Bytes data) {
        t.result.state = Completion::State::Done;
        t.result.length = data.size();
        t.result.data = std::move(data);
        pending.erase(std::remove(pending.begin(), pending.end(), id), pending.end());
        finish(id, t, TransferRecord::Outcome::Completed);
        return true;
    };
    auto failed = [&](int error) {
        t.result.state = Completion::State::Failed;
        t.result.error = error;
        pending.erase(std::remove(pending.begin(), pending.end(), id), pending.end());
        finish(id, t, TransferRecord::Outcome::Failed);
        return true;
    };
    if (t.fault) {
        switch (t.fault->kind) {
        case FaultKind::NoAnswer:
            return false;
        case FaultKind::EmptyRead:
            return done({});
        case FaultKind::TransferError:
            return failed(t.fault->error);
        case FaultKind::ShortRead:
        case FaultKind::Vanish:
            break;
        }
    }
    // Transfers on one endpoint complete in the order they were submitted.
    if (pending.empty() || pending.front() != id)
        return false;
    auto &queue = m_inQueue[index(t.pipe)];
    if (queue.empty())
        return false;
    Bytes &message = queue.front();
    if (t.fault && t.fault->kind == FaultKind::ShortRead) {
        Bytes part(message.begin(),
                   message.begin() + static_cast<long>(std::min({t.fault->length, message.size(), t.inLength})));
        queue.pop_front();
        return done(std::move(part));
    }
    if (message.size() <= t.inLength) {
        Bytes whole = std::move(message);
        queue.pop_front();
        return done(std::move(whole));
    }
    // Longer than the buffer: a buffer of whole packets takes what fits and
    // leaves the rest for the next transfer; otherwise the last packet
    // overflows the buffer and the message is lost, as on a real bus.
    if (t.inLength > 0 && t.inLength % kMaxPacketSize == 0) {
        Bytes head(message.begin(), message.begin() + static_cast<long>(t.inLength));
        message.erase(message.begin(), message.begin() + static_cast<long>(t.inLength));
        return done(std::move(head));
    }
    queue.pop_front();
    return failed(EOVERFLOW);
}

Completion ScannerEmulator::poll(uint64_t id)
{
    Lock lock(m_mutex);
    auto it = m_transfers.find(id);
    if (it == m_transfers.end()) {
        Completion c;
        c.state = Completion::State::Failed;
        c.error = EINVAL;
        return c;
    }
    Transfer &t = it->second;
    if (t.result.state == Completion::State::Pending) {
        if (m_vanished) {
            auto &pending = m_pendingIn[index(t.pipe)];
            pending.erase(std::remove(pending.begin(), pending.end(), id), pending.end());
            t.result.state = Completion::State::Failed;
            t.result.error = ESHUTDOWN;
            finish(id, t, TransferRecord::Outcome::Failed);
        } else if (t.direction == Direction::In) {
            serveIn(id, t);
        }
    }
    if (t.result.state == Completion::State::Pending)
        return t.result;
    Completion c = std::move(t.result);
    m_transfers.erase(it);
    return c;
}

bool ScannerEmulator::cancel(uint64_t id)
{
    Lock lock(m_mutex);
    auto it = m_transfers.find(id);
    if (it == m_transfers.end() || it->second.result.state != Completion::State::Pending)
        return false;
    Transfer &t = it->second;
    auto &pending = m_pendingIn[index(t.pipe)];
    pending.erase(std::remove(pending.begin(), pending.end(), id), pending.end());
    finish(id, t, TransferRecord::Outcome::TimedOut);
    m_transfers.erase(it);
    return true;
}

void ScannerEmulator::finish(uint64_t id, Transfer &t, TransferRecord::Outcome outcome)
{
    TransferRecord r;
    r.id = id;
    r.pipe = t.pipe;
    r.direction = t.direction;
    r.bytes = t.direction == Direction::Out ? t.out : t.result.data;
    r.outcome = outcome;
    r.error = t.result.error;
    m_records.push_back(std::move(r));
}

Completion ScannerEmulator::transferOut(Pipe pipe, const Bytes &data)
{
    Lock lock(m_mutex);
    const uint64_t id = submit(pipe, Direction::Out, data, 0);
    Completion c = poll(id);
    if (c.state == Completion::State::Pending)
        cancel(id);
    return c;
}

Completion ScannerEmulator::transferIn(Pipe pipe, size_t length)
{
    Lock lock(m_mutex);
    const uint64_t id = submit(pipe, Direction::In, {}, length);
    Completion c = poll(id);
    if (c.state == Completion::State::Pending)
        cancel(id);
    return c;
}

void ScannerEmulator::deliverOut(Pipe pipe, const Bytes &data)
{
    switch (pipe) {
    case Pipe::Lock:
        onLockWrite(data);
        break;
    case Pipe::Data:
        onDataWrite(data);
        break;
    case Pipe::Event:
        if (m_eventHandler)
            m_eventHandler(data, *this);
        break;
    }
}

// --- USB requests -----------------------------------------------------------

int ScannerEmulator::controlFault(ControlOp op)
{
    if (m_vanished)
        return -ENODEV;
    auto it = m_controlFaults.find(op);
    if (it == m_controlFaults.end())
        return 0;
    const int error = it->second;
    m_controlFaults.erase(it);
    return -error;
}

void ScannerEmulator::logControl(const std::string &line)
{
    m_controlLog.push_back(line);
}

int ScannerEmulator::getDriver(int interface, std::string &name)
{
    Lock lock(m_mutex);
    logControl("getdriver " + std::to_string(interface));
    if (const int rc = controlFault(ControlOp::GetDriver))
        return rc;
    if (interface != 0 || m_kernelDriver.empty())
        return -ENODATA;
    name = m_kernelDriver;
    return 0;
}

int ScannerEmulator::disconnectDriver(int interface)
{
    Lock lock(m_mutex);
    logControl("disconnect " + std::to_string(interface));
    if (const int rc = controlFault(ControlOp::Disconnect))
        return rc;
    if (interface != 0 || m_kernelDriver.empty())
        return -ENODATA;
    m_detachedDriver = m_kernelDriver;
    m_kernelDriver.clear();
    return 0;
}

int ScannerEmulator::connectDriver(int interface)
{
    Lock lock(m_mutex);
    logControl("connect " + std::to_string(interface));
    if (const int rc = controlFault(ControlOp::Connect))
        return rc;
    if (interface != 0)
        return -EINVAL;
    if (m_claimOwner)
        return -EBUSY;
    if (!m_detachedDriver.empty()) {
        m_kernelDriver = m_detachedDriver;
        m_detachedDriver.clear();
    }
    return m_kernelDriver.empty() ? 0 : 1;
}

int ScannerEmulator::setConfiguration(int value)
{
    Lock lock(m_mutex);
    logControl("setconfig " + std::to_string(value));
    if (const int rc = controlFault(ControlOp::SetConfiguration))
        return rc;
    // As the kernel: no configuration change while anyone holds an interface.
    if (m_claimOwner || !m_kernelDriver.empty())
        return -EBUSY;
    if (value != 1 && value != 0 && value != -1)
        return -EINVAL;
    m_configuration = value > 0 ? value : 0;
    return 0;
}

int ScannerEmulator::implicitClaim(Client client)
{
    if (m_claimOwner)
        return *m_claimOwner == client ? 0 : -EBUSY;
    if (!m_kernelDriver.empty())
        return -EBUSY;
    m_claimOwner = client;
    return 0;
}

int ScannerEmulator::claimInterface(int interface, Client client)
{
    Lock lock(m_mutex);
    logControl("claim " + std::to_string(interface));
    if (const int rc = controlFault(ControlOp::Claim))
        return rc;
    if (interface != 0 || m_configuration != 1)
        return -EINVAL;
    return implicitClaim(client);
}

int ScannerEmulator::releaseInterface(int interface, Client client)
{
    Lock lock(m_mutex);
    logControl("release " + std::to_string(interface));
    if (const int rc = controlFault(ControlOp::Release))
        return rc;
    if (interface != 0 || !m_claimOwner || *m_claimOwner != client)
        return -EINVAL;
    m_claimOwner.reset();
    return 0;
}

int ScannerEmulator::setInterface(int interface, int altSetting, Client client)
{
    Lock lock(m_mutex);
    logControl("setinterface " + std::to_string(interface) + " " + std::to_string(altSetting));
    if (const int rc = controlFault(ControlOp::SetInterface))
        return rc;
    if (interface != 0 || altSetting != 0)
        return -EINVAL;
    return implicitClaim(client);
}

int ScannerEmulator::resetDevice()
{
    Lock lock(m_mutex);
    logControl("reset");
    if (const int rc = controlFault(ControlOp::Reset))
        return rc;
    // The device forgets the exchange in progress; the resource lock is
    // the device's own state and survives.
    for (auto &queue : m_inQueue)
        queue.clear();
    m_phase = DataPhase::Block;
    return 0;
}

int ScannerEmulator::clearHalt(uint8_t endpoint)
{
    Lock lock(m_mutex);
    char line[32];
    std::snprintf(line, sizeof line, "clearhalt 0x%02x", endpoint);
    logControl(line);
    return controlFault(ControlOp::ClearHalt);
}

int ScannerEmulator::disconnectClaim(int interface, bool exceptDriver, const std::string &driver,
                                     Client client)
{
    Lock lock(m_mutex);
    logControl("disconnectclaim " + std::to_string(interface));
    if (const int rc = controlFault(ControlOp::DisconnectClaim))
        return rc;
    if (interface != 0)
        return -EINVAL;
    if (!m_kernelDriver.empty()) {
        if (exceptDriver && m_kernelDriver == driver)
            return -EBUSY;
        m_detachedDriver = m_kernelDriver;
        m_kernelDriver.clear();
    }
    return implicitClaim(client);
}

void ScannerEmulator::clientOpened(Client client)
{
    (void)client; // nothing to set up: a handle owns nothing until it claims
}

void ScannerEmulator::clientClosed(Client client)
{
    Lock lock(m_mutex);
    if (m_claimOwner && *m_claimOwner == client)
        m_claimOwner.reset();
}

void ScannerEmulator::setKernelDriver(const std::string &name)
{
    Lock lock(m_mutex);
    m_kernelDriver = name;
    m_detachedDriver.clear();
}

std::string ScannerEmulator::kernelDriver() const
{
    Lock lock(m_mutex);
    return m_kernelDriver;
}

void ScannerEmulator::failNextControl(ControlOp op, int error)
{
    Lock lock(m_mutex);
    m_controlFaults[op] = error;
}

bool ScannerEmulator::interfaceClaimed() const
{
    Lock lock(m_mutex);
    return m_claimOwner.has_value();
}

int ScannerEmulator::configuration() const
{
    Lock lock(m_mutex);
    return m_configuration;
}

std::vector<std::string> ScannerEmulator::controlLog() const
{
    Lock lock(m_mutex);
    return m_controlLog;
}

// --- hot-unplug, faults, records -------------------------------------------

void ScannerEmulator::vanish()
{
    Lock lock(m_mutex);
    m_vanished = true;
}

bool ScannerEmulator::vanished() const
{
    Lock lock(m_mutex);
    return m_vanished;
}

void ScannerEmulator::injectFault(const Fault &fault)
{
    Lock lock(m_mutex);
    m_faults.push_back(fault);
}

size_t ScannerEmulator::pendingFaults() const
{
    Lock lock(m_mutex);
    return m_faults.size();
}

std::vector<TransferRecord> ScannerEmulator::transfers() const
{
    Lock lock(m_mutex);
    return m_records;
}

std::vector<TransferRecord> ScannerEmulator::transfers(Pipe pipe) const
{
    Lock lock(m_mutex);
    std::vector<TransferRecord> out;
    std::copy_if(m_records.begin(), m_records.end(), std::back_inserter(out),
                 [pipe](const TransferRecord &r) { return r.pipe == pipe; });
    return out;
}

void ScannerEmulator::clearTransfers()
{
    Lock lock(m_mutex);
    m_records.clear();
    m_commands.clear();
    m_protocolErrors.clear();
}

std::vector<std::string> ScannerEmulator::protocolErrors() const
{
    Lock lock(m_mutex);
    return m_protocolErrors;
}

void ScannerEmulator::protocolError(const std::string &what)
{
    m_protocolErrors.push_back(what);
}

void ScannerEmulator::setEventHandler(PipeWriteHandler handler)
{
    Lock lock(m_mutex);
    m_eventHandler = std::move(handler);
}

void ScannerEmulator::queueIn(Pipe pipe, const Bytes &message)
{
    Lock lock(m_mutex);
    m_inQueue[index(pipe)].push_back(message);
}

size_t ScannerEmulator::queuedIn(Pipe pipe) const
{
    Lock lock(m_mutex);
    return m_inQueue[index(pipe)].size();
}

size_t ScannerEmulator::pendingIn(Pipe pipe) const
{
    Lock lock(m_mutex);
    return m_pendingIn[index(pipe)].size();
}

void ScannerEmulator::setRecord(const std::string &name, const Bytes &record)
{
    Lock lock(m_mutex);
    m_namedRecords[name] = record;
}

Bytes ScannerEmulator::record(const std::string &name) const
{
    Lock lock(m_mutex);
    auto it = m_namedRecords.find(name);
    return it == m_namedRecords.end() ? Bytes() : it->second;
}

} // namespace emu
