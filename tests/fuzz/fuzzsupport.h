#ifndef FUZZSUPPORT_H
#define FUZZSUPPORT_H

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Shared by the fuzz targets: reading the fuzzer's bytes piece by piece, a
// private home for the files the product writes, and silence (the product
// traces every exchange; formatting the lines is wanted, printing them is
// not).
namespace fuzz {

// Consumes the input front to back. Past the end every read yields 0 and
// empty(), so a harness never needs to check before it reads.
class Stream
{
public:
    Stream(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_pos >= m_size; }
    size_t left() const { return empty() ? 0 : m_size - m_pos; }
    uint8_t u8() { return empty() ? 0 : m_data[m_pos++]; }
    uint16_t u16() { return uint16_t(u8() | u8() << 8); }
    uint32_t u32() { return uint32_t(u16()) | uint32_t(u16()) << 16; }
    QByteArray bytes(size_t n)
    {
        n = n < left() ? n : left();
        QByteArray out(reinterpret_cast<const char *>(m_data + m_pos), int(n));
        m_pos += n;
        return out;
    }
    // A piece with a 16-bit length in front (the rest when fewer bytes are left).
    QByteArray piece() { return bytes(u16()); }
    QByteArray rest() { return bytes(left()); }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// Drops every Qt message; returns nothing.
void silence();

// Points HOME, XDG_CONFIG_HOME and TMPDIR at a fresh private directory (made
// once per process) and returns it.
QString privateHome();

// Stops the run with a message: a broken invariant is a finding like a crash.
[[noreturn]] void fail(const char *what);

} // namespace fuzz

#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition))                                                              \
            ::fuzz::fail(#condition " (" __FILE__ ":" FUZZ_STRINGIFY(__LINE__) ")"); \
    } while (0)
#define FUZZ_STRINGIFY(x) FUZZ_STRINGIFY2(x)
#define FUZZ_STRINGIFY2(x) #x

#endif
