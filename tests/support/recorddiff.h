#ifndef RECORDDIFF_H
#define RECORDDIFF_H

// Names the fields in which two profile records differ, by record offset.
// Tests state exact diffs ("only 2624 and 2944 changed") with it, so an edit
// that touches one byte too many is caught. Bool arrays and the barcode area
// are split into their elements; text arrays, the image-tool bytes and the
// imprinter block count as one field each; padding bytes are fields too.

#include "scanshortcut.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstring>
#include <vector>

namespace testsupport {

struct RecordField {
    int offset;
    int size;
    QString name;
};

inline std::vector<RecordField> recordFields()
{
    std::vector<RecordField> f;
    auto add = [&f](int off, int size, const QString &name) { f.push_back({off, size, name}); };
#define RF(member) \
    add(int(offsetof(tagSCAN_SHORTCUT_MENU, member)), \
        int(sizeof(static_cast<tagSCAN_SHORTCUT_MENU *>(nullptr)->member)), QStringLiteral(#member))
#define RFA(member, n, elem) \
    for (int i = 0; i < (n); ++i) \
    add(int(offsetof(tagSCAN_SHORTCUT_MENU, member)) + i * (elem), (elem), \
        QStringLiteral(#member "[%1]").arg(i))
    RF(name); RF(id); RF(iconFile); RF(stampGraphicFile); RF(builtInEdited); RF(padding1921);
    RF(inputDocument); RF(paperSource); RF(onlySavePower); RF(padding1933); RF(powerSaver);
    RF(powerOff); RF(powerOffEnabled); RF(onlySaveTimeout); RF(deviceOn); RF(autoStartScanning);
    RF(timeout); RF(timeoutAction); RF(printerIndex); RF(stampCounter);
    RF(diagnosticsEquipment); RF(countOnly); RF(reserved1969); RF(frontX); RF(frontY);
    RF(rearX); RF(rearY); RF(debugLogRecord); RFA(debugSwitches, 3, 1); RF(padding2015);
    RF(debugModel); RF(debugFlatbed); RF(diagnosticsLog); RF(activeFeed); RF(handlingAction);
    RF(documentProtection); RF(paperJamResponse); RF(enhancedSeparation); RF(padding2045);
    RF(sheetHeight); RF(multifeedUddsSensitivity); RF(multifeedLengthEnabled); RF(padding2061);
    RF(multifeedLength); RF(multifeedResponse); RF(multifeedSoundEnabled); RF(padding2077);
    RF(multifeedSoundFile); RF(padding2590); RF(previewMode); RF(previewQuality);
    RF(previewAutoUpdate); RF(sizeUnit);
#undef RF
#undef RFA
    for (int b = 0; b < 4; ++b) {
        const int base = int(offsetof(tagSCAN_SHORTCUT_MENU, sideSettings)) +
                         b * int(sizeof(tagSCAN_SIDE_SETTING));
        const QString pre = QStringLiteral("sideSettings[%1].").arg(b);
#define SF(member) \
    add(base + int(offsetof(tagSCAN_SIDE_SETTING, member)), \
        int(sizeof(static_cast<tagSCAN_SIDE_SETTING *>(nullptr)->member)), pre + QStringLiteral(#member))
#define SFA(member, n, elem) \
    for (int i = 0; i < (n); ++i) \
    add(base + int(offsetof(tagSCAN_SIDE_SETTING, member)) + i * (elem), (elem), \
        pre + QStringLiteral(#member "[%1]").arg(i))
        SF(colorMode); SF(documentType); SF(mediaType); SF(resolution); SF(compressionType);
        SF(jpegQuality); SF(documentCropping); SF(imageCropping); SF(x); SF(y); SF(width);
        SF(height); SF(angle); SF(predefinedSize); SF(border); SF(postScanRotation);
        SFA(characterSets, 5, 1); SF(padding89); SF(brightnessContrastMode);
        SF(colorBalanceMode); SF(brightness); SF(contrast); SF(colorAggressiveness); SF(red);
        SF(green); SF(blue); SF(sharpen); SF(foregroundBoldnessMode); SF(foregroundBoldness);
        SF(backgroundSmoothingMode); SF(backgroundSmoothing); SF(conversionQuality);
        SF(conversionContrast); SF(conversionThreshold); SF(enhance); SF(padding157);
        SF(controller); SF(filterNoise); SF(filterImage); SF(invertColors); SF(holeFill);
        SF(barcodeEnhancement); SF(padding175); SF(edgeFillColor); SF(allSidesMatch);
        SF(padding181); SF(edgeAll); SF(edgeTop); SF(edgeBottom); SF(edgeLeft); SF(edgeRight);
        SF(streakFilter); SF(padding225); SF(streakFilterAggressiveness); SF(colorDropout);
        SF(colorDropoutAggressiveness); SF(blankImageDeletion); SF(contentAmount);
        SF(finalImageSize); SF(barcodeReading); SFA(barcodeTypes, 10, 1); SF(padding263);
        SF(barcodeCount); SF(barcodeOrientation); SF(barcodeSearchArea); SF(padding276);
        SFA(barcodeArea, 4, 8); SF(doubleCurrentOutput); SF(padding316);
#undef SF
#undef SFA
    }
#define RF(member) \
    add(int(offsetof(tagSCAN_SHORTCUT_MENU, member)), \
        int(sizeof(static_cast<tagSCAN_SHORTCUT_MENU *>(nullptr)->member)), QStringLiteral(#member))
    RF(sideStream); RF(colorOutput); RF(grayOutput); RF(blackWhiteOutput); RF(padding3895);
    RF(combineType); RF(saveSize); RF(padding3901); RF(combineSite); RF(combineScaling);
    RF(splitDocumentCount); RF(splitDocumentLengthMode); RF(lengthLeft); RF(lengthRight);
    RF(alignTheSize);
    for (int i = 0; i < 23; ++i)
        add(int(offsetof(tagSCAN_SHORTCUT_MENU, pageSizes)) + i, 1,
            QStringLiteral("pageSizes[%1]").arg(i));
    RF(pageSizeCount); RF(imageToolSettings); RF(stampConfig); RF(reserved4418);
#undef RF
    return f;
}

// Record offsets of the fields that differ, in record order.
inline QList<int> changedOffsets(const tagSCAN_SHORTCUT_MENU &a, const tagSCAN_SHORTCUT_MENU &b)
{
    static const std::vector<RecordField> fields = recordFields();
    const auto *pa = reinterpret_cast<const unsigned char *>(&a);
    const auto *pb = reinterpret_cast<const unsigned char *>(&b);
    QList<int> out;
    for (const RecordField &f : fields)
        if (std::memcmp(pa + f.offset, pb + f.offset, size_t(f.size)) != 0)
            out << f.offset;
    return out;
}

// "2624 sideSettings[0].compressionType, 2944 ..." for failure messages.
inline QString describeChanges(const tagSCAN_SHORTCUT_MENU &a, const tagSCAN_SHORTCUT_MENU &b)
{
    static const std::vector<RecordField> fields = recordFields();
    const QList<int> offs = changedOffsets(a, b);
    QStringList parts;
    for (int off : offs)
        for (const RecordField &f : fields)
            if (f.offset == off)
                parts << QStringLiteral("%1 %2").arg(off).arg(f.name);
    return parts.join(QStringLiteral(", "));
}

// True when the field table covers every byte of the record exactly once.
inline bool recordFieldsCoverRecord()
{
    const std::vector<RecordField> fields = recordFields();
    int next = 0;
    for (const RecordField &f : fields) {
        if (f.offset != next)
            return false;
        next += f.size;
    }
    return next == int(sizeof(tagSCAN_SHORTCUT_MENU));
}

} // namespace testsupport

#endif
