// The user's files as they may be found on disk: profile.ini, the raw
// 4456-byte profile files, scannedlog.ini and scanlog.txt. The profile store
// loads them, each loaded profile is turned into the device records a scan
// would send, the store is saved and loaded again, and one job is logged.
//
// Input: records of a type byte and a 16-bit length, then the bytes:
//   0 profile.ini;
//   1 a profile file (the next of eight ids): a mode byte, then either the
//     file's bytes as they stand (mode odd) or a 16-bit offset and bytes laid
//     over a built-in profile (mode even), so that most files have the
//     record's size and get past the size check;
//   2 scannedlog.ini; 3 scanlog.txt.
#include "configfile.h"
#include "fuzzsupport.h"
#include "pagefilewriter.h"
#include "parsercommand.h"
#include "records.h"
#include "scannerconfig.h"
#include "scanpaperlog.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kIds = 8;

QString profileId(int n)
{
    return QStringLiteral("{6b1f0000-0000-4000-8000-00000000000%1}").arg(n);
}

struct Setup
{
    ConfigFile config;
    QList<QByteArray> builtIns;

    Setup()
    {
        fuzz::privateHome();
        config.loadConfigFile(QCoreApplication::applicationDirPath());
        ScanShortcutMenu store;
        store.loadDefaultScanShortcut();
        for (int i = 0; i < store.getScanShortcutCount(); ++i) {
            tagSCAN_SHORTCUT_MENU p;
            store.getScanShortcutItem(i, p);
            builtIns.append(QByteArray(reinterpret_cast<const char *>(&p), kScanShortcutSize));
        }
    }
};

Setup *g_setup = nullptr;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void clearProfiles()
{
    QDir dir(g_setup->config.m_strProfilesDir);
    for (const QFileInfo &f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(f.absoluteFilePath());
}

// What a scan of the profile would make of it.
void translate(const tagSCAN_SHORTCUT_MENU &profile)
{
    ParserCommand parser;
    tagINQUIRY inquiry;
    tagSCANNER_CONFIGRATION config;
    parser.mergeConfig(config, &profile, &inquiry);
    parser.mergeCameras(&profile);
    parser.mergeWindows(&profile, inquiry);
    tagLOW_POWER_MODE_TIMEOUT power;
    parser.mergeLowPowerOffTimeOutConfig(power, &profile);
    PageFileWriter::rulesFrom(profile);
    ScanPaperLog::settingsFrom(nullptr, &profile);
}

QStringList storedIds(ScanShortcutMenu &store)
{
    QStringList ids;
    for (int i = 0; i < store.getScanShortcutCount(); ++i) {
        tagSCAN_SHORTCUT_MENU p;
        FUZZ_CHECK(store.getScanShortcutItem(i, p));
        ids << scanText(p.id);
    }
    return ids;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    g_setup = new Setup;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silence();
    const ConfigFile &config = g_setup->config;
    clearProfiles();
    fuzz::Stream input(data, size);
    int nextId = 0;
    while (!input.empty()) {
        const uint8_t type = input.u8() % 4;
        if (type == 1) {
            const uint8_t mode = input.u8();
            QByteArray file;
            if (mode & 1) {
                file = input.piece();
            } else {
                file = g_setup->builtIns.value((mode >> 1) % g_setup->builtIns.size());
                const int at = input.u16() % kScanShortcutSize;
                const QByteArray over = input.piece();
                file.replace(at, qMin(over.size(), kScanShortcutSize - at), over.left(kScanShortcutSize - at));
            }
            writeFile(config.m_strProfilesDir + "/" + profileId(nextId++ % kIds), file);
            continue;
        }
        const QByteArray bytes = input.piece();
        writeFile(type == 0 ? config.m_strProfileIni
                  : type == 2 ? config.m_strScannedLogIni
                              : config.m_strScanLogFile,
                  bytes);
    }

    // The store loads what it can and keeps what it loaded through a save.
    ScanShortcutMenu store;
    store.loadScanShortcut(&g_setup->config);
    FUZZ_CHECK(store.getScanShortcutCount() > 0);
    const QStringList ids = storedIds(store);
    for (int i = 0; i < store.getScanShortcutCount(); ++i) {
        tagSCAN_SHORTCUT_MENU p;
        store.getScanShortcutItem(i, p);
        translate(p);
    }
    // Profile files that could not be loaded: a save must not delete them.
    QStringList unread;
    for (int n = 0; n < kIds; ++n) {
        if (QFileInfo::exists(config.m_strProfilesDir + "/" + profileId(n)) && !ids.contains(profileId(n)))
            unread << profileId(n);
    }
    if (store.saveScanShortcut()) {
        ScanShortcutMenu again;
        again.loadScanShortcut(&g_setup->config);
        FUZZ_CHECK(storedIds(again) == ids);
    }
    for (const QString &id : unread)
        FUZZ_CHECK(QFileInfo::exists(config.m_strProfilesDir + "/" + id));

    // The log only grows: a job's record is added after what was there.
    const QByteArray before = readFile(config.m_strScanLogFile);
    ScanPaperLog log;
    log.setScannerModelName(QStringLiteral("VR516"));
    ScanLogSettings settings;
    if (log.setLog(settings, 0, 1, config.m_strScannedLogIni, config.m_strScanLogFile,
                   config.m_strProfilesDir)) {
        const QByteArray after = readFile(config.m_strScanLogFile);
        if (log.jobCounter() <= ScanPaperLog::MaxJobsPerLog)
            FUZZ_CHECK(after.startsWith(before));
        FUZZ_CHECK(after.endsWith(log.recordText().toUtf8()));
    }
    return 0;
}
