#ifndef PROCESSIMAGE_H
#define PROCESSIMAGE_H

#include "pagefile.h"
#include "scanflags.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QImage;

// Background grey of one image row during background removal.
struct tagTColorInfo
{
    unsigned char colour = 255; // the row's background grey, 255 = none found
    int count = 0; // pixels near that grey, or the row's pure white pixels
};

// Post-processing of page files: N-up merge of a group of pages into one
// sheet, and removal of a near-uniform background.
class ProcessImage : public QObject
{
    Q_OBJECT
public:
    explicit ProcessImage(QObject *parent = nullptr);

    void setParameters(bool saveSize, CombineScalingFlag scaling, CombineTypeFlag type);
    int getFileListCount() const;
    // Pages a full group holds for a combine type: 2, 4 or 9; 0 when the
    // type does not merge.
    static int groupSize(int combineType);
    const QList<tagSCAN_IMAGE_FILE> &imageFiles() const { return m_listImageFile; }

    void addImageFile(QString file, signed char side, QStringList barcodes, int width, int height,
                      int resolution, int colourMode);
    void removeImages();
    // Hands the collected pages over without touching their files.
    QList<tagSCAN_IMAGE_FILE> takeImages();

    // Merges the collected pages into `output`, then deletes them. False
    // when nothing was written (a page that does not load, a sheet that
    // cannot be built or written, a type that cannot merge); the pages then
    // stay collected and on disk.
    bool MergeBmpFile(QString output);
    int mergeWidth() const { return m_nMergeWidth; }
    int mergeHeight() const { return m_nMergeHeight; }

    // In place on a 24- or 32-bit image file; false for other images and
    // when the cleaned image could not be saved (the file is then untouched).
    bool RemoveBackGround(QString file);
    // On a pixel buffer whose first three bytes of a pixel are blue, green
    // and red; always true.
    bool RemoveBackGround(unsigned char *bits, int bytesPerLine, int width, int height,
                          int bytesPerPixel);

private:
    struct Grid
    {
        int rows = 0;
        int columns = 0;
        bool landscape = false;
        int resolution = 200;
    };
    bool gridFor(Grid &grid) const;
    bool mergeActualSize(const Grid &grid, const QString &output);
    bool mergeFixedSheet(const Grid &grid, const QString &output);
    QImage turnedForReference(const QImage &page, bool landscape) const;
    QImage blankCanvas(int width, int height, int resolution);
    bool writeCanvas(const QImage &canvas, const QString &output) const;

    bool m_bSaveSize;
    CombineScalingFlag m_nCombineScaling;
    CombineTypeFlag m_nCombineType;
    int m_nMergeWidth;
    int m_nMergeHeight;
    QList<tagSCAN_IMAGE_FILE> m_listImageFile;
};

#endif
