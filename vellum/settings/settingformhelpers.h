#ifndef SETTINGFORMHELPERS_H
#define SETTINGFORMHELPERS_H

// Small list helpers shared by the settings pages.

#include <QComboBox>
#include <QCoreApplication>
#include <QString>

#include <cstring>
#include <initializer_list>
#include <utility>

namespace settingform {

// A flag byte of a stored record may hold any value, and anything but 0 means
// set. Read as a byte: a bool object holding another value is no valid bool.
inline bool storedFlag(const bool &stored)
{
    unsigned char byte;
    std::memcpy(&byte, &stored, 1);
    return byte != 0;
}

inline void fillCombo(QComboBox *combo, std::initializer_list<std::pair<QString, int>> items)
{
    combo->clear();
    for (const auto &item : items)
        combo->addItem(item.first, item.second);
}

// Selects the first item carrying the value; without one the list stays.
inline void selectData(QComboBox *combo, int value)
{
    const int i = combo->findData(value);
    if (i >= 0)
        combo->setCurrentIndex(i);
}

// The current item's value, or `fallback` for an empty list.
inline int currentValue(const QComboBox *combo, int fallback)
{
    return combo->currentIndex() >= 0 ? combo->currentData().toInt() : fallback;
}

// Width and height in inches of the predefined sizes 2 to 24.
struct PresetSize
{
    const char *text;
    double width;
    double height;
};
inline constexpr PresetSize kPresets[] = {
    {QT_TRANSLATE_NOOP("SettingForm", "US Ledger - 11 x 17 英寸"), 11, 17},
    {QT_TRANSLATE_NOOP("SettingForm", "US 规定规格 - 8.5 x 14 英寸"), 8.5, 14},
    {QT_TRANSLATE_NOOP("SettingForm", "US 信函 - 8.5 x 11 英寸"), 8.5, 11},
    {QT_TRANSLATE_NOOP("SettingForm", "US Executive - 7.25 x 10.5 英寸"), 7.25, 10.5},
    {QT_TRANSLATE_NOOP("SettingForm", "US Statement - 5.5 x 8.5 英寸"), 5.5, 8.5},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO A3 - 29.7 x 42.0 厘米"), 11.69, 16.53},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO A4 - 21.0 x 29.7 厘米"), 8.26, 11.69},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO A5 - 14.8 x 21.0 厘米"), 5.82, 8.26},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO A6 - 10.5 x 14.8 厘米"), 4.13, 5.82},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO A7 - 7.4 x 10.5 厘米"), 2.91, 4.13},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO B4 - 25.0 x 35.3 厘米"), 9.84, 13.89},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO B5 - 17.6 x 25.0 厘米"), 6.92, 9.84},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO B6 - 12.5 x 17.6 厘米"), 4.92, 6.92},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO B7 - 8.8 x 12.5 厘米"), 3.46, 4.92},
    {QT_TRANSLATE_NOOP("SettingForm", "JIS B4 - 25.7 x 36.4 厘米"), 10.11, 14.33},
    {QT_TRANSLATE_NOOP("SettingForm", "JIS B5 - 18.2 x 25.7 厘米"), 7.16, 10.11},
    {QT_TRANSLATE_NOOP("SettingForm", "JIS B6 - 12.8 x 18.2 厘米"), 5.03, 7.16},
    {QT_TRANSLATE_NOOP("SettingForm", "JIS B7 - 9.1 x 12.8 厘米"), 3.58, 5.03},
    {QT_TRANSLATE_NOOP("SettingForm", "JIS B8 - 6.4 x 9.1 厘米"), 2.51, 3.58},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO C4 - 22.9 x 32.4 厘米"), 9.01, 12.75},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO C5 - 16.2 x 22.9 厘米"), 6.37, 9.01},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO C6 - 11.4 x 16.2 厘米"), 4.48, 6.37},
    {QT_TRANSLATE_NOOP("SettingForm", "ISO C7 - 8.1 x 11.4 厘米"), 3.18, 4.48},
};
inline constexpr int kPresetCount = int(sizeof(kPresets) / sizeof(kPresets[0]));
static_assert(kPresetCount == 23, "predefined sizes 2 to 24");

} // namespace settingform

#endif
