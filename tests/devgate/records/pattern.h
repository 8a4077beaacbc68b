#ifndef RECORDS_TEST_PATTERN_H
#define RECORDS_TEST_PATTERN_H

// Distinctive wire bytes for the record tests. Every byte position has its own
// value and neighbours always differ, so a field written at a shifted offset,
// in the wrong byte order or into another field's place shows up as a
// mismatch. Filling a record through u8/u16/u32/utf16/latin1 with the offsets
// of the wire layout also records which bytes the layout covers.

#include "recordtext.h"

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

class Pattern
{
public:
    explicit Pattern(int size) : m_cover(size, 0) {}

    static quint8 byteAt(int i) { return static_cast<quint8>(i * 37 + 11 + (i >> 8) * 101); }

    quint8 u8(int off)
    {
        mark(off, 1);
        return byteAt(off);
    }
    quint16 u16(int off)
    {
        mark(off, 2);
        return static_cast<quint16>(byteAt(off) << 8 | byteAt(off + 1));
    }
    quint32 u32(int off)
    {
        mark(off, 4);
        return static_cast<quint32>(byteAt(off)) << 24 | static_cast<quint32>(byteAt(off + 1)) << 16 |
               static_cast<quint32>(byteAt(off + 2)) << 8 | byteAt(off + 3);
    }
    template <int N>
    void utf16(Utf16Text<N> &t, int off)
    {
        for (int k = 0; k < N; ++k)
            t.units[static_cast<size_t>(k)] = u16(off + 2 * k);
    }
    template <int N>
    void latin1(Latin1Text<N> &t, int off)
    {
        for (int k = 0; k < N; ++k)
            t.bytes[static_cast<size_t>(k)] = static_cast<char>(u8(off + k));
    }

    // The pattern over the whole record, and the pattern where fields were
    // filled with zero bytes elsewhere (reserved bytes).
    QByteArray full() const
    {
        QByteArray b(m_cover.size(), '\0');
        for (int i = 0; i < b.size(); ++i)
            b[i] = static_cast<char>(byteAt(i));
        return b;
    }
    QByteArray expected() const
    {
        QByteArray b(m_cover.size(), '\0');
        for (int i = 0; i < b.size(); ++i)
            if (m_cover.at(i))
                b[i] = static_cast<char>(byteAt(i));
        return b;
    }
    int coveredBytes() const
    {
        int n = 0;
        for (int c : m_cover)
            n += c ? 1 : 0;
        return n;
    }
    // Bytes claimed by two fields, or claimed outside the record.
    int clashes() const { return m_clashes; }

private:
    void mark(int off, int len)
    {
        for (int i = off; i < off + len; ++i) {
            if (i < 0 || i >= m_cover.size() || m_cover.at(i)) {
                ++m_clashes;
                continue;
            }
            m_cover[i] = 1;
        }
    }

    QVector<int> m_cover;
    int m_clashes = 0;
};

#endif
