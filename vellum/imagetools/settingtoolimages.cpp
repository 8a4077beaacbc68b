// The image lists of the image tool form: per side one or two images, with
// their Add and Change menus, Delete, Up and Down, the copies between sides,
// the reset from a colour mode and the list message.

#include "settingtoolform.h"
#include "ui_settingtoolform.h"

#include "imagetoolrecord.h"
#include "oxadvancedlengths.h"
#include "pmessage.h"
#include "settingtoolcontentform.h"

#include <QMenu>
#include <QPalette>
#include <QPixmap>

namespace L = OxAdvancedLengths;

// ---- list model ----

QString SettingToolForm::kindText(int kind) const
{
    switch (kind) {
    case KindColor:
        return tr("彩色（24 位）");
    case KindGray:
        return tr("灰度（8 位）");
    default:
        return tr("黑白（1 位）");
    }
}

int SettingToolForm::kindOf(const QString &text) const
{
    for (int kind : {KindColor, KindGray, KindBlackWhite})
        if (text == kindText(kind))
            return kind;
    return -1;
}

int SettingToolForm::kindAt(Side side, int row) const
{
    QListWidgetItem *item = m_sides[side].list->item(row);
    return item ? kindOf(item->text()) : -1;
}

QIcon SettingToolForm::kindIcon(int kind) const
{
    static const char *const kIcons[] = {":/settings/images/settings/scan-bk.png",
                                         ":/settings/images/settings/scan-grey.png",
                                         ":/settings/images/settings/scan-color.png"};
    const int k = kind == KindColor || kind == KindGray ? kind : KindBlackWhite;
    return QIcon(QLatin1String(kIcons[k]));
}

QListWidgetItem *SettingToolForm::newItem(int kind) const
{
    const int k = kind == KindColor || kind == KindGray ? kind : KindBlackWhite;
    auto *item = new QListWidgetItem(kindIcon(k), kindText(k));
    item->setSizeHint(QSize(80, 36));
    return item;
}

// Items are made when they are inserted and belong to their list from then
// on; the form keeps no pointer to an item, so a list's clear() leaves
// nothing dangling.
void SettingToolForm::fillList(Side side, const QList<int> &kinds)
{
    QListWidget *list = m_sides[side].list;
    list->clear();
    QList<int> added;
    for (int kind : kinds) {
        if (kind < KindBlackWhite || kind > KindColor || added.contains(kind))
            continue;
        list->addItem(newItem(kind));
        added << kind;
    }
}

QList<int> SettingToolForm::defaultPair(int kind)
{
    if (kind == KindColor)
        return {KindColor, KindBlackWhite};
    if (kind == KindGray)
        return {KindGray, KindBlackWhite};
    return {KindBlackWhite, KindColor};
}

bool SettingToolForm::isAllowedPair(int first, int second)
{
    const bool firstBw = first == KindBlackWhite;
    const bool secondBw = second == KindBlackWhite;
    const auto colourOrGray = [](int k) { return k == KindColor || k == KindGray; };
    return (firstBw && colourOrGray(second)) || (secondBw && colourOrGray(first));
}

bool SettingToolForm::holdsAllowedContents(Side side) const
{
    const int count = m_sides[side].list->count();
    if (count == 1)
        return kindAt(side, 0) >= 0;
    return count == 2 && isAllowedPair(kindAt(side, 0), kindAt(side, 1));
}

// A record that never held these settings (every built-in: all zero), a
// layout outside 0..2 or a colour-mode reset can leave the lists outside
// their rules; everything that reads them expects one or two items, a valid
// pair, and at most one single list. resetSide is the side a colour-mode
// reset just set (-1 after a load).
void SettingToolForm::repairLists(int layout, int resetSide)
{
    for (Side side : {Front, Back}) {
        QListWidget *list = m_sides[side].list;
        if (list->count() == 0)
            fillList(side, defaultPair(m_colorMode));
        else if (!holdsAllowedContents(side))
            fillList(side, defaultPair(kindAt(side, 0) >= 0 ? kindAt(side, 0) : m_colorMode));
    }
    if (m_sides[Front].list->count() != 1 || m_sides[Back].list->count() != 1)
        return;
    QList<Side> toPair;
    if (resetSide == Front)
        toPair << Back;
    else if (resetSide == Back)
        toPair << Front;
    else if (layout == 1)
        toPair << Front;
    else if (layout == 2)
        toPair << Front << Back;
    else
        toPair << Back;
    for (Side side : toPair) {
        fillList(side, defaultPair(kindAt(side, 0)));
        m_sides[side].list->setCurrentRow(0);
    }
}

void SettingToolForm::createPerImageList()
{
    fillList(Front, defaultPair(m_colorMode));
    fillList(Back, defaultPair(m_colorMode));
    m_sides[Front].list->setCurrentRow(0);
    m_sides[Back].list->setCurrentRow(0);
}

void SettingToolForm::rebuildAddMenu(Side side)
{
    SideWidgets &w = m_sides[side];
    auto *menu = new QMenu(this);
    const auto addAction = [&](int kind, void (SettingToolForm::*slot)()) {
        QAction *action = menu->addAction(kindIcon(kind), kindText(kind));
        connect(action, &QAction::triggered, this, slot);
    };
    const bool front = side == Front;
    if (kindAt(side, 0) == KindBlackWhite) {
        addAction(KindColor, front ? &SettingToolForm::triggeredImageListFrontAddColor
                                   : &SettingToolForm::triggeredImageListBackAddColor);
        addAction(KindGray, front ? &SettingToolForm::triggeredImageListFrontAddGray
                                  : &SettingToolForm::triggeredImageListBackAddGray);
    } else {
        addAction(KindBlackWhite, front ? &SettingToolForm::triggeredImageListFrontAddBlackWhite
                                        : &SettingToolForm::triggeredImageListBackAddBlackWhite);
    }
    w.add->setMenu(menu);
    // The old menu may be the one whose action is running right now.
    if (w.addMenu)
        w.addMenu->deleteLater();
    w.addMenu = menu;
}

void SettingToolForm::rebuildChangeMenu(Side side)
{
    SideWidgets &w = m_sides[side];
    const int count = w.list->count();
    if (count != 1 && count != 2) {
        w.change->setMenu(w.changeMenu);
        return;
    }
    QList<int> offered;
    if (count == 1) {
        for (int kind : {KindColor, KindGray, KindBlackWhite})
            if (kind != kindAt(side, 0))
                offered << kind;
    } else {
        const int first = kindAt(side, 0);
        const int second = kindAt(side, 1);
        if (isAllowedPair(first, second)) {
            const int colourOrGray = first == KindBlackWhite ? second : first;
            offered << (colourOrGray == KindColor ? KindGray : KindColor);
        }
    }
    auto *menu = new QMenu(this);
    const bool front = side == Front;
    for (int kind : offered) {
        QAction *action = menu->addAction(kindIcon(kind), kindText(kind));
        void (SettingToolForm::*slot)() =
            kind == KindColor  ? (front ? &SettingToolForm::triggeredImageListFrontChangeColor
                                        : &SettingToolForm::triggeredImageListBackChangeColor)
            : kind == KindGray ? (front ? &SettingToolForm::triggeredImageListFrontChangeGray
                                        : &SettingToolForm::triggeredImageListBackChangeGray)
                               : (front ? &SettingToolForm::triggeredImageListFrontChangeBlackWhite
                                        : &SettingToolForm::triggeredImageListBackChangeBlackWhite);
        connect(action, &QAction::triggered, this, slot);
    }
    w.change->setMenu(menu);
    if (w.changeMenu)
        w.changeMenu->deleteLater();
    w.changeMenu = menu;
}

void SettingToolForm::createPerImageFrontAddButton()
{
    rebuildAddMenu(Front);
}
void SettingToolForm::createPerImageBackAddButton()
{
    rebuildAddMenu(Back);
}
void SettingToolForm::createPerImageFrontChangeButton()
{
    rebuildChangeMenu(Front);
}
void SettingToolForm::createPerImageBackChangeButton()
{
    rebuildChangeMenu(Back);
}

void SettingToolForm::setDeleteEnabled(bool enabled)
{
    m_sides[Front].remove->setEnabled(enabled);
    m_sides[Back].remove->setEnabled(enabled);
}

void SettingToolForm::addImage(Side side, int kind)
{
    SideWidgets &w = m_sides[side];
    // Only a single image takes a second one, and only one that makes a
    // valid pair; a menu built for an earlier state offers nothing else.
    if (w.list->count() != 1 || !isAllowedPair(kindAt(side, 0), kind))
        return;
    w.list->addItem(newItem(kind));
    rebuildChangeMenu(side);
    w.list->setCurrentRow(1);
    w.add->setEnabled(false);
    setDeleteEnabled(true);
    moveImage(side, 0);
    moveImage(side, 1);
}

void SettingToolForm::changeImage(Side side, int kind)
{
    SideWidgets &w = m_sides[side];
    const int count = w.list->count();
    if (count == 2 && kind != KindBlackWhite) {
        const bool blackWhiteFirst = kindAt(side, 0) == KindBlackWhite;
        w.list->clear();
        if (blackWhiteFirst) {
            w.list->addItem(newItem(KindBlackWhite));
            w.list->addItem(newItem(kind));
        } else {
            w.list->addItem(newItem(kind));
            w.list->addItem(newItem(KindBlackWhite));
        }
        w.list->setCurrentRow(blackWhiteFirst ? 1 : 0);
        rebuildChangeMenu(side);
        rebuildAddMenu(side);
    } else if (count == 1) {
        w.list->clear();
        w.list->addItem(newItem(kind));
        rebuildChangeMenu(side);
        rebuildAddMenu(side);
        w.list->setCurrentRow(0);
    }
}

void SettingToolForm::deleteImage(Side side)
{
    SideWidgets &w = m_sides[side];
    const Side other = side == Front ? Back : Front;
    // Deleting never leaves a list empty, nor both lists single.
    if (w.list->count() != 2 || m_sides[other].list->count() != 2)
        return;
    QListWidgetItem *first = w.list->item(0);
    const int row = first && first->isSelected() ? 0 : 1;
    delete w.list->takeItem(row);
    w.remove->setEnabled(false);
    w.add->setEnabled(true);
    rebuildAddMenu(side);
    rebuildChangeMenu(side);
    selectionRule(side);
    w.list->setCurrentRow(0);
    m_sides[other].remove->setEnabled(false);
}

void SettingToolForm::moveImage(Side side, int selectRow)
{
    SideWidgets &w = m_sides[side];
    const Side other = side == Front ? Back : Front;
    const int otherCount = m_sides[other].list->count();
    const int first = kindAt(side, 0);
    const int second = kindAt(side, 1);
    if (w.list->count() != 2 || !isAllowedPair(first, second))
        return;
    fillList(side, {second, first});
    w.list->setCurrentRow(selectRow);
    if (otherCount != 2)
        return;
    const int otherFirst = kindAt(other, 0);
    const int otherSecond = kindAt(other, 1);
    const int colourOrGray = otherFirst == KindBlackWhite ? otherSecond : otherFirst;
    if (colourOrGray != KindColor && colourOrGray != KindGray)
        return;
    if (kindAt(side, 0) == KindBlackWhite)
        fillList(other, {KindBlackWhite, colourOrGray});
    else
        fillList(other, {colourOrGray, KindBlackWhite});
    m_sides[other].list->setCurrentRow(selectRow);
}

void SettingToolForm::selectionRule(Side side)
{
    SideWidgets &w = m_sides[side];
    if (w.list->count() == 2) {
        int selectedRow = -1;
        for (int row = 0; row < 2 && selectedRow < 0; ++row)
            if (QListWidgetItem *item = w.list->item(row); item && item->isSelected())
                selectedRow = row;
        w.change->setEnabled(!(selectedRow >= 0 && kindAt(side, selectedRow) == KindBlackWhite));
        if (perImageData() == 2) {
            w.up->setEnabled(selectedRow == 1);
            w.down->setEnabled(selectedRow != 1);
        }
    } else {
        w.change->setEnabled(true);
        w.up->setEnabled(false);
        w.down->setEnabled(false);
    }
}

void SettingToolForm::copyList(Side from, Side to)
{
    if (m_sides[from].list->count() != 2)
        return;
    const int first = kindAt(from, 0);
    const int second = kindAt(from, 1);
    QListWidget *target = m_sides[to].list;
    target->clear();
    for (int kind : {first, second})
        target->addItem(newItem(kind == KindColor || kind == KindGray ? kind : KindBlackWhite));
    target->setCurrentRow(0);
    rebuildChangeMenu(to);
}

void SettingToolForm::CopyFrontToBack()
{
    copyList(Front, Back);
}
void SettingToolForm::CopyBackToFront()
{
    copyList(Back, Front);
}

void SettingToolForm::equaliseLists()
{
    if (m_sides[Front].list->count() <= 1)
        CopyBackToFront();
    else
        CopyFrontToBack();
}

void SettingToolForm::pairUpLists()
{
    const int front = m_sides[Front].list->count();
    const int back = m_sides[Back].list->count();
    if (front <= 1)
        CopyBackToFront();
    if (back <= 1)
        CopyFrontToBack();
    if (front == 2 && back == 2) {
        const int frontBw = kindAt(Front, 0) == KindBlackWhite ? 0 : 1;
        const int backBw = kindAt(Back, 0) == KindBlackWhite ? 0 : 1;
        if (frontBw != backBw)
            CopyFrontToBack();
    }
}

void SettingToolForm::triggeredImageListFrontChangeColor()
{
    changeImage(Front, KindColor);
}
void SettingToolForm::triggeredImageListFrontChangeGray()
{
    changeImage(Front, KindGray);
}
void SettingToolForm::triggeredImageListFrontChangeBlackWhite()
{
    changeImage(Front, KindBlackWhite);
}
void SettingToolForm::triggeredImageListBackChangeColor()
{
    changeImage(Back, KindColor);
}
void SettingToolForm::triggeredImageListBackChangeGray()
{
    changeImage(Back, KindGray);
}
void SettingToolForm::triggeredImageListBackChangeBlackWhite()
{
    changeImage(Back, KindBlackWhite);
}
void SettingToolForm::triggeredImageListFrontAddColor()
{
    addImage(Front, KindColor);
}
void SettingToolForm::triggeredImageListFrontAddGray()
{
    addImage(Front, KindGray);
}
void SettingToolForm::triggeredImageListFrontAddBlackWhite()
{
    addImage(Front, KindBlackWhite);
}
void SettingToolForm::triggeredImageListBackAddColor()
{
    addImage(Back, KindColor);
}
void SettingToolForm::triggeredImageListBackAddGray()
{
    addImage(Back, KindGray);
}
void SettingToolForm::triggeredImageListBackAddBlackWhite()
{
    addImage(Back, KindBlackWhite);
}
void SettingToolForm::itemSelectionChangedFront()
{
    selectionRule(Front);
}
void SettingToolForm::itemSelectionChangedBack()
{
    selectionRule(Back);
}
void SettingToolForm::clickedBtnFrontDelete()
{
    deleteImage(Front);
}
void SettingToolForm::clickedBtnBackDelete()
{
    deleteImage(Back);
}
void SettingToolForm::clickedBtnFrontUp()
{
    moveImage(Front, 0);
}
void SettingToolForm::clickedBtnFrontDown()
{
    moveImage(Front, 1);
}
void SettingToolForm::clickedBtnBackUp()
{
    moveImage(Back, 0);
}
void SettingToolForm::clickedBtnBackDown()
{
    moveImage(Back, 1);
}

void SettingToolForm::getSettingColorMode(ColorModeFlag ColorModeID,
                                          SettingToolSideFlag SettingToolSideID, int colorCount)
{
    const int mode = ColorModeID;
    const int side = SettingToolSideID;
    if (mode < KindBlackWhite || mode > KindColor)
        return;
    int reset = -2;
    if (side == 2 || (colorCount == 1 && (side == 0 || side == 1))) {
        fillList(Front, defaultPair(mode));
        fillList(Back, defaultPair(mode));
        reset = 2;
    } else if ((side == 0 || side == 1) && (colorCount == 2 || colorCount == 3)) {
        const Side target = side == 0 ? Front : Back;
        fillList(target, colorCount == 2 ? defaultPair(mode) : QList<int>{mode});
        reset = target;
    } else {
        return;
    }
    repairLists(-1, reset == 2 ? -1 : reset);
    m_sides[Front].list->setCurrentRow(0);
    m_sides[Back].list->setCurrentRow(0);
    createPerImageFrontChangeButton();
    createPerImageFrontAddButton();
    createPerImageBackChangeButton();
    createPerImageBackAddButton();
}

void SettingToolForm::createTwoSideOrFrontOrBackMessage()
{
    const int front = m_sides[Front].list->count();
    const int back = m_sides[Back].list->count();
    auto text = [this](Side side, int row) {
        QListWidgetItem *item = m_sides[side].list->item(row);
        return item ? item->text() : QString();
    };
    int layout;
    QString t1 = text(Front, 0), t2, t3 = text(Back, 0), t4;
    if (front == 1 && back == 2) {
        layout = 0;
        t2 = t1;
        t4 = text(Back, 1);
    } else if (front == 2 && back == 1) {
        layout = 1;
        t2 = text(Front, 1);
        t4 = t3;
    } else if (front == 2 && back == 2) {
        layout = 2;
        t2 = text(Front, 1);
        t4 = text(Back, 1);
    } else {
        return;
    }
    const bool create = ui->checkBoxFrontAndBackDidderent->isChecked() &&
                        ui->checkBoxFrontAndBackDidderent->isEnabled();
    if (m_hub)
        emit m_hub->createTwoSideOrFrontOrBack(InputDocumentFlag(inputData()),
                                               PerImageFlag(perImageData()), create,
                                               AdvancedColorCountFlag(layout), t1, t2, t3, t4);
}

void SettingToolForm::judgeColorItem(SCAN_SHORTCUT_MENU &stScanShortcut, QString itemColorText,
                                     int itemIndex)
{
    const int value = getColorItem(itemColorText);
    if (value < 0)
        return;
    ImageToolSettings s = readImageToolSettings(stScanShortcut);
    switch (itemIndex) {
    case 1:
        s.frontOneType = value;
        break;
    case 2:
        s.frontTwoType = value;
        break;
    case 3:
        s.backOneType = value;
        break;
    case 4:
        s.backTwoType = value;
        break;
    default:
        return;
    }
    writeImageToolSettings(stScanShortcut, s);
}

int SettingToolForm::getColorItem(QString itemText)
{
    return kindOf(itemText);
}

bool SettingToolForm::compareColorType(SCAN_SHORTCUT_MENU &stScanShortcut,
                                       AdvancedColorCountFlag AdvancedColorCountID,
                                       ColorModeFlag FrontOneType, ColorModeFlag FrontTwoType,
                                       ColorModeFlag BackOneType, ColorModeFlag BackTwoType)
{
    const ImageToolSettings s = readImageToolSettings(stScanShortcut);
    switch (int(AdvancedColorCountID)) {
    case 0:
        return s.frontOneType == FrontOneType && s.backOneType == BackOneType &&
               s.backTwoType == BackTwoType;
    case 1:
        return s.frontOneType == FrontOneType && s.frontTwoType == FrontTwoType &&
               s.backOneType == BackOneType;
    case 2:
        return s.frontOneType == FrontOneType && s.frontTwoType == FrontTwoType &&
               s.backOneType == BackOneType && s.backTwoType == BackTwoType;
    default:
        return true;
    }
}
