#ifndef RECORDFIELDS_H
#define RECORDFIELDS_H

// Internal to the record codecs. Each record's layout is written once, as a
// function template that names every field with its wire offset and its trace
// label; the visitors below turn that one list into the encoder, the decoder
// and the trace dump, so the three can never disagree about an offset.

#include "bytes.h"
#include "recordtext.h"

#include <array>
#include <cstddef>

#include <QByteArray>
#include <QString>

namespace recordfields {

class WireWriter
{
public:
    WireWriter(void *data, size_t size) : m_w(data, size) {}
    bool ok() const { return m_w.ok(); }

    void field(size_t off, quint8 v, const char *) { m_w.u8(off, v); }
    void field(size_t off, quint16 v, const char *) { m_w.be16(off, v); }
    void field(size_t off, quint32 v, const char *) { m_w.be32(off, v); }
    template <int N>
    void field(size_t off, const Utf16Text<N> &t, const char *)
    {
        for (size_t i = 0; i < static_cast<size_t>(N); ++i)
            m_w.be16(off + 2 * i, static_cast<uint16_t>(t.units[i]));
    }
    template <int N>
    void field(size_t off, const Latin1Text<N> &t, const char *)
    {
        m_w.copy(off, t.bytes.data(), static_cast<size_t>(N));
    }
    template <size_t N>
    void field(size_t off, const std::array<quint8, N> &raw, const char *)
    {
        m_w.copy(off, raw.data(), N);
    }

private:
    ByteWriter m_w;
};

class WireReader
{
public:
    WireReader(const QByteArray &in, size_t size) : m_r(in.constData(), size) {}
    bool ok() const { return m_r.ok(); }

    void field(size_t off, quint8 &v, const char *) { v = m_r.u8(off); }
    void field(size_t off, quint16 &v, const char *) { v = m_r.be16(off); }
    void field(size_t off, quint32 &v, const char *) { v = m_r.be32(off); }
    template <int N>
    void field(size_t off, Utf16Text<N> &t, const char *)
    {
        for (size_t i = 0; i < static_cast<size_t>(N); ++i)
            t.units[i] = static_cast<char16_t>(m_r.be16(off + 2 * i));
    }
    template <int N>
    void field(size_t off, Latin1Text<N> &t, const char *)
    {
        m_r.copy(off, t.bytes.data(), static_cast<size_t>(N));
    }
    template <size_t N>
    void field(size_t off, std::array<quint8, N> &raw, const char *)
    {
        m_r.copy(off, raw.data(), N);
    }

private:
    ByteReader m_r;
};

// The label is the whole text before the value ("ImageResolutionX (75-1200): ").
class DumpWriter
{
public:
    const QString &text() const { return m_text; }

    void field(size_t, quint8 v, const char *label) { line(label, QString::number(v)); }
    void field(size_t, quint16 v, const char *label) { line(label, QString::number(v)); }
    void field(size_t, quint32 v, const char *label) { line(label, QString::number(v)); }
    template <int N>
    void field(size_t, const Utf16Text<N> &t, const char *label)
    {
        line(label, t.text());
    }
    template <int N>
    void field(size_t, const Latin1Text<N> &t, const char *label)
    {
        line(label, t.text());
    }

private:
    void line(const char *label, const QString &value)
    {
        m_text += QLatin1String(label);
        m_text += value;
        m_text += QLatin1Char('\n');
    }

    QString m_text;
};

// Encodes a record of Size bytes through its field list.
template <int Size, class Record, class Fields>
void encodeWith(const Record &rec, QByteArray &out, Fields fields)
{
    // Built in a fixed buffer of the record's size, so the writer's bounds are
    // known at compile time.
    std::array<char, Size> buf{};
    WireWriter w(buf.data(), buf.size());
    fields(w, rec);
    Q_ASSERT(w.ok());
    out = QByteArray(buf.data(), Size);
}

// Decodes the first Size bytes; shorter input fails and leaves rec as it was.
template <int Size, class Record, class Fields>
bool decodeWith(const QByteArray &in, Record &rec, Fields fields)
{
    if (in.size() < Size)
        return false;
    Record tmp;
    WireReader r(in, static_cast<size_t>(Size));
    fields(r, tmp);
    if (!r.ok())
        return false;
    rec = tmp;
    return true;
}

template <class Record, class Fields>
QString dumpWith(const Record &rec, Fields fields)
{
    DumpWriter d;
    fields(d, rec);
    return d.text();
}

// Dumps go to the trace only while tracing is switched on; the device library
// applies support.ini's Debug/EnableLogFile (1 or 2) to its trace mode, and
// any other value leaves it at 0.
bool traceEnabled();
void traceText(const QString &text);

} // namespace recordfields

#endif
