#include "scannerconfig.h"

#include "recordfields.h"

using namespace recordfields;

namespace {

template <class V, class R>
void configFields(V &v, R &r)
{
    v.field(0, r.AdfAutoStart, "AdfAutoStart (0-1): ");
    v.field(1, r.AdfHandling, "AdfHandling (0-6): ");
    v.field(2, r.AdfTimeoutEnabled, "AdfTimeoutEnabled (0-1): ");
    v.field(3, r.AdfTimeout, "AdfTimeout (0-120): ");
    v.field(5, r.AdfTimeoutFirstPage, "AdfTimeoutFirstPage (0-120): ");
    v.field(7, r.AdfTimeoutResponse, "AdfTimeoutResponse (0-2): ");
    v.field(8, r.BatchCountEnabled, "BatchCountEnabled (0-1): ");
    v.field(9, r.BatchCount, "BatchCount (1-32767): ");
    v.field(11, r.BatchLevel, "BatchLevel (1-3): ");
    v.field(12, r.BatchStartFunction, "BatchStartFunction (0-3): ");
    v.field(13, r.BatchEndFunction, "BatchEndFunction (0-3): ");
    v.field(14, r.FunctionKey1, "FunctionKey1 (0-7): ");
    v.field(15, r.FunctionKey2, "FunctionKey2 (0-7): ");
    v.field(16, r.FunctionKey3, "FunctionKey3 (0-7): ");
    v.field(17, r.IaFormatA, "IaFormatA (0-3): ");
    v.field(18, r.IaFormatB, "IaFormatB (0-3): ");
    v.field(19, r.IaFormatC, "IaFormatC (0-3): ");
    v.field(20, r.IaFormatD, "IaFormatD (0-3): ");
    v.field(21, r.IaStarting, "IaStarting[60]: ");
    v.field(81, r.IaLevelToFollow1, "IaLevelToFollow1 (1-3): ");
    v.field(82, r.IaLevelToFollow2, "IaLevelToFollow2 (1-3): ");
    v.field(83, r.IaLevelToFollow3, "IaLevelToFollow3 (1-3): ");
    v.field(84, r.IaCheckDigit, "IaCheckDigit (0-1): ");
    v.field(85, r.PaperOnDemand, "PaperOnDemand (0-1): ");
    v.field(86, r.ImageCount, "ImageCount (0-32767): ");
    v.field(88, r.MultifeedLengthEnbaled, "MultifeedLengthEnbaled (0-1): ");
    v.field(89, r.MultifeedLength, "MultifeedLength: ");
    v.field(93, r.MultifeedResponse, "MultifeedResponse (0-8): ");
    v.field(94, r.MultifeedUddsSensitivity, "MultifeedUddsSensitivity (0-3): ");
    v.field(95, r.MultifeedUddsSensorZoneHeight, "MultifeedUddsSensorZoneHeight: ");
    v.field(99, r.MultifeedUddsSensorLeft, "MultifeedUddsSensorLeft (0-2): ");
    v.field(100, r.MultifeedUddsSensorLeftCenter, "MultifeedUddsSensorLeftCenter (0-2): ");
    v.field(101, r.MultifeedUddsSensorCenter, "MultifeedUddsSensorCenter (0-2): ");
    v.field(102, r.MultifeedUddsSensorRightCenter, "MultifeedUddsSensorRightCenter (0-2): ");
    v.field(103, r.MultifeedUddsSensorRight, "MultifeedUddsSensorRight (0-2): ");
    v.field(104, r.PaperSource, "PaperSource (0-12): ");
    v.field(105, r.PatchAlarm, "PatchAlarm (0-1): ");
    v.field(106, r.PatchToggleMode, "PatchToggleMode (0-2): ");
    v.field(107, r.PatchEnabled, "PatchEnabled (0-1): ");
    v.field(108, r.PatchType1, "PatchType1 (0-1): ");
    v.field(109, r.PatchType2, "PatchType2 (0-1): ");
    v.field(110, r.PatchType3, "PatchType3 (0-1): ");
    v.field(111, r.PatchType4, "PatchType4 (0-1): ");
    v.field(112, r.PatchType6, "PatchType6 (0-1): ");
    v.field(113, r.PatchTransfer, "PatchTransfer (0-2): ");
    v.field(114, r.PatchHead1, "PatchHead1 (0-1): ");
    v.field(115, r.PatchHead2, "PatchHead2 (0-1): ");
    v.field(116, r.PatchHead3, "PatchHead3 (0-1): ");
    v.field(117, r.PatchHead4, "PatchHead4 (0-1): ");
    v.field(118, r.PrinterEnabled, "PrinterEnabled (0-1): ");
    v.field(119, r.PrinterDate, "PrinterDate[20]: ");
    v.field(139, r.PrinterDateDelimiter, "PrinterDateDelimiter (0-4): ");
    v.field(140, r.PrinterDateFormat, "PrinterDateFormat (0-8): ");
    v.field(141, r.PrinterTime, "PrinterTime[10]: ");
    v.field(151, r.PrinterFont, "PrinterFont (0-11): ");
    v.field(152, r.PrinterFontFormat, "PrinterFontFormat (0-1): ");
    v.field(153, r.IaPadding, "IaPadding (0-2): ");
    v.field(154, r.PrinterIndex, "PrinterIndex: ");
    v.field(158, r.PrinterIndexDigits, "PrinterIndexDigits (1-9): ");
    v.field(159, r.PrinterIndexFormat, "PrinterIndexFormat (0-2): ");
    v.field(160, r.PrinterPosition, "PrinterPosition: ");
    v.field(164, r.PrinterWriteSequence1, "PrinterWriteSequence1[40]: ");
    v.field(204, r.PrinterWriteSequence2, "PrinterWriteSequence2[20]: ");
    v.field(224, r.PrinterWriteSequence3, "PrinterWriteSequence3[20]: ");
    v.field(244, r.PrinterWriteSequenceMessage1, "PrinterWriteSequenceMessage1[80]: ");
    v.field(324, r.PrinterWriteSequenceMessage2, "PrinterWriteSequenceMessage2[40]: ");
    v.field(364, r.PrinterWriteSequenceMessage3, "PrinterWriteSequenceMessage3[40]: ");
    v.field(404, r.PrinterWriteSequenceMessage4, "PrinterWriteSequenceMessage4[40]: ");
    v.field(444, r.PrinterWriteSequenceMessage5, "PrinterWriteSequenceMessage5[40]: ");
    v.field(484, r.PrinterWriteSequenceMessage6, "PrinterWriteSequenceMessage6[40]: ");
    v.field(524, r.PrinterTest, "PrinterTest (0-1): ");
    v.field(525, r.CountOnlyMode, "CountOnlyMode (0-1): ");
    v.field(526, r.PreviewMode, "PreviewMode (0-1): ");
    v.field(527, r.PreviewImageAcquire, "PreviewImageAcquire (0-1): ");
    v.field(528, r.PreviewQuality, "PreviewQuality (0-1): ");
    v.field(529, r.EcdoCustomLearn, "EcdoCustomLearn (0-0xFF): ");
    v.field(530, r.EcdoCustomClearData, "EcdoCustomClearData (0-1): ");
    v.field(531, r.StapleDetection, "StapleDetection (0-1): ");
    v.field(532, r.SheetHeight, "SheetHeight (2.05-120inch): ");
    v.field(536, r.ImageMerge, "ImageMerge (0-4): ");
    v.field(537, r.MagnificationFrontX, "MagnificationFrontX (5000-20000): ");
    v.field(539, r.MagnificationFrontY, "MagnificationFrontY (5000-20000): ");
    v.field(541, r.MagnificationRearX, "MagnificationRearX (5000-20000): ");
    v.field(543, r.MagnificationRearY, "MagnificationRearY (5000-20000): ");
    v.field(545, r.DualStackingEnabled, "DualStackingEnabled (0-1): ");
    v.field(546, r.DualStackingLength1, "DualStackingLength1 (1/1200inch): ");
    v.field(550, r.DualStackingMode, "DualStackingMode (0-1): ");
    v.field(551, r.DualStackingStack, "DualStackingStack (1-2): ");
    v.field(552, r.DualStackingLengthMode, "DualStackingLengthMode (0-3): ");
    v.field(553, r.DualStackingLength2, "DualStackingLength2 (1/1200inch): ");
    v.field(557, r.DualStackingMultifeed, "DualStackingMultifeed (0-1): ");
    v.field(558, r.DualStackingPatchTransfer, "DualStackingPatchTransfer (0-1): ");
    v.field(559, r.DualStackingPatchType1, "DualStackingPatchType1 (0-1): ");
    v.field(560, r.DualStackingPatchType2, "DualStackingPatchType2 (0-1): ");
    v.field(561, r.DualStackingPatchType3, "DualStackingPatchType3 (0-1): ");
    v.field(562, r.DualStackingPatchType4, "DualStackingPatchType4 (0-1): ");
    v.field(563, r.DualStackingPatchType6, "DualStackingPatchType6 (0-1): ");
    v.field(564, r.IndexingFormat, "IndexingFormat (0-4): ");
    v.field(565, r.IaScanner, "IaScanner[60]: ");
    v.field(625, r.IaTemplateA, "IaTemplateA[18]: ");
    v.field(643, r.IaTemplateB, "IaTemplateB[18]: ");
    v.field(661, r.IaTemplateC, "IaTemplateC[18]: ");
    v.field(679, r.IaTemplateD, "IaTemplateD[18]: ");
    v.field(697, r.IntelligentDocumentProtection, "IntelligentDocumentProtection (0-3): ");
    v.field(698, r.PaperJamResponse, "PaperJamResponse (0-1): ");
    v.field(699, r.PrinterTimeFormat, "PrinterTimeFormat (0-8): ");
    v.field(700, r.PrinterIndexIncrement, "PrinterIndexIncrement (0-6): ");
    v.field(701, r.PrinterIndexReset, "PrinterIndexReset (0-6): ");
    v.field(702, r.PrinterIndexResetValue, "PrinterIndexResetValue (0-999999999): ");
    v.field(706, r.PrintOnImageFront, "PrintOnImageFront (0-1): ");
    v.field(707, r.PrintOnImageRear, "PrintOnImageRear (0-1): ");
    v.field(708, r.PrintOnImagePositionX, "PrintOnImagePositionX: ");
    v.field(712, r.PrintOnImagePositionY, "PrintOnImagePositionY: ");
    v.field(716, r.PatchType10, "PatchType10 (0-3): ");
    v.field(717, r.PatchType11, "PatchType11 (0-3): ");
    v.field(718, r.PatchType12, "PatchType12 (0-3): ");
    v.field(719, r.PatchType13, "PatchType13 (0-3): ");
    v.field(720, r.PatchType14, "PatchType14 (0-3): ");
    v.field(721, r.PatchType15, "PatchType15 (0-3): ");
    v.field(722, r.IndexingDocument, "IndexingDocument (0-999999999): ");
    v.field(726, r.IndexingSheet, "IndexingSheet (0-999999999): ");
    v.field(730, r.IndexingPrintOnPatch, "IndexingPrintOnPatch (0-1): ");
    v.field(731, r.DualStackingPatchType10, "DualStackingPatchType10 (0-1): ");
    v.field(732, r.DualStackingPatchType11, "DualStackingPatchType11 (0-1): ");
    v.field(733, r.DualStackingPatchType12, "DualStackingPatchType12 (0-1): ");
    v.field(734, r.DualStackingPatchType13, "DualStackingPatchType13 (0-1): ");
    v.field(735, r.DualStackingPatchType14, "DualStackingPatchType14 (0-1): ");
    v.field(736, r.DualStackingPatchType15, "DualStackingPatchType15 (0-1): ");
    v.field(737, r.PrinterFontResize, "PrinterFontResize: ");
    v.field(738, r.PaperDestination, "PaperDestination (0-2): ");
    v.field(739, r.AdfSeparation, "AdfSeparation (0-1): ");
    v.field(740, r.AdfActiveFeed, "AdfActiveFeed (0-2): ");
    v.field(741, r.FlatbedMultiDocLocate, "FlatbedMultiDocLocate (0-1): ");
    v.field(742, r.SleeveDocument, "SleeveDocument (0-4): ");
    v.field(743, r.SleeveMultiDocLocate, "SleeveMultiDocLocate (0-1): ");
    v.field(744, r.SplitDocumentCount, "SplitDocumentCount (0-2): ");
    v.field(745, r.SplitDocumentDirection, "SplitDocumentDirection (0-1): ");
    v.field(746, r.SplitDocumentLengthMode, "SplitDocumentLengthMode (0-2): ");
    v.field(747, r.SplitDocumentLength1, "SplitDocumentLength1 (1/1200inch): ");
    v.field(751, r.SplitDocumentLength2, "SplitDocumentLength2 (1/1200inch): ");
    v.field(755, r.SheetCount, "SheetCount (0-32767): ");
    v.field(757, r.SnapToSize, "SnapToSize (0-1):");
}

const auto kConfig = [](auto &v, auto &r) { configFields(v, r); };

} // namespace

void encodeScannerConfig(const tagSCANNER_CONFIGRATION &rec, QByteArray &out)
{
    encodeWith<tagSCANNER_CONFIGRATION::WireSize>(rec, out, kConfig);
}

bool decodeScannerConfig(const QByteArray &in, tagSCANNER_CONFIGRATION &rec)
{
    return decodeWith<tagSCANNER_CONFIGRATION::WireSize>(in, rec, kConfig);
}

QString formatConfig(const tagSCANNER_CONFIGRATION &rec)
{
    return dumpWith(rec, kConfig);
}

void outputConfig(const tagSCANNER_CONFIGRATION &rec)
{
    if (traceEnabled())
        traceText(formatConfig(rec));
}
