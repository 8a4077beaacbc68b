#ifndef BYTES_H
#define BYTES_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <QByteArray>

// Bounds-checked reading and writing of big- and little-endian fields over a
// byte span. Every device record codec goes through these, so no codec
// indexes a raw buffer by hand. A read or write past the end sets ok() to
// false and leaves the span untouched (reads yield 0).
class ByteReader
{
public:
    ByteReader(const void *data, size_t size)
        : m_data(static_cast<const uint8_t *>(data)), m_size(size) {}
    explicit ByteReader(const QByteArray &bytes)
        : ByteReader(bytes.constData(), static_cast<size_t>(bytes.size())) {}

    bool ok() const { return m_ok; }
    size_t size() const { return m_size; }

    uint8_t u8(size_t off) { return has(off, 1) ? m_data[off] : 0; }
    uint16_t be16(size_t off) { return static_cast<uint16_t>(be(off, 2)); }
    uint32_t be32(size_t off) { return static_cast<uint32_t>(be(off, 4)); }
    uint64_t be64(size_t off) { return be(off, 8); }
    uint16_t le16(size_t off) { return static_cast<uint16_t>(le(off, 2)); }
    uint32_t le32(size_t off) { return static_cast<uint32_t>(le(off, 4)); }
    // Copies len bytes; out of range copies nothing and clears ok().
    bool copy(size_t off, void *out, size_t len)
    {
        if (!has(off, len))
            return false;
        if (len)
            std::memcpy(out, m_data + off, len);
        return true;
    }
    QByteArray bytes(size_t off, size_t len)
    {
        if (!has(off, len))
            return QByteArray();
        return QByteArray(reinterpret_cast<const char *>(m_data + off), static_cast<int>(len));
    }

private:
    bool has(size_t off, size_t len)
    {
        if (off > m_size || len > m_size - off) {
            m_ok = false;
            return false;
        }
        return true;
    }
    uint64_t be(size_t off, size_t len)
    {
        if (!has(off, len))
            return 0;
        uint64_t v = 0;
        for (size_t i = 0; i < len; ++i)
            v = (v << 8) | m_data[off + i];
        return v;
    }
    uint64_t le(size_t off, size_t len)
    {
        if (!has(off, len))
            return 0;
        uint64_t v = 0;
        for (size_t i = len; i-- > 0;)
            v = (v << 8) | m_data[off + i];
        return v;
    }

    const uint8_t *m_data;
    size_t m_size;
    bool m_ok = true;
};

class ByteWriter
{
public:
    ByteWriter(void *data, size_t size) : m_data(static_cast<uint8_t *>(data)), m_size(size) {}
    explicit ByteWriter(QByteArray &bytes)
        : ByteWriter(bytes.data(), static_cast<size_t>(bytes.size())) {}

    bool ok() const { return m_ok; }

    void u8(size_t off, uint8_t v) { put(off, v, 1, true); }
    void be16(size_t off, uint16_t v) { put(off, v, 2, true); }
    void be32(size_t off, uint32_t v) { put(off, v, 4, true); }
    void be64(size_t off, uint64_t v) { put(off, v, 8, true); }
    void le16(size_t off, uint16_t v) { put(off, v, 2, false); }
    void le32(size_t off, uint32_t v) { put(off, v, 4, false); }
    void copy(size_t off, const void *src, size_t len)
    {
        if (!has(off, len))
            return;
        if (len)
            std::memcpy(m_data + off, src, len);
    }
    void fill(size_t off, uint8_t value, size_t len)
    {
        if (!has(off, len))
            return;
        std::memset(m_data + off, value, len);
    }

private:
    bool has(size_t off, size_t len)
    {
        if (off > m_size || len > m_size - off) {
            m_ok = false;
            return false;
        }
        return true;
    }
    void put(size_t off, uint64_t v, size_t len, bool bigEndian)
    {
        if (!has(off, len))
            return;
        for (size_t i = 0; i < len; ++i) {
            const size_t shift = 8 * (bigEndian ? len - 1 - i : i);
            m_data[off + i] = static_cast<uint8_t>(v >> shift);
        }
    }

    uint8_t *m_data;
    size_t m_size;
    bool m_ok = true;
};

#endif
