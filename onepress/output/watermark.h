#ifndef WATERMARK_H
#define WATERMARK_H

#include "corvanglobal.h"

#include <QObject>
#include <QString>

class QImage;
class QPainter;

// Paints a tiled diagonal text watermark and small top-right and
// bottom-right texts onto a page image before it is saved. Works on a QImage
// so it can run on the output worker's thread.
class ONEPRESS_EXPORT Watermark : public QObject
{
    Q_OBJECT
public:
    explicit Watermark(QObject *parent = nullptr);

    static void setWatermark(QImage &page, QString topRight, QString bottomRight, QString first,
                             QString second, QString family, int size);
    static void drawPageHeaderFooter(QPainter &painter, int width, int height, QString topRight,
                                     QString bottomRight);
    // Returns the number of rows drawn.
    static int drawWatermark(QPainter &painter, int width, int height, QString first,
                             QString second, QString family, int size);
    static double getRowSpace(int size);
};

#endif
