#ifndef MIMEATTACHMENT_H
#define MIMEATTACHMENT_H

#include "mimepart.h"

class QFile;

// A file attached under its own name. The part owns the file object.
class MimeAttachment : public MimePart
{
public:
    explicit MimeAttachment(QFile *file);
    ~MimeAttachment() override;
    bool toBytes(QByteArray &out) const override;

private:
    QFile *m_file;
};

#endif
