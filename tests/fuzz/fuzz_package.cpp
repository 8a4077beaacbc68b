// The console's settings package (".wqv") as an import reads it: any bytes
// are either refused whole or decode to contents whose every name is safe to
// join to a folder and whose every record has the profile's size; accepted
// contents compose back into a package that decodes to the same contents.
//
// Input: a mode byte, then
//   0: the package's bytes as they stand (magic, checksum, length, stream);
//   1: a JSON text, wrapped into a package with a right checksum and length,
//      so that the fuzzer reaches the document's rules without forging zlib
//      streams and checksums.
#include "fuzzsupport.h"
#include "scanshortcut.h"
#include "settingspackage.h"

#include <QtEndian>

using namespace settingspackage;

namespace {

QByteArray wrapped(const QByteArray &json)
{
    QByteArray package("CORVAN\0\0", 8);
    package += qCompress(json, -1);
    const quint16 crc = checksum(package.mid(8));
    package[6] = char(crc & 0xFF);
    package[7] = char(crc >> 8);
    return package;
}

void checkAccepted(const Contents &contents)
{
    for (const Profile &p : contents.profiles) {
        FUZZ_CHECK(isSafeConfigName(p.configName));
        FUZZ_CHECK(!p.configName.contains('/') && p.configName != "..");
        FUZZ_CHECK(p.iconName.isEmpty() || isBareFileName(p.iconName));
        FUZZ_CHECK(p.config.size() == kScanShortcutSize);
    }
    for (const Stamp &s : contents.stamps)
        FUZZ_CHECK(isBareFileName(s.name));
}

} // namespace

// Whole allocation stacks, so that the leak suppression for Qt's JSON parser
// (it leaks on a repeated object key) can see the parser's frame.
extern "C" const char *__asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::silence();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::Stream in(data, size);
    const uint8_t mode = in.u8();
    const QByteArray rest = in.rest();
    const QByteArray package = mode & 1 ? wrapped(rest) : rest;

    Contents contents;
    const int rc = parse(package, contents);
    FUZZ_CHECK(rc == 0 || rc == -52);
    if (rc != 0) {
        FUZZ_CHECK(contents.profiles.isEmpty() && contents.stamps.isEmpty());
        return 0;
    }
    checkAccepted(contents);
    // What was accepted goes out and comes back unchanged.
    Contents again;
    FUZZ_CHECK(parse(compose(document(contents)), again) == 0);
    FUZZ_CHECK(again.profiles == contents.profiles);
    FUZZ_CHECK(again.stamps == contents.stamps);
    return 0;
}
