#ifndef COMMANDBLOCK_H
#define COMMANDBLOCK_H

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// The two fixed blocks of every data-pipe exchange: the 20-byte command block
// the host sends first and the 12-byte status block the device ends with.
// Pure functions over bytes, so they are tested and fuzzed without a device.

// Host form of the command block; encodeCommandBlock lays it out on the wire.
struct tagCMD_HEADER
{
    quint32 opcode = 0;      // wire: big-endian 32-bit at offset 4
    quint32 dataLength = 0;  // wire: big-endian 32-bit at offset 8
    quint8 direction = 0;    // kDirectionIn or kDirectionOut
    quint8 opcodeByte = 0;   // the opcode again, offset 13
    quint8 params[6] = {0, 0, 0, 0, 0, 0};
};

// Host form of the status block, signature word in host order.
struct tagSTS_HEADER
{
    quint32 signature = 0;
    quint32 reserved = 0;
    quint8 status = 0;
    quint8 tail[3] = {0, 0, 0};
};

namespace CommandBlock {

constexpr int kCommandBlockSize = 20;
constexpr int kStatusBlockSize = 12;
constexpr quint8 kDirectionIn = 0x80;  // data phase runs device to host
constexpr quint8 kDirectionOut = 0x00; // host to device, or no data phase
constexpr quint32 kCommandSignature = 0x434D4400; // "CMD\0"
constexpr quint32 kStatusSignature = 0x53545300;  // "STS\0"

// The six parameter bytes p0..p5 of a command.
struct Params
{
    quint8 p[6] = {0, 0, 0, 0, 0, 0};
};

tagCMD_HEADER makeHeader(quint8 direction, quint8 opcode, quint32 dataLength,
                         const Params &params = Params());

// Writes the 20 wire bytes; false (nothing written) when size is too small.
bool encodeCommandBlock(const tagCMD_HEADER &header, void *out, size_t size);
QByteArray encodeCommandBlock(const tagCMD_HEADER &header);

// Reads the first 12 bytes as a status block; bytes beyond the end of a
// shorter buffer count as zero, as they would in a zero-filled reply buffer.
tagSTS_HEADER decodeStatusBlock(const char *data, size_t size);

// What a decoded status block means for the caller.
struct StatusMeaning
{
    int result;        // 0 or a negative result code
    QString traceText; // empty when nothing is traced
};
StatusMeaning statusMeaning(const tagSTS_HEADER &status);

} // namespace CommandBlock

#endif
