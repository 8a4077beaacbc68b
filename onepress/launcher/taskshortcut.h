#ifndef TASKSHORTCUT_H
#define TASKSHORTCUT_H

// Button tasks of the launcher: one record per scanner button slot, stored as
// a folder per task (command.ini and the raw profile device.cfg) under the
// settings directory. The output pipeline reads a copy of the record.

#include "scanshortcut.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QComboBox;
class ScanShortcutMenu;

// Output file type. Values 3, 4 and 5 are not offered; any value outside the
// list selects no writer.
enum ScanFileTypeFlag : int {
    FileTypeSearchablePdf = 1,       // searchable PDF, one file per group
    FileTypePdf = 2,                 // PDF, one file per group
    FileTypeMultiPageTiff = 6,       // multi-page TIFF
    FileTypeJpegTiff = 7,            // JPEG or TIFF, one file per page
    FileTypePng = 8,                 // PNG
    FileTypeSearchablePdfSingle = 9, // searchable PDF, one file per page
    FileTypePdfSingle = 10,          // PDF, one file per page
    FileTypeBmp = 11,                // BMP
    FileTypeOfd = 12,                // OFD
    FileTypeTxt = 13,                // text
};

// How output file names are built.
enum FileNameFormatFlag : int {
    FileNameDateSequence = 1,    // date and order number
    FileNameDateTime = 2,        // date and time stamp
    FileNameBarcodeSequence = 3, // barcode and order number
    FileNameBarcodeTime = 4,     // barcode and time stamp
};

// Print scaling of a printer task.
enum ScalePrintPageFlag : int {
    ScalePrintAuto = 1,     // automatic
    ScalePrintFitPaper = 2, // fitted to the paper size
    ScalePrintNone = 3,     // actual size
};

static_assert(sizeof(ScanFileTypeFlag) == 4 && sizeof(FileNameFormatFlag) == 4 &&
                  sizeof(ScalePrintPageFlag) == 4,
              "enum width");

// The watermark of a task (command.ini group "Watermark").
struct tagWATERMARK
{
    QString Watermark;              // watermark text
    bool IncludeSystemDate = false; // the date "yyyy-MM-dd" as a second text
    QString FontName = QStringLiteral("SimSun");
    int FontSize = 22;
    bool IncludePageNumber = false; // page number in the header, three digits
    bool IncludeDateTime = false;   // "yyyy-MM-dd hh:mm:ss" in the footer
};
typedef tagWATERMARK WATERMARK;

// One button task. Fields are named after their command.ini keys; the default
// member values are the keys' read defaults, and the embedded profile starts
// all zero (a record holding QStrings is never memset).
struct tagTASK_SHORTCUT
{
    bool EnableCommand = false;
    QString TaskID; // the slot's fixed braced id, also the folder name
    QString Name;
    QString Icon; // bare file name of the button icon
    QString ScanDestinationID;
    ScanFileTypeFlag FileTypeID = FileTypePdf;
    FileNameFormatFlag FileNameFormat = FileNameDateSequence;
    QString FolderPath;
    QString FileNamePrefix;
    bool BeforeSaveFileSettingFileName = false;
    bool AfterSendFileDeleteFile = false;
    // Printing.
    QString PrinterName;
    bool BeforePrintingDisplaySetings = false; // the key is spelled this way
    ScalePrintPageFlag ScalePrintPage = ScalePrintAuto;
    bool CenterPrint = false;
    // Printer snapshot: QPrinter values as the editor last configured them.
    int PageSize = 0;
    bool CollateCopies = false;
    int ColorMode = 0;
    int CopyCount = 1;
    QString Creator;
    QString DocName;
    bool DoubleSidedPrinting = false;
    int Duplex = 0;
    bool FontEmbeddingEnabled = false;
    bool FullPage = false;
    int Orientation = 0;
    QString OutputFileName;
    int OutputFormat = 0;
    int PageOrder = 0;
    int PaperSize = 0;
    int PaperSource = 6; // QPrinter::Auto
    QString PrintProgram;
    int PrintRange = 0;
    // Scanning.
    bool BeforeSaveEditImage = false;
    bool ADFEmptyWaiting = false;
    bool AddKeywordToDoc = false;
    // Separation.
    bool BlankPageSeparate = false;
    int BlankPageThreshold = 0; // -1 low, 0, 1 high
    bool BarcodeSeparate = false;
    // Watermark.
    bool AddWatermark = false;
    tagWATERMARK watermark;
    // The task's own copy of a scan profile, stored raw as device.cfg; its id
    // names the console profile the task scans with.
    tagSCAN_SHORTCUT_MENU ScanProfile = zeroScanProfile();
    bool BeforeScanDisplaySetting = false;

    static tagSCAN_SHORTCUT_MENU zeroScanProfile()
    {
        tagSCAN_SHORTCUT_MENU p;
        zeroScanShortcut(p);
        return p;
    }
};
typedef tagTASK_SHORTCUT TASK_SHORTCUT;

// The twenty task slots. Slot k is scanner button k + 1.
class TaskShortcut : public QObject
{
public:
    static constexpr int kSlotCount = 20;
    static const QStringList &slotIds();
    static QString newTaskMarkerId();
    // Documents + "/Deskscope/VR516/Output".
    static QString defaultOutputFolder();

    explicit TaskShortcut(QObject *parent = nullptr);

    void initialVariant();
    // Loads every slot; a slot that cannot be read falls back to its own
    // default task, and only such slots are written back.
    void loadTaskList(ScanShortcutMenu *profiles);
    bool loadUserTaskList(QString dir);
    bool loadUserTaskList(QString dir, QString id, tagTASK_SHORTCUT &task);
    // Both saves report whether every file was written.
    bool saveTaskList();
    bool saveTaskList(QString dir, tagTASK_SHORTCUT &task);
    void loadDefaultTaskList();
    void loadDefaultTaskList(QString id, bool enable, QString name, QString icon, QString destId,
                             ScanFileTypeFlag fileType, FileNameFormatFlag nameFormat,
                             QString folder, bool askFileName, bool deleteAfterMail,
                             bool editBeforeSave, QString profileId, bool showSettings);
    void createNewTaskShortcut(tagTASK_SHORTCUT &task, QString id, bool enable, QString name,
                               QString icon, QString destId, ScanFileTypeFlag fileType,
                               FileNameFormatFlag nameFormat, QString folder, bool askFileName,
                               bool deleteAfterMail, bool editBeforeSave, QString profileId,
                               bool showSettings);
    bool createNewTaskShortcut(QString name, QString icon);

    int getCurrentTaskIndex();
    // An index outside the list changes nothing.
    void setCurrentTaskIndex(int index);
    bool getCurrentTaskShortcut(tagTASK_SHORTCUT &task);
    bool setCurrentTaskShortcut(tagTASK_SHORTCUT &task);
    bool enumTaskShortcut(int index, tagTASK_SHORTCUT &task);
    bool copyTaskShortcut(tagTASK_SHORTCUT &task, int index);
    bool enumTaskShortcut(QString id, tagTASK_SHORTCUT &task);
    bool setTaskShortcut(QString id, tagTASK_SHORTCUT &task);
    int count() const { return m_list.size(); }

    bool loadTaskListToControl(QComboBox *box, int limit);
    bool updateTaskListToControl(QComboBox *box);
    bool renameTaskShortcutName(QComboBox *box);
    bool isCreateNewTaskShortcut(QComboBox *box, int index);

    // A task icon is a bare file name; anything else reads as empty.
    static bool isBareFileName(const QString &name);

private:
    enum class ReadResult { Ok, NoCommand, NoProfile };
    ReadResult readTask(const QString &dir, const QString &id, tagTASK_SHORTCUT &task);
    tagTASK_SHORTCUT defaultTask(int slot);

    int m_nCurrentIndex = 0;
    QList<tagTASK_SHORTCUT> m_list;
    ScanShortcutMenu *m_pProfiles = nullptr;
};

#endif // TASKSHORTCUT_H
