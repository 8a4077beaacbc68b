#include "generatefilename.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

GenerateFileName::Clock &clockHook()
{
    static GenerateFileName::Clock clock;
    return clock;
}

QString hhmmss(const QDateTime &t)
{
    return t.time().toString(QStringLiteral("hhmmss"));
}

QString fourDigits(int k)
{
    return QStringLiteral("%1").arg(k, 4, 10, QLatin1Char('0'));
}

bool perGroupType(int type)
{
    return type == 1 || type == 2 || type == 6 || type == 12 || type == 13;
}

bool perPageType(int type)
{
    return type == 7 || type == 8 || type == 9 || type == 10 || type == 11;
}

} // namespace

GenerateFileName::GenerateFileName(QList<tagSCAN_IMAGE_FILE> &pages, QObject *parent)
    : QObject(parent), m_pPages(&pages)
{
}

void GenerateFileName::setClock(Clock clock)
{
    clockHook() = std::move(clock);
}

QDateTime GenerateFileName::now()
{
    const Clock &clock = clockHook();
    return clock ? clock() : QDateTime::currentDateTime();
}

QString GenerateFileName::cleanNamePart(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 ||
            c.unicode() == 0x7f)
            c = QLatin1Char('_');
    }
    return out;
}

bool GenerateFileName::folderHasMatch(const QString &folder, const QStringList &pieces)
{
    QStringList escaped;
    for (const QString &part : pieces)
        escaped << QRegularExpression::escape(part);
    const QRegularExpression re(
        QRegularExpression::anchoredPattern(escaped.join(QStringLiteral(".*"))),
        QRegularExpression::CaseInsensitiveOption);
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (re.match(name).hasMatch())
            return true;
    }
    return false;
}

int GenerateFileName::setParameters(QString folder, QString prefix, bool saveAs, int fileType,
                                    int nameFormat, bool barcodeSplit, bool blankSplit)
{
    m_strFolder = folder;
    m_strPrefix = cleanNamePart(prefix);
    m_bSaveAs = saveAs;
    m_nFileType = fileType;
    m_nNameFormat = nameFormat;
    m_bBarcodeSplit = barcodeSplit;
    m_bBlankSplit = blankSplit;
    m_nBlankCount = m_nBarcodeCount = m_nPageTotal = 0;
    const QDateTime stamp = now();
    m_stampDate = stamp.date();
    m_stampTime = stamp.time();
    m_groups.clear();
    m_groupIndexes.clear();
    groupImageFiles(*m_pPages);
    createFileName();
    return 0;
}

void GenerateFileName::getStatisticsInfo(int &blankPages, int &barcodes, int &groups) const
{
    blankPages = m_nBlankCount;
    barcodes = m_nBarcodeCount;
    groups = m_groups.size();
}

void GenerateFileName::getStatisticsInfo(int &pageTotal, int &groups) const
{
    pageTotal = m_nPageTotal;
    groups = m_groups.size();
}

bool GenerateFileName::getImageList(int index, QList<tagSCAN_IMAGE_FILE> &out)
{
    if (index < 0 || index >= m_groups.size())
        return false;
    out = m_groups.at(index);
    const QList<int> &indexes = m_groupIndexes.at(index);
    for (int i = 0; i < indexes.size(); ++i) {
        if (indexes.at(i) < m_pPages->size())
            (*m_pPages)[indexes.at(i)].outputFileName = out.at(i).outputFileName;
    }
    return true;
}

void GenerateFileName::groupImageFiles(QList<tagSCAN_IMAGE_FILE> &pages)
{
    m_nBlankCount = m_nBarcodeCount = m_nPageTotal = 0;
    m_groupIndexes.clear();
    QList<int> all;
    for (int i = 0; i < pages.size(); ++i)
        all << i;
    QList<QList<int>> blankGroups;
    if (m_bBlankSplit) {
        QList<int> current;
        for (int i : qAsConst(all)) {
            if (pages.at(i).blank) {
                ++m_nBlankCount;
                if (!current.isEmpty())
                    blankGroups.append(current);
                current.clear();
            } else {
                current.append(i);
            }
        }
        if (!current.isEmpty())
            blankGroups.append(current);
        if (blankGroups.isEmpty())
            return;
    }
    if (m_bBarcodeSplit) {
        if (m_bBlankSplit) {
            for (const QList<int> &group : qAsConst(blankGroups))
                separateBarcodeFiles(group, m_groupIndexes, m_nBarcodeCount);
        } else {
            separateBarcodeFiles(all, m_groupIndexes, m_nBarcodeCount);
        }
    }
    if (m_groupIndexes.isEmpty()) {
        if (!blankGroups.isEmpty())
            m_groupIndexes = blankGroups;
        else if (!all.isEmpty())
            m_groupIndexes.append(all);
    }
    for (const QList<int> &indexes : qAsConst(m_groupIndexes)) {
        QList<tagSCAN_IMAGE_FILE> group;
        for (int i : indexes)
            group.append(pages.at(i));
        m_groups.append(group);
        m_nPageTotal += group.size();
    }
}

void GenerateFileName::separateBarcodeFiles(const QList<int> &pages, QList<QList<int>> &groups,
                                            int &barcodes)
{
    QList<int> current;
    for (int i : pages) {
        if (!m_pPages->at(i).barcode.isEmpty()) {
            ++barcodes;
            if (!current.isEmpty())
                groups.append(current);
            current.clear();
        }
        current.append(i);
    }
    if (!current.isEmpty())
        groups.append(current);
}

QString GenerateFileName::getFirstBarcode(const QList<tagSCAN_IMAGE_FILE> &group) const
{
    for (const tagSCAN_IMAGE_FILE &page : group) {
        if (!page.barcode.isEmpty())
            return page.barcode;
    }
    return QString();
}

QString GenerateFileName::barcodeWord(const QList<tagSCAN_IMAGE_FILE> &group) const
{
    const QString word = getFirstBarcode(group);
    return word.isEmpty() ? m_stampDate.toString(QStringLiteral("yyyy-MM-dd"))
                          : cleanNamePart(word);
}

QString GenerateFileName::getFileSuffixName(const QList<tagSCAN_IMAGE_FILE> &group, int type,
                                            int index) const
{
    switch (type) {
    case 1:
    case 2:
    case 9:
    case 10:
        return QStringLiteral("pdf");
    case 6:
        return QStringLiteral("tif");
    case 8:
        return QStringLiteral("png");
    case 11:
        return QStringLiteral("bmp");
    case 12:
        return QStringLiteral("ofd");
    case 13:
        return QStringLiteral("txt");
    case 7: {
        const int i = index < 0 ? 0 : index;
        if (i >= group.size())
            return QStringLiteral("tif");
        const QString &name = group.at(i).fileName;
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        const QString suffix = dot < 0 ? QString() : name.mid(dot + 1);
        return suffix == QLatin1String("jpg") ? QStringLiteral("jpg") : QStringLiteral("tif");
    }
    default:
        return QString();
    }
}

void GenerateFileName::createFileName()
{
    for (QList<tagSCAN_IMAGE_FILE> &group : m_groups) {
        for (tagSCAN_IMAGE_FILE &page : group)
            page.outputFileName.clear();
    }
    bool perGroup;
    if (perGroupType(m_nFileType))
        perGroup = true;
    else if (perPageType(m_nFileType))
        perGroup = false;
    else
        return;
    switch (m_nNameFormat) {
    case 1:
        createDateAndOrderFileName1(perGroup);
        break;
    case 2:
        createDateAndTimestampFileName1(perGroup);
        break;
    case 3:
        createBarcodeAndOrderFileName1(perGroup);
        break;
    case 4:
        createBarcodeAndTimestampFileName1(perGroup);
        break;
    default:
        break;
    }
}

void GenerateFileName::createDateAndOrderFileName1(bool perGroup)
{
    createOrderNames(perGroup, false);
}
void GenerateFileName::createBarcodeAndOrderFileName1(bool perGroup)
{
    createOrderNames(perGroup, true);
}
void GenerateFileName::createDateAndTimestampFileName1(bool perGroup)
{
    createTimestampNames(perGroup, false);
}
void GenerateFileName::createBarcodeAndTimestampFileName1(bool perGroup)
{
    createTimestampNames(perGroup, true);
}

void GenerateFileName::createOrderNames(bool perGroup, bool barcode)
{
    const QString date = m_stampDate.toString(QStringLiteral("yyyy-MM-dd"));
    int n = 1;
    for (QList<tagSCAN_IMAGE_FILE> &group : m_groups) {
        QString base;
        if (m_bSaveAs)
            base = m_strPrefix;
        else
            base = QStringLiteral("%1%2").arg(m_strPrefix, barcode ? barcodeWord(group) : date);
        const QString suffix = getFileSuffixName(group, m_nFileType, 0);
        if (perGroup) {
            if (single()) {
                group[0].outputFileName = QStringLiteral("%1/%2.%3").arg(m_strFolder, base, suffix);
            } else {
                n = getDateAndOrderIndex(m_strFolder, base, suffix, n);
                group[0].outputFileName = QStringLiteral("%1/%2 (%3).%4")
                                              .arg(m_strFolder, base, QString::number(n), suffix);
                ++n;
            }
            continue;
        }
        n = getDateAndOrderIndex(m_strFolder, base, suffix, n);
        int k = 1;
        for (int i = 0; i < group.size(); ++i) {
            const QString pageSuffix = getFileSuffixName(group, m_nFileType, i);
            if (single()) {
                k = getOrderIndex(m_strFolder, base, pageSuffix, k);
                group[i].outputFileName =
                    QStringLiteral("%1/%2 %3.%4").arg(m_strFolder, base, fourDigits(k), pageSuffix);
            } else {
                group[i].outputFileName =
                    QStringLiteral("%1/%2 (%3) %4.%5")
                        .arg(m_strFolder, base, QString::number(n), fourDigits(k), pageSuffix);
            }
            ++k;
        }
        ++n;
    }
}

void GenerateFileName::createTimestampNames(bool perGroup, bool barcode)
{
    const QString date = m_stampDate.toString(QStringLiteral("yyyy-MM-dd"));
    QDateTime t = now();
    t.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    bool first = true;
    for (QList<tagSCAN_IMAGE_FILE> &group : m_groups) {
        if (!first) {
            QDateTime current = now();
            current.setTime(
                QTime(current.time().hour(), current.time().minute(), current.time().second()));
            t = current > t ? current : t.addSecs(1);
        }
        first = false;
        const QString suffix = getFileSuffixName(group, m_nFileType, 0);
        const bool timeInName = !(barcode && m_bSaveAs) && !(!barcode && perGroup && single());
        // Earlier runs may have used this second already (a clock set back,
        // the autumn hour repeated): move on until every name is free.
        for (int tries = 0; tries < 86400; ++tries) {
            QString base;
            if (barcode)
                base = m_bSaveAs ? m_strPrefix
                                 : QStringLiteral("%1%2T%3").arg(m_strPrefix, barcodeWord(group),
                                                                 hhmmss(t));
            else
                base = m_bSaveAs ? QStringLiteral("%1T%2").arg(m_strPrefix, hhmmss(t))
                                 : QStringLiteral("%1%2T%3").arg(m_strPrefix, date, hhmmss(t));
            bool taken = false;
            if (perGroup) {
                if (!barcode && single())
                    base = m_strPrefix;
                group[0].outputFileName = QStringLiteral("%1/%2.%3").arg(m_strFolder, base, suffix);
                taken = QFileInfo::exists(group[0].outputFileName);
            } else {
                for (int i = 0; i < group.size(); ++i) {
                    group[i].outputFileName = QStringLiteral("%1/%2 %3.%4")
                                                  .arg(m_strFolder, base, fourDigits(i + 1),
                                                       getFileSuffixName(group, m_nFileType, i));
                    taken = taken || QFileInfo::exists(group[i].outputFileName);
                }
            }
            if (!taken || !timeInName)
                break;
            t = t.addSecs(1);
        }
    }
}

int GenerateFileName::getOrderIndex(QString folder, QString base, QString suffix, int start) const
{
    int n = start;
    while (folderHasMatch(folder, {QStringLiteral("%1 %2.%3").arg(base, fourDigits(n), suffix)}))
        ++n;
    return n;
}

int GenerateFileName::getDateAndOrderIndex(QString folder, QString base, QString suffix,
                                           int start) const
{
    int n = start;
    while (folderHasMatch(folder, {QStringLiteral("%1 (%2)").arg(base, QString::number(n)),
                                   QStringLiteral(".") + suffix}))
        ++n;
    return n;
}

void GenerateFileName::getDateAndTimestampIndex(QString folder, QString base, QTime &time,
                                                QString suffix) const
{
    for (int tries = 0; tries < 86400; ++tries) {
        if (!folderHasMatch(folder,
                            {base + QLatin1Char('T') + time.toString(QStringLiteral("hhmmss")),
                             QStringLiteral(".") + suffix}))
            return;
        time = time.addSecs(1);
    }
}

QString GenerateFileName::getSavedFileName()
{
    if (m_groups.isEmpty())
        return QString();
    const QList<tagSCAN_IMAGE_FILE> &group = m_groups.first();
    const QString suffix = getFileSuffixName(group, m_nFileType, -1);
    const QString date = m_stampDate.toString(QStringLiteral("yyyy-MM-dd"));
    QTime time = m_stampTime;
    switch (m_nNameFormat) {
    case 1: {
        const int n = getDateAndOrderIndex(m_strFolder, m_strPrefix + date, suffix, 1);
        return QStringLiteral("%1/%2%3 (%4).%5")
            .arg(m_strFolder, m_strPrefix, date, QString::number(n), suffix);
    }
    case 2:
        getDateAndTimestampIndex(m_strFolder, date, time, suffix);
        return QStringLiteral("%1/%2%3T%4.%5")
            .arg(m_strFolder, m_strPrefix, date, time.toString(QStringLiteral("hhmmss")), suffix);
    case 3: {
        const QString word = barcodeWord(group);
        const int n = getDateAndOrderIndex(m_strFolder, m_strPrefix + word, suffix, 1);
        return QStringLiteral("%1/%2%3 (%4).%5")
            .arg(m_strFolder, m_strPrefix, word, QString::number(n), suffix);
    }
    case 4: {
        const QString word = barcodeWord(group);
        getDateAndTimestampIndex(m_strFolder, word, time, suffix);
        return QStringLiteral("%1/%2%3T%4.%5")
            .arg(m_strFolder, m_strPrefix, word, time.toString(QStringLiteral("hhmmss")), suffix);
    }
    default:
        return QString();
    }
}
