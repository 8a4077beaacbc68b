#ifndef RECORDTEXT_H
#define RECORDTEXT_H

#include <array>
#include <cstddef>

#include <QByteArray>
#include <QChar>
#include <QString>

// Fixed-width text fields of the device records, in host form.
//
// The whole field is kept, including whatever follows the terminating NUL, so
// a record read from the scanner and written back unchanged reaches it byte
// for byte. A text shorter than the field ends with a NUL; a text that fills
// the field has none, and text() stops at the field's end.

// UTF-16 field of Units code units (2 x Units bytes, big-endian on the wire).
template <int Units>
struct Utf16Text
{
    static_assert(Units > 0, "empty text field");
    static constexpr int kUnits = Units;
    static constexpr int kBytes = 2 * Units;

    std::array<char16_t, Units> units{};

    QString text() const
    {
        int n = 0;
        while (n < Units && units[static_cast<size_t>(n)] != 0)
            ++n;
        // Copied unit by unit: QString::fromUtf16 would eat a leading byte-order mark.
        return QString(reinterpret_cast<const QChar *>(units.data()), n);
    }

    // Stores the text NUL-padded. A longer text is cut to the field, never
    // between the two halves of a surrogate pair. False when it was cut.
    bool setText(const QString &s)
    {
        units.fill(0);
        int n = s.size() < Units ? s.size() : Units;
        if (n < s.size() && n > 0 && s.at(n - 1).isHighSurrogate())
            --n;
        for (int i = 0; i < n; ++i)
            units[static_cast<size_t>(i)] = s.at(i).unicode();
        return n == s.size();
    }

    bool operator==(const Utf16Text &other) const { return units == other.units; }
    bool operator!=(const Utf16Text &other) const { return units != other.units; }
};

// Single-byte (Latin-1) text field of Bytes bytes.
template <int Bytes>
struct Latin1Text
{
    static_assert(Bytes > 0, "empty text field");
    static constexpr int kBytes = Bytes;

    std::array<char, Bytes> bytes{};

    QString text() const
    {
        int n = 0;
        while (n < Bytes && bytes[static_cast<size_t>(n)] != 0)
            ++n;
        return QString::fromLatin1(bytes.data(), n);
    }

    // Stores the text NUL-padded. False when the text was cut to the field or
    // held characters that Latin-1 cannot carry (stored as '?').
    bool setText(const QString &s)
    {
        bytes.fill(0);
        const QByteArray latin = s.toLatin1();
        const int n = latin.size() < Bytes ? latin.size() : Bytes;
        for (int i = 0; i < n; ++i)
            bytes[static_cast<size_t>(i)] = latin.at(i);
        return n == latin.size() && QString::fromLatin1(latin) == s;
    }

    bool operator==(const Latin1Text &other) const { return bytes == other.bytes; }
    bool operator!=(const Latin1Text &other) const { return bytes != other.bytes; }
};

#endif
