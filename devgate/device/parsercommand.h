#ifndef PARSERCOMMAND_H
#define PARSERCOMMAND_H

// Translation of a scan profile into the device records sent before a scan:
// the scanner configuration, one camera per side, one window per output
// stream, the power-saving delays and the imprinter record with its font
// block. Pure: profile in, host-form records out; the record codecs write
// the device byte order.

#include "records.h"
#include "scannerconfig.h"
#include "smallrecords.h"
#include "stamprecord.h"

#include "scanflags.h"

#include <QByteArray>
#include <QObject>
#include <QVector>

struct tagSCAN_SHORTCUT_MENU;
struct tagSCAN_SIDE_SETTING;
struct tagSTAMP_CONFIG;

// Magnification corrections, each a factor multiplied by 10000 (10000 = 1.0).
struct tagMAGNIFICATION
{
    double frontX = 10000.0;
    double frontY = 10000.0;
    double rearX = 10000.0;
    double rearY = 10000.0;
};

class ParserCommand : public QObject
{
    Q_OBJECT
public:
    explicit ParserCommand(QObject *parent = nullptr);

    // Builds a complete configuration from the profile. False (traced) when
    // the profile is missing or a magnification does not fit the device's
    // 16-bit field; the record must not be sent then. The inquiry is unused.
    bool mergeConfig(tagSCANNER_CONFIGRATION &config, const tagSCAN_SHORTCUT_MENU *profile,
                     const tagINQUIRY *inquiry = nullptr);
    // Kept for callers that pair it with getConfig/setConfig: the records
    // hold host values and their codec writes device order, so there is no
    // byte order to change here. Traces and returns 0.
    int convertConfig(tagSCANNER_CONFIGRATION &config);
    // The camera of one side (0 front, 1 back; 3 acts as the front).
    bool mergeCreateCamera(tagCREATE_CAMERA &camera, const tagSCAN_SHORTCUT_MENU *profile,
                           InputDocumentFlag side);
    // One output window: side 0, 1 or 2 (both), window index 0 to 3. False
    // (traced, record zeroed) for any other side or index.
    bool mergeWindowAdd(tagWINDOW_ADD &window, const tagSCAN_SHORTCUT_MENU *profile,
                        InputDocumentFlag side, int index, const tagINQUIRY &inquiry);
    // The cameras a scan of the profile sets up, in order: front then back
    // for both sides, else the one side.
    QVector<tagCREATE_CAMERA> mergeCameras(const tagSCAN_SHORTCUT_MENU *profile);
    // The windows a scan of the profile adds, in order; none (traced) for an
    // input document that names no side.
    QVector<tagWINDOW_ADD> mergeWindows(const tagSCAN_SHORTCUT_MENU *profile,
                                        const tagINQUIRY &inquiry);
    bool mergeLowPowerOffTimeOutConfig(tagLOW_POWER_MODE_TIMEOUT &timeout,
                                       const tagSCAN_SHORTCUT_MENU *profile);
    // Writes the four values (already multiplied by 10000) into a configuration
    // read from the device. False (traced, record untouched) when any of them
    // does not fit the 16-bit field.
    bool mergeMagnificationConfig(tagSCANNER_CONFIGRATION &config, const tagMAGNIFICATION &factors);

    // The imprinter record from the profile, and the font block (appended to
    // fontBlock) when text imprinting is on.
    bool mergeStampConfig(StampRecord &record, const tagSCAN_SHORTCUT_MENU *profile,
                          QByteArray &fontBlock);
    // Appends the font block for the characters the profile's stamp can print.
    bool buildStampFont(const tagSTAMP_CONFIG &stamp, QByteArray &fontBlock);
    // Appends a font block with the fixed characters and the extra ones.
    bool stampText(QByteArray &out, int pixelSize, const QByteArray &extraCharacters,
                   int orientation, int borderFlag);

    // Inches to 1/1200 inch, truncated toward zero and cut to 32 bits.
    static quint32 deviceLength(double inches);
    // A signed adjustment (-50..50) on the device's 100-centred byte scale.
    static quint8 deviceScale(int value);
    // A magnification already multiplied by 10000, truncated; false when it
    // is not a number or lies outside 0..65535.
    static bool magnificationToDevice(double scaled, quint16 &out);
};

#endif
