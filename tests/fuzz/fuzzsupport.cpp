#include "fuzzsupport.h"

#include <QDir>
#include <QtGlobal>

#include <cstdio>
#include <unistd.h>

namespace fuzz {

namespace {
void dropMessage(QtMsgType, const QMessageLogContext &, const QString &) {}
} // namespace

void silence()
{
    // CORVAN_FUZZ_TRACE keeps the product's trace on stderr when a finding
    // is replayed by hand.
    qInstallMessageHandler(qEnvironmentVariableIsSet("CORVAN_FUZZ_TRACE") ? nullptr : dropMessage);
}

QString privateHome()
{
    static const QString home = [] {
        QByteArray tmpl = QDir::tempPath().toLocal8Bit() + "/corvan-fuzz-XXXXXX";
        const char *dir = mkdtemp(tmpl.data());
        if (!dir)
            fail("cannot make a private home");
        const QString path = QString::fromLocal8Bit(dir);
        QDir().mkpath(path + "/config");
        QDir().mkpath(path + "/tmp");
        qputenv("HOME", path.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (path + "/config").toLocal8Bit());
        qputenv("TMPDIR", (path + "/tmp").toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return path;
    }();
    return home;
}

void fail(const char *what)
{
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

} // namespace fuzz
