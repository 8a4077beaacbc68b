#ifndef PAGEFILEWRITER_H
#define PAGEFILEWRITER_H

#include "pagefile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class PMessage;
class ProcessImage;
class ScanPaperLog;
struct tagSCAN_SHORTCUT_MENU;
struct tagREQUEST_HEADER;

// The profile settings that decide what becomes of a written page.
struct PageRules
{
    bool countOnly = false;        // placeholder pages instead of images
    int sideStream = 0;            // OxAdvancedSettingSideFlag
    int multifeedResponse = 0;     // MultifeedResponseFlag
    int combineType = 0;           // CombineTypeFlag
    bool removeBackground = false; // colour mode 2 with colour dropout 128 in block 0
};

// Turns the pages of one scan job into files in the temporary directory and
// gives them out: to the hub's scanFileName, to the job's merge group, or to
// the pages held back while a multifed sheet waits for the user's answer. A
// page is given out only once its file is final. A page whose data is unusable
// is dropped with a trace line; a page the file system refuses (no temporary
// directory, a full disk) is never given out either, and fileFailure() then
// tells the job to stop. Runs on the job's thread.
class PageFileWriter
{
public:
    PageFileWriter();

    void setTempDirectory(const QString &directory) { m_tempDir = directory; }
    QString tempDirectory() const { return m_tempDir; }
    // Receives the size of every page saved; may be null.
    void setPaperLog(ScanPaperLog *log) { m_paperLog = log; }

    // Held pages and the group's barcodes of an earlier job are dropped.
    void startJob(PMessage *hub, tagSCAN_SHORTCUT_MENU *profile, const PageRules &rules);

    // Writes one page by the header's compression mode (0 bitmap, 1 TIFF
    // Group 4, 2 JPEG); false when nothing was written.
    bool saveImage(const PageHeader &header, const QByteArray &data, const QStringList &barcodes,
                   ProcessImage &group);
    bool saveBitmapImage(const PageHeader &header, const QByteArray &data,
                         const QStringList &barcodes, ProcessImage &group);
    bool saveJpegImage(const PageHeader &header, const QByteArray &data,
                       const QStringList &barcodes, ProcessImage &group);
    bool TIFFMadeByGroup4(const PageHeader &header, const QByteArray &data,
                          const QStringList &barcodes, ProcessImage &group);

    // Gives a written page out, or adds it to the merge group (its barcodes
    // with it) and gives the merged sheet out once the group is full.
    void multipleToOne(const PageHeader &header, const QStringList &barcodes, ProcessImage &group,
                       const QString &file, int width, int height);
    // Writes a grey copy of a colour page file and returns its name, empty
    // when none was made. The copy is not given out here: it waits until its
    // colour page has gone its way.
    QString convertColorToGray_K(const PageHeader &header, const QString &colourFile);
    // Holds a page of a multifed sheet. A page on its own road (a grey copy,
    // a count-only placeholder) never joins a merge group.
    void saveSannedFiles(QString file, signed char side, const QStringList &barcodes, int width,
                         int height, int resolution, int colorType, bool ownRoad = false);
    // Merges whatever the group holds into one sheet named after the last
    // page's type and gives it out with the group's barcodes (end of a job,
    // answered multifed sheet). False when no sheet was given out; a group
    // that cannot be merged is then given out page by page.
    bool giveOutMergedGroup(ProcessImage &group);

    // A page of a multifed sheet waits for the user's answer unless the
    // profile lets such sheets go on (responses 0 and 2).
    bool holdsPage(const PageHeader &header) const;

    QList<tagSCAN_IMAGE_FILE> heldPages() const;
    QStringList heldFileNames() const;
    // The held pages of an accepted sheet go their way in order: into the
    // merge group (grey copies excepted, which go out on their own), or out
    // one by one with their first barcode.
    void acceptHeldPages(ProcessImage &group);
    // Deletes the files of the held pages and forgets them.
    void discardHeldPages();
    // Forgets the held pages without touching their files.
    void forgetHeldPages() { m_heldPages.clear(); }

    // RC_FILE_CREATE_FAILED once a page, grey copy or merged sheet could not
    // be named or written since startJob; 0 otherwise.
    int fileFailure() const { return m_fileFailure; }
    QStringList &groupBarcodes() { return m_groupBarcodes; }
    const PageHeader &lastHeader() const { return m_lastHeader; }

    // The header fields a writer needs, from a decoded device header.
    static PageHeader headerFrom(const tagREQUEST_HEADER &header);
    // The page rules of a profile.
    static PageRules rulesFrom(const tagSCAN_SHORTCUT_MENU &profile);

private:
    bool savePage(SaveFileTypeFlag type, const PageHeader &header, const QByteArray &data,
                  const QStringList &barcodes, ProcessImage &group);
    void giveOut(const QString &file, int side, const QStringList &barcodes, int width,
                 int height, int resolution, int colorType);
    void giveOutOrHold(const PageHeader &header, const QString &file, const QStringList &barcodes,
                       int width, int height, int resolution, bool ownRoad);
    bool makesGreyCopy(SaveFileTypeFlag type, const PageHeader &header) const;
    void noteFileFailure(const char *what, const QString &file);
    void giveOutPageByPage(ProcessImage &group);

    struct HeldPage
    {
        tagSCAN_IMAGE_FILE page;
        QStringList barcodes; // all of them, for the merge group
        bool ownRoad = false; // grey copy or placeholder: never merged
    };

    QString m_tempDir;
    ScanPaperLog *m_paperLog;
    PMessage *m_hub;
    tagSCAN_SHORTCUT_MENU *m_profile;
    PageRules m_rules;
    PageHeader m_lastHeader;
    QStringList m_groupBarcodes;
    QList<HeldPage> m_heldPages;
    int m_fileFailure = 0;
};

#endif
