#ifndef IMAGETOOLRECORD_H
#define IMAGETOOLRECORD_H

// The image tool form's bytes of the profile record, 0xF7C to 0xFE7. The
// record keeps them as an opaque array; this is their layout. Gap bytes are
// members too, so a read-modify-write leaves them exactly as they were.

#include "scanshortcut.h"

#include <QtGlobal>

#include <cstddef>
#include <cstring>

struct __attribute__((packed)) ImageToolSettings
{
    quint8 gapF7C[4];
    qint32 inputDocument;            // 0xF80: 2 both sides, 0 front, 1 back
    qint32 sleevedDocument;          // 0xF84
    quint8 detectMultipleDocuments;  // 0xF88
    quint8 flatbedMultipleDocuments; // 0xF89
    quint8 gapF8A[2];
    qint32 splitDocument;   // 0xF8C
    qint32 lengthCondition; // 0xF90
    quint8 gapF94[4];
    double lengthLeft;            // 0xF98, in the unit shown when stored
    double lengthRight;           // 0xFA0
    qint32 combineFrontAndBack;   // 0xFA8
    quint8 combineEnabled;        // 0xFAC
    quint8 frontAndBackDifferent; // 0xFAD
    quint8 differentEnabled;      // 0xFAE
    quint8 gapFAF;
    qint32 perImage; // 0xFB0
    quint8 gapFB4[4];
    qint32 layout;       // 0xFB8: which list holds a single image
    qint32 frontOneType; // 0xFBC
    qint32 frontTwoType; // 0xFC0
    qint32 backOneType;  // 0xFC4
    qint32 backTwoType;  // 0xFC8
    quint8 gapFCC[4];
    quint8 learn; // 0xFD0, set by the console for a learning scan
    quint8 gapFD1[3];
    qint32 contentSide;        // 0xFD4
    qint32 contentSensitivity; // 0xFD8
    qint32 colorAmount;        // 0xFDC
    qint32 colorThreshold;     // 0xFE0
    quint8 gapFE4[4];
};

constexpr int kImageToolBase = 0xF7C;
static_assert(offsetof(tagSCAN_SHORTCUT_MENU, imageToolSettings) == kImageToolBase,
              "image tool bytes start");
static_assert(sizeof(ImageToolSettings) == sizeof(tagSCAN_SHORTCUT_MENU::imageToolSettings),
              "image tool bytes size");
#define IMAGE_TOOL_OFFSET(field, off)                                                              \
    static_assert(kImageToolBase + offsetof(ImageToolSettings, field) == (off),                    \
                  "image tool offset of " #field)
IMAGE_TOOL_OFFSET(inputDocument, 0xF80);
IMAGE_TOOL_OFFSET(sleevedDocument, 0xF84);
IMAGE_TOOL_OFFSET(detectMultipleDocuments, 0xF88);
IMAGE_TOOL_OFFSET(flatbedMultipleDocuments, 0xF89);
IMAGE_TOOL_OFFSET(splitDocument, 0xF8C);
IMAGE_TOOL_OFFSET(lengthCondition, 0xF90);
IMAGE_TOOL_OFFSET(lengthLeft, 0xF98);
IMAGE_TOOL_OFFSET(lengthRight, 0xFA0);
IMAGE_TOOL_OFFSET(combineFrontAndBack, 0xFA8);
IMAGE_TOOL_OFFSET(combineEnabled, 0xFAC);
IMAGE_TOOL_OFFSET(frontAndBackDifferent, 0xFAD);
IMAGE_TOOL_OFFSET(differentEnabled, 0xFAE);
IMAGE_TOOL_OFFSET(perImage, 0xFB0);
IMAGE_TOOL_OFFSET(layout, 0xFB8);
IMAGE_TOOL_OFFSET(frontOneType, 0xFBC);
IMAGE_TOOL_OFFSET(frontTwoType, 0xFC0);
IMAGE_TOOL_OFFSET(backOneType, 0xFC4);
IMAGE_TOOL_OFFSET(backTwoType, 0xFC8);
IMAGE_TOOL_OFFSET(learn, 0xFD0);
IMAGE_TOOL_OFFSET(contentSide, 0xFD4);
IMAGE_TOOL_OFFSET(contentSensitivity, 0xFD8);
IMAGE_TOOL_OFFSET(colorAmount, 0xFDC);
IMAGE_TOOL_OFFSET(colorThreshold, 0xFE0);
IMAGE_TOOL_OFFSET(gapFE4, 0xFE4);
#undef IMAGE_TOOL_OFFSET

inline ImageToolSettings readImageToolSettings(const tagSCAN_SHORTCUT_MENU &profile)
{
    ImageToolSettings s;
    std::memcpy(&s, profile.imageToolSettings, sizeof s);
    return s;
}

inline void writeImageToolSettings(tagSCAN_SHORTCUT_MENU &profile, const ImageToolSettings &s)
{
    std::memcpy(profile.imageToolSettings, &s, sizeof s);
}

#endif
