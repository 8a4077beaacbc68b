#ifndef TRANSLATION_FIXTURE_H
#define TRANSLATION_FIXTURE_H

// Profiles and expected wire bytes for the translation tests. Expected records
// are written here straight from the device layout (offset, width, value), so
// they do not share a field list with the codecs under test.

#include "scanshortcutmenu.h"
#include "support/builtinprofiles.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

using testsupport::builtInProfiles;

inline tagSCAN_SHORTCUT_MENU builtInProfile(int index)
{
    return builtInProfiles().value(index);
}

class WireBytes
{
public:
    explicit WireBytes(int size) : m_bytes(size, '\0') {}

    WireBytes &u8(int off, quint8 v)
    {
        m_bytes[off] = static_cast<char>(v);
        return *this;
    }
    WireBytes &be16(int off, quint16 v)
    {
        u8(off, quint8(v >> 8));
        return u8(off + 1, quint8(v));
    }
    WireBytes &be32(int off, quint32 v)
    {
        be16(off, quint16(v >> 16));
        return be16(off + 2, quint16(v));
    }
    WireBytes &utf16be(int off, const QString &text)
    {
        for (int i = 0; i < text.size(); ++i)
            be16(off + 2 * i, text.at(i).unicode());
        return *this;
    }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

inline quint32 be32At(const QByteArray &b, int off)
{
    return quint32(quint8(b[off])) << 24 | quint32(quint8(b[off + 1])) << 16 |
           quint32(quint8(b[off + 2])) << 8 | quint8(b[off + 3]);
}

inline quint16 be16At(const QByteArray &b, int off)
{
    return quint16(quint8(b[off]) << 8 | quint8(b[off + 1]));
}

inline quint32 le32At(const QByteArray &b, int off)
{
    return quint32(quint8(b[off + 3])) << 24 | quint32(quint8(b[off + 2])) << 16 |
           quint32(quint8(b[off + 1])) << 8 | quint8(b[off]);
}

// First differing offset, for readable failures; -1 when equal.
inline int firstDifference(const QByteArray &a, const QByteArray &b)
{
    const int n = qMin(a.size(), b.size());
    for (int i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return i;
    }
    return a.size() == b.size() ? -1 : n;
}

#endif
