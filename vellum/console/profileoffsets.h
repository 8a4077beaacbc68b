#ifndef PROFILEOFFSETS_H
#define PROFILEOFFSETS_H

#include "scanshortcut.h"

#include <cstring>

// Bytes of the profile record that the console reads or sets in a scan's
// copy and that fall inside blocks owned by other pages.
namespace profilebytes {

constexpr int kLearnFlag = 4048;            // 1: a colour-learning scan
constexpr int kShowEveryPreviewPage = 4403; // 1: every page of a preview is shown

inline quint8 byteAt(const tagSCAN_SHORTCUT_MENU &p, int offset)
{
    return reinterpret_cast<const quint8 *>(&p)[offset];
}

inline void setByte(tagSCAN_SHORTCUT_MENU &p, int offset, quint8 value)
{
    reinterpret_cast<quint8 *>(&p)[offset] = value;
}

inline bool isLearning(const tagSCAN_SHORTCUT_MENU &p)
{
    return byteAt(p, kLearnFlag) != 0;
}
inline bool isPreview(const tagSCAN_SHORTCUT_MENU &p)
{
    return p.previewMode == 1;
}

static_assert(kLearnFlag >= int(offsetof(tagSCAN_SHORTCUT_MENU, imageToolSettings)) &&
                  kLearnFlag < int(offsetof(tagSCAN_SHORTCUT_MENU, stampConfig)),
              "the learn flag lies in the image tool block");
static_assert(kShowEveryPreviewPage < int(sizeof(tagSCAN_SHORTCUT_MENU)), "inside the record");

} // namespace profilebytes

#endif
