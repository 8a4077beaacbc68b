#ifndef SCANNERCONFIG_H
#define SCANNERCONFIG_H

// The scanner's whole configuration (command 0x20, both directions) in host
// form, and its 758-byte wire codec. Every byte of the wire record belongs to
// a field. Numbers are plain host values; the UTF-16 texts keep every code
// unit, so a record read from the device and written back unchanged is
// byte-identical on the wire.

#include "recordtext.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

struct tagSCANNER_CONFIGRATION
{
    static constexpr int WireSize = 758;

    quint8 AdfAutoStart = 0;  // 0
    quint8 AdfHandling = 0;  // 1
    quint8 AdfTimeoutEnabled = 0;  // 2
    quint16 AdfTimeout = 0;  // 3
    quint16 AdfTimeoutFirstPage = 0;  // 5
    quint8 AdfTimeoutResponse = 0;  // 7
    quint8 BatchCountEnabled = 0;  // 8
    quint16 BatchCount = 0;  // 9
    quint8 BatchLevel = 0;  // 11
    quint8 BatchStartFunction = 0;  // 12
    quint8 BatchEndFunction = 0;  // 13
    quint8 FunctionKey1 = 0;  // 14
    quint8 FunctionKey2 = 0;  // 15
    quint8 FunctionKey3 = 0;  // 16
    quint8 IaFormatA = 0;  // 17
    quint8 IaFormatB = 0;  // 18
    quint8 IaFormatC = 0;  // 19
    quint8 IaFormatD = 0;  // 20
    Utf16Text<30> IaStarting;  // 21
    quint8 IaLevelToFollow1 = 0;  // 81
    quint8 IaLevelToFollow2 = 0;  // 82
    quint8 IaLevelToFollow3 = 0;  // 83
    quint8 IaCheckDigit = 0;  // 84
    quint8 PaperOnDemand = 0;  // 85
    quint16 ImageCount = 0;  // 86
    quint8 MultifeedLengthEnbaled = 0;  // 88
    quint32 MultifeedLength = 0;  // 89
    quint8 MultifeedResponse = 0;  // 93
    quint8 MultifeedUddsSensitivity = 0;  // 94
    quint32 MultifeedUddsSensorZoneHeight = 0;  // 95
    quint8 MultifeedUddsSensorLeft = 0;  // 99
    quint8 MultifeedUddsSensorLeftCenter = 0;  // 100
    quint8 MultifeedUddsSensorCenter = 0;  // 101
    quint8 MultifeedUddsSensorRightCenter = 0;  // 102
    quint8 MultifeedUddsSensorRight = 0;  // 103
    quint8 PaperSource = 0;  // 104
    quint8 PatchAlarm = 0;  // 105
    quint8 PatchToggleMode = 0;  // 106
    quint8 PatchEnabled = 0;  // 107
    quint8 PatchType1 = 0;  // 108
    quint8 PatchType2 = 0;  // 109
    quint8 PatchType3 = 0;  // 110
    quint8 PatchType4 = 0;  // 111
    quint8 PatchType6 = 0;  // 112
    quint8 PatchTransfer = 0;  // 113
    quint8 PatchHead1 = 0;  // 114
    quint8 PatchHead2 = 0;  // 115
    quint8 PatchHead3 = 0;  // 116
    quint8 PatchHead4 = 0;  // 117
    quint8 PrinterEnabled = 0;  // 118
    Utf16Text<10> PrinterDate;  // 119
    quint8 PrinterDateDelimiter = 0;  // 139
    quint8 PrinterDateFormat = 0;  // 140
    Utf16Text<5> PrinterTime;  // 141
    quint8 PrinterFont = 0;  // 151
    quint8 PrinterFontFormat = 0;  // 152
    quint8 IaPadding = 0;  // 153
    quint32 PrinterIndex = 0;  // 154
    quint8 PrinterIndexDigits = 0;  // 158
    quint8 PrinterIndexFormat = 0;  // 159
    quint32 PrinterPosition = 0;  // 160
    Utf16Text<20> PrinterWriteSequence1;  // 164
    Utf16Text<10> PrinterWriteSequence2;  // 204
    Utf16Text<10> PrinterWriteSequence3;  // 224
    Utf16Text<40> PrinterWriteSequenceMessage1;  // 244
    Utf16Text<20> PrinterWriteSequenceMessage2;  // 324
    Utf16Text<20> PrinterWriteSequenceMessage3;  // 364
    Utf16Text<20> PrinterWriteSequenceMessage4;  // 404
    Utf16Text<20> PrinterWriteSequenceMessage5;  // 444
    Utf16Text<20> PrinterWriteSequenceMessage6;  // 484
    quint8 PrinterTest = 0;  // 524
    quint8 CountOnlyMode = 0;  // 525
    quint8 PreviewMode = 0;  // 526
    quint8 PreviewImageAcquire = 0;  // 527
    quint8 PreviewQuality = 0;  // 528
    quint8 EcdoCustomLearn = 0;  // 529
    quint8 EcdoCustomClearData = 0;  // 530
    quint8 StapleDetection = 0;  // 531
    quint32 SheetHeight = 0;  // 532
    quint8 ImageMerge = 0;  // 536
    quint16 MagnificationFrontX = 0;  // 537
    quint16 MagnificationFrontY = 0;  // 539
    quint16 MagnificationRearX = 0;  // 541
    quint16 MagnificationRearY = 0;  // 543
    quint8 DualStackingEnabled = 0;  // 545
    quint32 DualStackingLength1 = 0;  // 546
    quint8 DualStackingMode = 0;  // 550
    quint8 DualStackingStack = 0;  // 551
    quint8 DualStackingLengthMode = 0;  // 552
    quint32 DualStackingLength2 = 0;  // 553
    quint8 DualStackingMultifeed = 0;  // 557
    quint8 DualStackingPatchTransfer = 0;  // 558
    quint8 DualStackingPatchType1 = 0;  // 559
    quint8 DualStackingPatchType2 = 0;  // 560
    quint8 DualStackingPatchType3 = 0;  // 561
    quint8 DualStackingPatchType4 = 0;  // 562
    quint8 DualStackingPatchType6 = 0;  // 563
    quint8 IndexingFormat = 0;  // 564
    Utf16Text<30> IaScanner;  // 565
    Utf16Text<9> IaTemplateA;  // 625
    Utf16Text<9> IaTemplateB;  // 643
    Utf16Text<9> IaTemplateC;  // 661
    Utf16Text<9> IaTemplateD;  // 679
    quint8 IntelligentDocumentProtection = 0;  // 697
    quint8 PaperJamResponse = 0;  // 698
    quint8 PrinterTimeFormat = 0;  // 699
    quint8 PrinterIndexIncrement = 0;  // 700
    quint8 PrinterIndexReset = 0;  // 701
    quint32 PrinterIndexResetValue = 0;  // 702
    quint8 PrintOnImageFront = 0;  // 706
    quint8 PrintOnImageRear = 0;  // 707
    quint32 PrintOnImagePositionX = 0;  // 708
    quint32 PrintOnImagePositionY = 0;  // 712
    quint8 PatchType10 = 0;  // 716
    quint8 PatchType11 = 0;  // 717
    quint8 PatchType12 = 0;  // 718
    quint8 PatchType13 = 0;  // 719
    quint8 PatchType14 = 0;  // 720
    quint8 PatchType15 = 0;  // 721
    quint32 IndexingDocument = 0;  // 722
    quint32 IndexingSheet = 0;  // 726
    quint8 IndexingPrintOnPatch = 0;  // 730
    quint8 DualStackingPatchType10 = 0;  // 731
    quint8 DualStackingPatchType11 = 0;  // 732
    quint8 DualStackingPatchType12 = 0;  // 733
    quint8 DualStackingPatchType13 = 0;  // 734
    quint8 DualStackingPatchType14 = 0;  // 735
    quint8 DualStackingPatchType15 = 0;  // 736
    quint8 PrinterFontResize = 0;  // 737
    quint8 PaperDestination = 0;  // 738
    quint8 AdfSeparation = 0;  // 739
    quint8 AdfActiveFeed = 0;  // 740
    quint8 FlatbedMultiDocLocate = 0;  // 741
    quint8 SleeveDocument = 0;  // 742
    quint8 SleeveMultiDocLocate = 0;  // 743
    quint8 SplitDocumentCount = 0;  // 744
    quint8 SplitDocumentDirection = 0;  // 745
    quint8 SplitDocumentLengthMode = 0;  // 746
    quint32 SplitDocumentLength1 = 0;  // 747
    quint32 SplitDocumentLength2 = 0;  // 751
    quint16 SheetCount = 0;  // 755
    quint8 SnapToSize = 0;  // 757
};

void encodeScannerConfig(const tagSCANNER_CONFIGRATION &rec, QByteArray &out);
// Reads the first 758 bytes; shorter input fails and leaves the record as it was.
bool decodeScannerConfig(const QByteArray &in, tagSCANNER_CONFIGRATION &rec);

// Trace dump: one line per field, in record order.
QString formatConfig(const tagSCANNER_CONFIGRATION &rec);
// Writes the dump as one debug message when tracing is switched on.
void outputConfig(const tagSCANNER_CONFIGRATION &rec);

#endif
