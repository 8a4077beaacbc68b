#include "commandblock.h"

#include "bytes.h"
#include "errorhandling.h"

#include <algorithm>

namespace CommandBlock {

tagCMD_HEADER makeHeader(quint8 direction, quint8 opcode, quint32 dataLength,
                         const Params &params)
{
    tagCMD_HEADER header;
    header.opcode = opcode;
    header.dataLength = dataLength;
    header.direction = direction;
    header.opcodeByte = opcode;
    std::copy(std::begin(params.p), std::end(params.p), std::begin(header.params));
    return header;
}

bool encodeCommandBlock(const tagCMD_HEADER &header, void *out, size_t size)
{
    if (size < static_cast<size_t>(kCommandBlockSize))
        return false;
    ByteWriter w(out, kCommandBlockSize);
    w.be32(0, kCommandSignature);
    w.be32(4, header.opcode);
    w.be32(8, header.dataLength);
    w.u8(12, header.direction);
    w.u8(13, header.opcodeByte);
    w.copy(14, header.params, sizeof header.params);
    return w.ok();
}

QByteArray encodeCommandBlock(const tagCMD_HEADER &header)
{
    QByteArray block(kCommandBlockSize, '\0');
    encodeCommandBlock(header, block.data(), static_cast<size_t>(block.size()));
    return block;
}

tagSTS_HEADER decodeStatusBlock(const char *data, size_t size)
{
    char padded[kStatusBlockSize] = {};
    if (data)
        std::copy_n(data, std::min(size, sizeof padded), padded);
    ByteReader r(padded, sizeof padded);
    tagSTS_HEADER status;
    status.signature = r.be32(0);
    status.reserved = r.be32(4);
    status.status = r.u8(8);
    r.copy(9, status.tail, sizeof status.tail);
    return status;
}

StatusMeaning statusMeaning(const tagSTS_HEADER &status)
{
    if (status.signature != kStatusSignature)
        return {RC_STATUS_SIGNATURE, QStringLiteral("Not command")};

    struct Known
    {
        quint8 code;
        int result;
        const char *trace;
    };
    static const Known known[] = {
        {1, RC_NO_PAPER, "SCANNER_NO_IMAGE_READY"},
        {2, RC_END_OF_OUTPUT, "SCANNER_END_OF_OUTPUT"},
        {3, RC_PAPER_JAM, "SCANNER_PAPER_JAM"},
        {4, RC_MULTIFEED, "SCANNER_MULTIFEED"},
        {5, RC_WARMING_UP, "SCANNER_LAMPS_WARMING"},
        {7, RC_COVER_OPEN, "SCANNER_COVER_OPEN"},
        {8, RC_CALIBRATION_REQUIRED, "SCANNER_CALIBRATION_REQUIRED"},
        {9, RC_WHITE_PATCH_NOT_FOUND, "SCANNER_WHITE_PATCH_AREA_NOT_FOUND"},
        {10, RC_IMPRINTER_MISSING, "SCANNER_PRINT_HEAD_NOT_PRESENT"},
        {11, RC_CLEAN_GUIDES, "SCANNER_CLEAN_IMAGING_GUIDES"},
        {12, RC_CARTRIDGE_MISSING, "SCANNER_FEED_CARTRIDGE_NOT_PRESENT"},
        {13, RC_LEARN_FAILED, "SCANNER_ECDO_CUSTOM_LEARN_FAIL"},
        {14, RC_DEVICE_FAILURE, "The scanner is in the Critical Error state."},
        {15, RC_LEARN_NOT_SINGLE, "SCANNER_ECDO_CUSTOM_NOT_SINGLE"},
    };
    if (status.status == 0)
        return {RC_OK, QString()};
    for (const Known &k : known) {
        if (k.code == status.status)
            return {k.result, QString::fromLatin1(k.trace)};
    }
    return {RC_DEVICE_FAILURE, QStringLiteral("SCANNER_FAILED: %1").arg(status.status)};
}

} // namespace CommandBlock
