// stampconfig.ini as it may be found on disk: the graphics list is read from
// it and written back into it beside the other owners' groups, and must then
// read back exactly as written.
//
// Input: the file's bytes.
#include "fuzzsupport.h"
#include "stampconfigfile.h"

#include <QSaveFile>

namespace {

QString g_path;

void writeFile(const QByteArray &bytes)
{
    QSaveFile f(g_path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    FUZZ_CHECK(f.commit());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::silence();
    g_path = fuzz::privateHome() + "/stampconfig.ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    writeFile(input);
    QStringList list = stampconfigfile::readGraphics(g_path);
    for (const QString &name : list)
        FUZZ_CHECK(!name.isEmpty());
    list << QStringLiteral("/stamp/new, \"quoted\";=[x].png");

    FUZZ_CHECK(stampconfigfile::writeGraphics(g_path, list));
    // Whatever the other owners' lines hold, the list reads back as written.
    FUZZ_CHECK(stampconfigfile::readGraphics(g_path) == list);
    return 0;
}
