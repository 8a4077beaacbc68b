// The launcher's files as they may be found on disk: destination.ini and the
// task folders (command.ini and the raw device.cfg). Both stores load what
// they find, save and load again; every task must come out with offered
// values and a bare icon name, and a reload must give the same lists.
//
// Input: records of a type byte and a 16-bit length, then the bytes:
//   0 destination.ini; 1 a task's command.ini, 2 a task's device.cfg (the
//   slot is the next byte modulo 20; a device.cfg record starts with an
//   offset and lays its bytes over a built-in profile, so that most files
//   have the record's size).
#include "fuzzsupport.h"
#include "onepressglobal.h"
#include "outputoptions.h"
#include "scandestination.h"
#include "scanshortcutmenu.h"
#include "taskshortcut.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>

namespace {

QByteArray g_builtIn;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzz::privateHome();
    static QApplication app(*argc, *argv);
    g_ConfigFile.loadConfigFile(QCoreApplication::applicationDirPath());
    ScanShortcutMenu store;
    store.loadDefaultScanShortcut();
    tagSCAN_SHORTCUT_MENU p;
    store.getScanShortcutItem(0, p);
    g_builtIn = scanShortcutToBytes(p);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silence();
    const QString settings = g_ConfigFile.m_strSettingsDir;
    QDir(settings).removeRecursively();
    QDir().mkpath(settings);
    fuzz::Stream input(data, size);
    while (!input.empty()) {
        const uint8_t type = input.u8() % 3;
        if (type == 0) {
            writeFile(ScanDestination::iniPath(), input.piece());
            continue;
        }
        const QString folder = settings + "/" + TaskShortcut::slotIds().at(input.u8() % 20);
        if (type == 1) {
            writeFile(folder + "/command.ini", input.piece());
        } else {
            QByteArray file = g_builtIn;
            const int at = input.u16() % kScanShortcutSize;
            const QByteArray over = input.piece();
            file.replace(at, qMin(over.size(), kScanShortcutSize - at), over.left(kScanShortcutSize - at));
            writeFile(folder + "/device.cfg", file);
        }
    }

    ScanShortcutMenu profiles;
    profiles.loadDefaultScanShortcut();
    TaskShortcut tasks;
    tasks.loadTaskList(&profiles);
    FUZZ_CHECK(tasks.count() == TaskShortcut::kSlotCount);
    for (int i = 0; i < tasks.count(); ++i) {
        tagTASK_SHORTCUT t;
        FUZZ_CHECK(tasks.enumTaskShortcut(i, t));
        FUZZ_CHECK(t.TaskID == TaskShortcut::slotIds().at(i));
        FUZZ_CHECK(ScanFileType::isListed(t.FileTypeID));
        FUZZ_CHECK(FileNameFormat::isListed(t.FileNameFormat));
        FUZZ_CHECK(ScalePrintPage::isListed(t.ScalePrintPage));
        FUZZ_CHECK(t.Icon.isEmpty() || TaskShortcut::isBareFileName(t.Icon));
    }
    QComboBox box;
    tasks.loadTaskListToControl(&box, 20);
    FUZZ_CHECK(box.count() >= 1 && box.count() <= 20);

    ScanDestination dest;
    dest.loadScanDestination();
    FUZZ_CHECK(dest.count() >= 4);
    const int users = dest.count() - 4;
    QComboBox destBox;
    dest.loadScanDestinationToControl(&destBox);
    while (dest.count() > 4)
        FUZZ_CHECK(dest.deleteScanDestination(dest.count() - 1));
    FUZZ_CHECK(!dest.deleteScanDestination(0));
    // Save and reload what was read: the same number of user entries.
    ScanDestination first;
    first.loadScanDestination();
    if (first.saveScanDestination()) {
        ScanDestination again;
        again.loadScanDestination();
        FUZZ_CHECK(again.count() - 4 == users);
        for (int i = 4; i < again.count(); ++i) {
            tagSCAN_DESTINATION a, b;
            first.entry(i, a);
            again.entry(i, b);
            FUZZ_CHECK(a.Name == b.Name && a.Port == b.Port && a.MailSize == b.MailSize);
            FUZZ_CHECK(a.Password == b.Password);
        }
    }
    if (tasks.saveTaskList()) {
        TaskShortcut again;
        again.loadTaskList(&profiles);
        for (int i = 0; i < again.count(); ++i) {
            tagTASK_SHORTCUT a, b;
            tasks.enumTaskShortcut(i, a);
            again.enumTaskShortcut(i, b);
            FUZZ_CHECK(a.Name == b.Name && a.FileTypeID == b.FileTypeID &&
                       a.FolderPath == b.FolderPath && a.EnableCommand == b.EnableCommand);
        }
    }
    return 0;
}
