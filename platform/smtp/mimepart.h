#ifndef MIMEPART_H
#define MIMEPART_H

#include <QByteArray>
#include <QString>

// One body part of a message. Parts are always sent Base64-encoded.
class MimePart
{
public:
    enum Encoding { _7Bit = 0, _8Bit = 1, Base64 = 2, QuotedPrintable = 3 };

    virtual ~MimePart() = default;
    // Headers and encoded body, CRLF line ends; false when the content could
    // not be read.
    virtual bool toBytes(QByteArray &out) const = 0;
};

#endif
