#ifndef GENERATEFILENAME_H
#define GENERATEFILENAME_H

#include "corvanglobal.h"
#include "pagefile.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTime>

#include <functional>

// Splits a run's pages into output groups (at blank pages, at barcode pages,
// or not at all) and decides the full path of every output file before any
// file is written.
class ONEPRESS_EXPORT GenerateFileName : public QObject
{
    Q_OBJECT
public:
    GenerateFileName(QList<tagSCAN_IMAGE_FILE> &pages, QObject *parent = nullptr);

    int setParameters(QString folder, QString prefix, bool saveAs, int fileType, int nameFormat,
                      bool barcodeSplit, bool blankSplit);
    void getStatisticsInfo(int &blankPages, int &barcodes, int &groups) const;
    void getStatisticsInfo(int &pageTotal, int &groups) const;
    // Hands out group `index` and writes its output names into the matching
    // records of the caller's page list (by page file name); the list keeps
    // every page it had.
    bool getImageList(int index, QList<tagSCAN_IMAGE_FILE> &out);
    QString getSavedFileName();
    int groupCount() const { return m_groups.size(); }

    // Clock of every stamp, settable by tests.
    using Clock = std::function<QDateTime()>;
    static void setClock(Clock clock);
    static QDateTime now();

    // A prefix or barcode word as it may stand in a file name: separators and
    // control characters become "_".
    static QString cleanNamePart(const QString &text);
    // Folder probe: whether a file in `folder` is named by the literal
    // `pieces` with anything between them (case-insensitive). Characters of a
    // prefix or barcode never act as wildcards.
    static bool folderHasMatch(const QString &folder, const QStringList &pieces);

private:
    void groupImageFiles(QList<tagSCAN_IMAGE_FILE> &pages);
    void separateBarcodeFiles(const QList<int> &pages, QList<QList<int>> &groups, int &barcodes);
    QString getFirstBarcode(const QList<tagSCAN_IMAGE_FILE> &group) const;
    QString getFileSuffixName(const QList<tagSCAN_IMAGE_FILE> &group, int type, int index) const;
    void createFileName();
    void createDateAndOrderFileName1(bool perGroup);
    void createDateAndTimestampFileName1(bool perGroup);
    void createBarcodeAndOrderFileName1(bool perGroup);
    void createBarcodeAndTimestampFileName1(bool perGroup);
    void createOrderNames(bool perGroup, bool barcode);
    void createTimestampNames(bool perGroup, bool barcode);
    int getOrderIndex(QString folder, QString base, QString suffix, int start) const;
    int getDateAndOrderIndex(QString folder, QString base, QString suffix, int start) const;
    void getDateAndTimestampIndex(QString folder, QString base, QTime &time, QString suffix) const;
    QString barcodeWord(const QList<tagSCAN_IMAGE_FILE> &group) const;
    bool single() const { return m_bSaveAs && m_groups.size() == 1; }

    QList<QList<tagSCAN_IMAGE_FILE>> m_groups;
    QList<QList<int>> m_groupIndexes; // positions of each group's pages in the caller's list
    int m_nFileType = 0;
    int m_nNameFormat = 0;
    bool m_bBarcodeSplit = false;
    bool m_bBlankSplit = false;
    int m_nBlankCount = 0;
    int m_nBarcodeCount = 0;
    int m_nPageTotal = 0;
    QList<tagSCAN_IMAGE_FILE> *m_pPages;
    QDate m_stampDate;
    QTime m_stampTime;
    QString m_strFolder;
    QString m_strPrefix;
    bool m_bSaveAs = false;
};

#endif
