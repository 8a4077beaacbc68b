#include "taskshortcut.h"

#include "filehelper.h"
#include "onepressglobal.h"
#include "outputoptions.h"
#include "scandestination.h"
#include "scanshortcutmenu.h"

#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>
#include <QStandardPaths>

namespace {

const char kCommandIni[] = "command.ini";
const char kDeviceCfg[] = "device.cfg";

const char kColourProfile[] = "{95cebce6-4d82-49dc-bad8-199f76ebb592}";
const char kGreyProfile[] = "{a28ec109-2830-494e-b349-77fb7e1b1148}";
const char kBlackWhiteProfile[] = "{a28ec109-2829-494e-b349-77fb7e1b1148}";
const char kPhotoProfile[] = "{9bcfbc7a-2bd6-4b69-a9d0-fb292fe99a02}";

struct DefaultTask
{
    bool enable;
    const char *name;
    const char *icon;
    int destination; // 0 none, else the built-in kind
    ScanFileTypeFlag fileType;
    bool editBeforeSave;
    const char *profile;
    bool showSettings;
};

// Slots 0 to 9; slots 10 to 19 are the disabled entry at the end.
const DefaultTask kDefaults[] = {
    {true, QT_TRANSLATE_NOOP("QObject", "彩色 PDF"), "Color-PDF.png", 2, FileTypePdf, false,
     kColourProfile, false},
    {true, QT_TRANSLATE_NOOP("QObject", "黑白 PDF (灰阶)"), "Gray-PDF.png", 2, FileTypePdf, false,
     kGreyProfile, false},
    {true, QT_TRANSLATE_NOOP("QObject", "单色 PDF (黑色)"), "BW-PDF.png", 2, FileTypePdf, false,
     kBlackWhiteProfile, false},
    {true, QT_TRANSLATE_NOOP("QObject", "彩色照片 JPEG"), "Color-JPEG.png", 1, FileTypeJpegTiff,
     false, kPhotoProfile, false},
    {true, QT_TRANSLATE_NOOP("QObject", "黑白 OFD (灰阶)"), "Gray-OFD.png", 1, FileTypeOfd, false,
     kGreyProfile, false},
    {true, QT_TRANSLATE_NOOP("QObject", "黑白单页 TIFF (灰阶)"), "Gray-TIFF.png", 1,
     FileTypeJpegTiff, false, kGreyProfile, false},
    {true, QT_TRANSLATE_NOOP("QObject", "黑白多页 TIFF (灰阶)"), "Gray-MultiPage-TIFF.png", 1,
     FileTypeMultiPageTiff, false, kGreyProfile, false},
    {true, QT_TRANSLATE_NOOP("QObject", "邮件黑白 PDF (灰阶)"), "Email-Gray-PDF.png", 4,
     FileTypePdf, false, kGreyProfile, false},
    {true, QT_TRANSLATE_NOOP("QObject", "自定义彩色 PDF"), "Custom-Color-PDF.png", 2, FileTypePdf,
     true, kColourProfile, true},
    {true, QT_TRANSLATE_NOOP("QObject", "自定义彩色文件"), "Custom-Color-JPEG.png", 2,
     FileTypeJpegTiff, false, kPhotoProfile, true},
    {false, "", "Color-PDF.png", 0, FileTypePdf, false, kColourProfile, false},
};

QString builtInDestination(int kind)
{
    switch (kind) {
    case 1:
        return ScanDestination::kFileId;
    case 2:
        return ScanDestination::kApplicationId;
    case 3:
        return ScanDestination::kPrinterId;
    case 4:
        return ScanDestination::kEmailId;
    default:
        return QString();
    }
}

const DefaultTask &defaultFor(int slot)
{
    return kDefaults[slot < 10 ? slot : 10];
}

QString settingsDir()
{
    return g_ConfigFile.m_strSettingsDir;
}

} // namespace

const QStringList &TaskShortcut::slotIds()
{
    static const QStringList ids = {
        "{0daebe58-592b-4e8b-8e23-4a28d298fd42}", "{217002b6-9343-420d-a473-8b349f16f9c4}",
        "{2b1b0446-ff78-4f2e-934e-0c1eb0b8655d}", "{2d2e279a-00ba-4688-8db3-ebe0662248d6}",
        "{35f91ac5-456f-4b53-8cc2-9d1312a17ebb}", "{37f7fcc9-b922-4c6b-87dc-901700930f94}",
        "{3997109a-ba93-4e89-b448-466df3b99b05}", "{62b12c71-ab01-4044-9bb7-2b0e3bb921b4}",
        "{7922035e-dac2-460b-bdff-0c4b16525f01}", "{97d5a549-3e4e-4d2c-b6da-3adf3e8dd3d1}",
        "{986615ee-eebb-4a7b-80d9-3dffd7ddbbde}", "{9e38ae96-a661-42ea-a9ed-dc3e15b79821}",
        "{a104e50e-fd36-46d8-8f2c-c080bbfc044f}", "{a241007c-82eb-49cb-af02-2f7edf2ba069}",
        "{a7f01527-209c-4d89-8920-604b29c7571d}", "{bb4222cf-69ee-4344-bf3d-c041ae659605}",
        "{bdfdefb2-07d2-4be2-a8f2-6218453b1f9d}", "{cdac4e03-bb75-4ed1-b565-92fc8fc3e7b3}",
        "{e33e3e23-3c9a-46e1-ab92-ba292493c396}", "{f5b1da25-3805-4d02-ad0f-5edf248a7f00}",
    };
    return ids;
}

QString TaskShortcut::newTaskMarkerId()
{
    return QStringLiteral("{f694f849-1e20-47b7-996b-09e9a6ff8c8e}");
}

QString TaskShortcut::defaultOutputFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/" +
           "Deskscope/VR516/Output";
}

bool TaskShortcut::isBareFileName(const QString &name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\\') && !name.contains(QChar(0));
}

TaskShortcut::TaskShortcut(QObject *parent) : QObject(parent) {}

void TaskShortcut::initialVariant()
{
    m_list.clear();
}

void TaskShortcut::loadTaskList(ScanShortcutMenu *profiles)
{
    m_pProfiles = profiles;
    m_list.clear();
    const QString dir = settingsDir();
    QList<int> replaced;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const QString id = slotIds().at(slot);
        tagTASK_SHORTCUT task;
        switch (readTask(dir, id, task)) {
        case ReadResult::Ok:
            break;
        case ReadResult::NoCommand:
            qDebug() << "TaskShortcut: slot" << slot << "has no readable command.ini; default task";
            task = defaultTask(slot);
            replaced << slot;
            break;
        case ReadResult::NoProfile:
            qDebug() << "TaskShortcut: slot" << slot
                     << "has no usable device.cfg; default profile kept with its settings";
            task.ScanProfile = defaultTask(slot).ScanProfile;
            replaced << slot;
            break;
        }
        m_list.append(task);
    }
    for (int slot : replaced)
        if (!saveTaskList(dir, m_list[slot]))
            qDebug() << "TaskShortcut: slot" << slot << "could not be written";
}

bool TaskShortcut::loadUserTaskList(QString dir)
{
    tagTASK_SHORTCUT task;
    for (const QString &id : slotIds()) {
        if (!loadUserTaskList(dir, id, task))
            return false;
        m_list.append(task);
    }
    return true;
}

bool TaskShortcut::loadUserTaskList(QString dir, QString id, tagTASK_SHORTCUT &task)
{
    return readTask(dir, id, task) == ReadResult::Ok;
}

TaskShortcut::ReadResult TaskShortcut::readTask(const QString &dir, const QString &id,
                                                tagTASK_SHORTCUT &task)
{
    const QString folder = dir + "/" + id;
    const QString commandIni = folder + "/" + kCommandIni;
    const QFileInfo info(commandIni);
    if (!info.isFile() || !info.isReadable())
        return ReadResult::NoCommand;
    QSettings ini(commandIni, QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    if (ini.status() != QSettings::NoError)
        return ReadResult::NoCommand;

    const tagTASK_SHORTCUT d; // read defaults
    auto str = [&ini](const char *key) { return ini.value(key, QString()).toString(); };
    auto flag = [&ini](const char *key) { return ini.value(key, false).toBool(); };
    auto num = [&ini](const char *key, int def) { return ini.value(key, def).toInt(); };

    task.TaskID = id;
    task.Name = str("General/Name");
    task.EnableCommand = flag("General/EnableCommand");
    task.Icon = str("General/Icon");
    if (!task.Icon.isEmpty() && !isBareFileName(task.Icon)) {
        qDebug() << "TaskShortcut: icon of" << id << "is not a bare file name; ignored";
        task.Icon.clear();
    }
    task.ScanDestinationID = str("Application/ScanDestinationID");
    // A value no list offers reads as the key's default, so no later step meets it.
    auto listed = [&](const char *key, auto def, bool (*isListed)(int)) {
        const int value = num(key, def);
        if (isListed(value))
            return static_cast<decltype(def)>(value);
        qDebug() << "TaskShortcut:" << key << value << "of" << id << "not offered; read as" << def;
        return def;
    };
    task.FileTypeID = listed("Destination/FileTypeID", d.FileTypeID, &ScanFileType::isListed);
    task.FileNameFormat =
        listed("Destination/FileNameFormat", d.FileNameFormat, &FileNameFormat::isListed);
    task.FolderPath = str("Destination/FolderPath");
    task.FileNamePrefix = str("Destination/FileNamePrefix");
    task.BeforeSaveFileSettingFileName = flag("Destination/BeforeSaveFileSettingFileName");
    task.AfterSendFileDeleteFile = flag("Destination/AfterSendFileDeleteFile");

    task.PrinterName = str("Print/PrinterName");
    task.BeforePrintingDisplaySetings = flag("Print/BeforePrintingDisplaySetings");
    task.ScalePrintPage =
        listed("Print/ScalePrintPage", d.ScalePrintPage, &ScalePrintPage::isListed);
    task.CenterPrint = flag("Print/CenterPrint");
    task.PageSize = num("Print/PageSize", d.PageSize);
    task.CollateCopies = flag("Print/CollateCopies");
    task.ColorMode = num("Print/ColorMode", d.ColorMode);
    task.CopyCount = num("Print/CopyCount", d.CopyCount);
    task.Creator = str("Print/Creator");
    task.DocName = str("Print/DocName");
    task.DoubleSidedPrinting = flag("Print/DoubleSidedPrinting");
    task.Duplex = num("Print/Duplex", d.Duplex);
    task.FontEmbeddingEnabled = flag("Print/FontEmbeddingEnabled");
    task.FullPage = flag("Print/FullPage");
    task.Orientation = num("Print/Orientation", d.Orientation);
    task.OutputFileName = str("Print/OutputFileName");
    task.OutputFormat = num("Print/OutputFormat", d.OutputFormat);
    task.PageOrder = num("Print/PageOrder", d.PageOrder);
    task.PaperSize = num("Print/PaperSize", d.PaperSize);
    task.PaperSource = num("Print/PaperSource", d.PaperSource);
    task.PrintProgram = str("Print/PrintProgram");
    task.PrintRange = num("Print/PrintRange", d.PrintRange);

    task.BeforeSaveEditImage = flag("Scanning/BeforeSaveEditImage");
    task.ADFEmptyWaiting = flag("Scanning/ADFEmptyWaiting");
    task.AddKeywordToDoc = flag("Scanning/AddKeywordToDoc");
    task.BlankPageSeparate = flag("Separation/BlankPageSeparate");
    task.BlankPageThreshold = num("Separation/BlankPageThreshold", d.BlankPageThreshold);
    task.BarcodeSeparate = flag("Barcode/BarcodeSeparate");
    task.AddWatermark = flag("Watermark/AddWatermark");
    task.watermark.Watermark = str("Watermark/Watermark");
    task.watermark.IncludeSystemDate = flag("Watermark/IncludeSystemDate");
    task.watermark.FontName = ini.value("Watermark/FontName", d.watermark.FontName).toString();
    task.watermark.FontSize = num("Watermark/FontSize", d.watermark.FontSize);
    task.watermark.IncludePageNumber = flag("Watermark/IncludePageNumber");
    task.watermark.IncludeDateTime = flag("Watermark/IncludeDateTime");
    task.BeforeScanDisplaySetting = flag("Setting/BeforeScanDisplaySetting");

    QFile cfg(folder + "/" + kDeviceCfg);
    if (!cfg.open(QIODevice::ReadOnly))
        return ReadResult::NoProfile;
    // One byte more than a record is enough to tell a longer file.
    const QByteArray bytes = cfg.read(kScanShortcutSize + 1);
    if (!scanShortcutFromBytes(bytes, task.ScanProfile))
        return ReadResult::NoProfile;
    return ReadResult::Ok;
}

bool TaskShortcut::saveTaskList()
{
    bool ok = true;
    const QString dir = settingsDir();
    for (tagTASK_SHORTCUT &task : m_list)
        ok = saveTaskList(dir, task) && ok;
    return ok;
}

bool TaskShortcut::saveTaskList(QString dir, tagTASK_SHORTCUT &task)
{
    const QString folder = dir + "/" + task.TaskID;
    if (task.TaskID.isEmpty() || !QDir().mkpath(folder)) {
        qDebug() << "TaskShortcut: cannot make the task folder" << folder;
        return false;
    }
    // Each file is replaced whole: a failed write (a full disk) leaves the
    // task as it was on the disk, never a cut file that the next start would
    // have to throw away.
    bool ok = FileHelper::replaceIni(folder + "/" + kCommandIni, [&](QSettings &ini) {
        ini.setValue("General/Name", task.Name);
        ini.setValue("General/EnableCommand", task.EnableCommand);
        ini.setValue("General/Icon", task.Icon);
        ini.setValue("Application/ScanDestinationID", task.ScanDestinationID);
        ini.setValue("Destination/FileTypeID", static_cast<int>(task.FileTypeID));
        ini.setValue("Destination/FileNameFormat", static_cast<int>(task.FileNameFormat));
        ini.setValue("Destination/FolderPath", task.FolderPath);
        ini.setValue("Destination/FileNamePrefix", task.FileNamePrefix);
        ini.setValue("Destination/BeforeSaveFileSettingFileName", task.BeforeSaveFileSettingFileName);
        ini.setValue("Destination/AfterSendFileDeleteFile", task.AfterSendFileDeleteFile);
        ini.setValue("Print/PrinterName", task.PrinterName);
        ini.setValue("Print/BeforePrintingDisplaySetings", task.BeforePrintingDisplaySetings);
        ini.setValue("Print/ScalePrintPage", static_cast<int>(task.ScalePrintPage));
        ini.setValue("Print/CenterPrint", task.CenterPrint);
        ini.setValue("Print/PageSize", task.PageSize);
        ini.setValue("Print/CollateCopies", task.CollateCopies);
        ini.setValue("Print/ColorMode", task.ColorMode);
        ini.setValue("Print/CopyCount", task.CopyCount);
        ini.setValue("Print/Creator", task.Creator);
        ini.setValue("Print/DocName", task.DocName);
        ini.setValue("Print/DoubleSidedPrinting", task.DoubleSidedPrinting);
        ini.setValue("Print/Duplex", task.Duplex);
        ini.setValue("Print/FontEmbeddingEnabled", task.FontEmbeddingEnabled);
        ini.setValue("Print/FullPage", task.FullPage);
        ini.setValue("Print/Orientation", task.Orientation);
        ini.setValue("Print/OutputFileName", task.OutputFileName);
        ini.setValue("Print/OutputFormat", task.OutputFormat);
        ini.setValue("Print/PageOrder", task.PageOrder);
        ini.setValue("Print/PaperSize", task.PaperSize);
        ini.setValue("Print/PaperSource", task.PaperSource);
        ini.setValue("Print/PrintProgram", task.PrintProgram);
        ini.setValue("Print/PrintRange", task.PrintRange);
        ini.setValue("Scanning/BeforeSaveEditImage", task.BeforeSaveEditImage);
        ini.setValue("Scanning/ADFEmptyWaiting", task.ADFEmptyWaiting);
        ini.setValue("Scanning/AddKeywordToDoc", task.AddKeywordToDoc);
        ini.setValue("Separation/BlankPageSeparate", task.BlankPageSeparate);
        ini.setValue("Separation/BlankPageThreshold", task.BlankPageThreshold);
        ini.setValue("Barcode/BarcodeSeparate", task.BarcodeSeparate);
        ini.setValue("Watermark/AddWatermark", task.AddWatermark);
        ini.setValue("Watermark/Watermark", task.watermark.Watermark);
        ini.setValue("Watermark/IncludeSystemDate", task.watermark.IncludeSystemDate);
        ini.setValue("Watermark/FontName", task.watermark.FontName);
        ini.setValue("Watermark/FontSize", task.watermark.FontSize);
        ini.setValue("Watermark/IncludePageNumber", task.watermark.IncludePageNumber);
        ini.setValue("Watermark/IncludeDateTime", task.watermark.IncludeDateTime);
        ini.setValue("Setting/BeforeScanDisplaySetting", task.BeforeScanDisplaySetting);
    });
    if (!ok)
        qDebug() << "TaskShortcut: command.ini of" << task.TaskID << "not written";

    // A task whose profile has no id keeps whatever device.cfg it had.
    if (!scanText(task.ScanProfile.id).isEmpty() &&
        !FileHelper::replaceFile(folder + "/" + kDeviceCfg, scanShortcutToBytes(task.ScanProfile))) {
        qDebug() << "TaskShortcut: device.cfg of" << task.TaskID << "not written";
        ok = false;
    }
    return ok;
}

tagTASK_SHORTCUT TaskShortcut::defaultTask(int slot)
{
    const DefaultTask &d = defaultFor(slot);
    tagTASK_SHORTCUT task;
    createNewTaskShortcut(task, slotIds().at(slot), d.enable, QObject::tr(d.name), d.icon,
                          builtInDestination(d.destination), d.fileType, FileNameDateSequence,
                          defaultOutputFolder(), true, false, d.editBeforeSave, d.profile,
                          d.showSettings);
    QDir().mkpath(defaultOutputFolder());
    return task;
}

void TaskShortcut::loadDefaultTaskList()
{
    QDir().mkpath(defaultOutputFolder());
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const DefaultTask &d = defaultFor(slot);
        loadDefaultTaskList(slotIds().at(slot), d.enable, QObject::tr(d.name), d.icon,
                            builtInDestination(d.destination), d.fileType, FileNameDateSequence,
                            defaultOutputFolder(), true, false, d.editBeforeSave, d.profile,
                            d.showSettings);
    }
}

void TaskShortcut::loadDefaultTaskList(QString id, bool enable, QString name, QString icon,
                                       QString destId, ScanFileTypeFlag fileType,
                                       FileNameFormatFlag nameFormat, QString folder,
                                       bool askFileName, bool deleteAfterMail, bool editBeforeSave,
                                       QString profileId, bool showSettings)
{
    tagTASK_SHORTCUT task; // all zero: default members and a zeroed profile
    createNewTaskShortcut(task, id, enable, name, icon, destId, fileType, nameFormat, folder,
                          askFileName, deleteAfterMail, editBeforeSave, profileId, showSettings);
    m_list.append(task);
}

void TaskShortcut::createNewTaskShortcut(tagTASK_SHORTCUT &task, QString id, bool enable,
                                         QString name, QString icon, QString destId,
                                         ScanFileTypeFlag fileType, FileNameFormatFlag nameFormat,
                                         QString folder, bool askFileName, bool deleteAfterMail,
                                         bool editBeforeSave, QString profileId, bool showSettings)
{
    // Everything but the profile starts from the new-task values; the
    // profile is replaced only when the store has the one asked for.
    const tagSCAN_SHORTCUT_MENU profile = task.ScanProfile;
    task = tagTASK_SHORTCUT();
    task.ScanProfile = profile;
    task.EnableCommand = enable;
    task.TaskID = id;
    task.Name = name;
    task.Icon = icon;
    task.ScanDestinationID = destId;
    task.FileTypeID = fileType;
    task.FileNameFormat = nameFormat;
    task.FolderPath = folder;
    task.BeforeSaveFileSettingFileName = askFileName;
    task.AfterSendFileDeleteFile = deleteAfterMail;
    task.CenterPrint = true;
    task.BeforeSaveEditImage = editBeforeSave;
    task.BeforeScanDisplaySetting = showSettings;
    if (!profileId.isEmpty() && m_pProfiles)
        m_pProfiles->findScanShortcut(task.ScanProfile, profileId);
}

bool TaskShortcut::createNewTaskShortcut(QString name, QString icon)
{
    for (int i = 0; i < m_list.size(); ++i) {
        tagTASK_SHORTCUT &task = m_list[i];
        if (task.EnableCommand)
            continue;
        createNewTaskShortcut(task, task.TaskID, true, name, icon, ScanDestination::kApplicationId,
                              FileTypeSearchablePdf, FileNameDateSequence, defaultOutputFolder(),
                              true, false, false, QString(), false);
        m_nCurrentIndex = i;
        break;
    }
    return true;
}

int TaskShortcut::getCurrentTaskIndex()
{
    return m_nCurrentIndex;
}

void TaskShortcut::setCurrentTaskIndex(int index)
{
    if (index >= 0 && index < m_list.size())
        m_nCurrentIndex = index;
}

bool TaskShortcut::getCurrentTaskShortcut(tagTASK_SHORTCUT &task)
{
    enumTaskShortcut(m_nCurrentIndex, task);
    return true;
}

bool TaskShortcut::setCurrentTaskShortcut(tagTASK_SHORTCUT &task)
{
    if (m_nCurrentIndex >= 0 && m_nCurrentIndex < m_list.size())
        m_list[m_nCurrentIndex] = task;
    return true;
}

bool TaskShortcut::enumTaskShortcut(int index, tagTASK_SHORTCUT &task)
{
    if (index < 0 || index >= m_list.size())
        return false;
    task = m_list.at(index);
    return true;
}

bool TaskShortcut::copyTaskShortcut(tagTASK_SHORTCUT &task, int index)
{
    return enumTaskShortcut(index, task);
}

bool TaskShortcut::enumTaskShortcut(QString id, tagTASK_SHORTCUT &task)
{
    for (const tagTASK_SHORTCUT &t : qAsConst(m_list))
        if (t.TaskID == id) {
            task = t;
            return true;
        }
    return false;
}

bool TaskShortcut::setTaskShortcut(QString id, tagTASK_SHORTCUT &task)
{
    for (tagTASK_SHORTCUT &t : m_list)
        if (t.TaskID == id) {
            t = task;
            return true;
        }
    return false;
}

bool TaskShortcut::loadTaskListToControl(QComboBox *box, int limit)
{
    int n = 0;
    for (const tagTASK_SHORTCUT &t : qAsConst(m_list)) {
        if (n >= limit || t.Name.isEmpty())
            break;
        box->addItem(QIcon(), QString("%1. %2").arg(n + 1).arg(t.Name), t.TaskID);
        ++n;
    }
    if (n < limit)
        box->addItem(QIcon(), QObject::tr("<新建...>"), newTaskMarkerId());
    return true;
}

bool TaskShortcut::updateTaskListToControl(QComboBox *box)
{
    int marker = -1;
    for (int i = 0; i < box->count(); ++i)
        if (isCreateNewTaskShortcut(box, i)) {
            marker = i;
            break;
        }
    if (marker < 0 || marker > 18 || marker >= m_list.size())
        return true;
    const tagTASK_SHORTCUT &t = m_list.at(marker);
    if (t.EnableCommand)
        box->insertItem(marker, QIcon(), QString("%1. %2").arg(marker + 1).arg(t.Name), t.TaskID);
    return true;
}

bool TaskShortcut::renameTaskShortcutName(QComboBox *box)
{
    if (m_nCurrentIndex < 0 || m_nCurrentIndex >= m_list.size() || m_nCurrentIndex >= box->count())
        return true;
    box->setItemText(
        m_nCurrentIndex,
        QString("%1. %2").arg(m_nCurrentIndex + 1).arg(m_list.at(m_nCurrentIndex).Name));
    return true;
}

bool TaskShortcut::isCreateNewTaskShortcut(QComboBox *box, int index)
{
    if (!box || index < 0 || index >= box->count())
        return false;
    return box->itemData(index).toString() == newTaskMarkerId();
}
