#ifndef CHECKBLANKPAGE_H
#define CHECKBLANKPAGE_H

#include "corvanglobal.h"
#include "pagefile.h"

#include <QObject>
#include <QVector>

#include <atomic>

class QImage;
class QRect;

// Decides whether a scanned page is blank from its image file alone, by the
// number of turns in a histogram of its dark tones.
class ONEPRESS_EXPORT CheckBlankPage : public QObject
{
    Q_OBJECT
public:
    explicit CheckBlankPage(QObject *parent = nullptr);

    // Sensitivity -1..1 (other values count as 0); a higher one lets more
    // pages count as blank. A page that cannot be loaded is not blank.
    static bool checkImageBlankPage(tagSCAN_IMAGE_FILE &page, int sensitivity);
    // One mark a page, in order; pages with a barcode are not blank. Stops
    // (the rest unmarked) once `stop` is set.
    static QVector<bool> markBlankPages(const QList<tagSCAN_IMAGE_FILE> &pages, int sensitivity,
                                        const std::atomic<bool> *stop = nullptr);
    // The 16 x 16 reduction of a 1-bit page (of `area` of it): each block's
    // count of 0 bits, at most 255.
    static bool bwToGray(const QImage &source, QImage &target);
    static bool bwToGray(const QImage &source, const QRect &area, QImage &target);
    static bool IsBlankPageForBW(const QImage &grey, int sensitivity);
    static bool IsBlankPageForColorGray(const QImage &image, int sensitivity);
};

#endif
