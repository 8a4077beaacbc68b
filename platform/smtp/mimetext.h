#ifndef MIMETEXT_H
#define MIMETEXT_H

#include "mimepart.h"

// A plain UTF-8 text part.
class MimeText : public MimePart
{
public:
    explicit MimeText(const QString &text = QString()) : m_text(text) {}
    void setText(const QString &text) { m_text = text; }
    QString getText() const { return m_text; }
    bool toBytes(QByteArray &out) const override;

private:
    QString m_text;
};

#endif
