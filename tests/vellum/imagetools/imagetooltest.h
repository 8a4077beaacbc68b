#ifndef IMAGETOOLTEST_H
#define IMAGETOOLTEST_H

// Shared rig of the image tool form tests: one form on its own hub, loaded
// the way a host loads it, and the lists read back as kind letters.

#include "imagetoolrecord.h"
#include "pmessage.h"
#include "scanshortcutmenu.h"
#include "settingtoolform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

namespace imagetooltest {

inline const QString kColour = QStringLiteral("彩色（24 位）");
inline const QString kGray = QStringLiteral("灰度（8 位）");
inline const QString kBlackWhite = QStringLiteral("黑白（1 位）");

// "C", "G", "B" per item, "?" for anything else.
inline QString letter(const QString &text)
{
    return text == kColour ? "C" : text == kGray ? "G" : text == kBlackWhite ? "B" : "?";
}

inline QList<tagSCAN_SHORTCUT_MENU> builtIns()
{
    ScanShortcutMenu store;
    if (store.getScanShortcutCount() == 0)
        store.loadDefaultScanShortcut();
    QList<tagSCAN_SHORTCUT_MENU> out;
    for (int i = 0; i < store.getScanShortcutCount() && out.size() < 6; ++i) {
        tagSCAN_SHORTCUT_MENU r;
        store.getScanShortcutItem(i, r);
        out << r;
    }
    return out;
}

struct Rig
{
    PMessage hub;
    SettingToolForm form{&hub};

    void load(tagSCAN_SHORTCUT_MENU &r)
    {
        form.disconnectAllChangeValueControlMessages();
        form.updateVariableToUIControl(r);
        form.connectAllChangeValueControlMessages();
    }
    template <class T>
    T *w(const QString &name)
    {
        T *found = form.findChild<T *>(name);
        if (!found)
            qFatal("no widget %s", qPrintable(name));
        return found;
    }
    QListWidget *list(bool front)
    {
        return w<QListWidget>(front ? "listWidgetImagesFront" : "listWidgetImagesBack");
    }
    QString kinds(bool front)
    {
        QString out;
        QListWidget *l = list(front);
        for (int i = 0; i < l->count(); ++i)
            out += letter(l->item(i)->text());
        return out;
    }
    // Loads r as a record of both sides; returns what was loaded.
    tagSCAN_SHORTCUT_MENU loadBoth(tagSCAN_SHORTCUT_MENU r)
    {
        r.inputDocument = InputDocumentBoth;
        load(r);
        return r;
    }
    // Both lists at once, "front/back".
    QString lists() { return kinds(true) + "/" + kinds(false); }
    // The record as the form stores it over r.
    tagSCAN_SHORTCUT_MENU saved(tagSCAN_SHORTCUT_MENU r)
    {
        form.updateUIControlToVariable(r);
        return r;
    }
    QPushButton *button(const QString &name) { return w<QPushButton>(name); }
    QToolButton *remove(bool front)
    {
        return w<QToolButton>(front ? "toolButtonImagesFrontDelete" : "toolButtonImagesBackDelete");
    }
    QString side(bool front) { return front ? "Front" : "Back"; }
    QPushButton *add(bool front) { return button("pushButtonImages" + side(front) + "Add"); }
    QPushButton *change(bool front) { return button("pushButtonImages" + side(front) + "Change"); }
    QPushButton *up(bool front) { return button("pushButtonImages" + side(front) + "Up"); }
    QPushButton *down(bool front) { return button("pushButtonImages" + side(front) + "Down"); }
    QString menuKinds(QPushButton *b)
    {
        QString out;
        if (b->menu())
            for (QAction *a : b->menu()->actions())
                out += letter(a->text());
        return out;
    }
    void trigger(QPushButton *b, const QString &kind)
    {
        for (QAction *a : b->menu()->actions())
            if (letter(a->text()) == kind) {
                a->trigger();
                return;
            }
        qFatal("no action %s", qPrintable(kind));
    }
    QComboBox *combo(const QString &name) { return w<QComboBox>(name); }
    void choose(const QString &name, int data)
    {
        QComboBox *c = combo(name);
        c->setCurrentIndex(c->findData(data));
    }
    QCheckBox *different() { return w<QCheckBox>("checkBoxFrontAndBackDidderent"); }
    QTabWidget *tabs() { return w<QTabWidget>("tabWidgetTool"); }
    bool contentTab()
    {
        return tabs()->count() > 2 && tabs()->tabText(2) == QStringLiteral("内容设置");
    }
};

// A record whose image tool fields say something: both sides, lists by the
// given layout and colours.
inline tagSCAN_SHORTCUT_MENU crafted(int layout, int f1, int f2, int b1, int b2)
{
    tagSCAN_SHORTCUT_MENU r = builtIns().at(4);
    ImageToolSettings s = readImageToolSettings(r);
    s.inputDocument = 2;
    s.layout = layout;
    s.frontOneType = f1;
    s.frontTwoType = f2;
    s.backOneType = b1;
    s.backTwoType = b2;
    s.lengthLeft = 3.0;
    s.lengthRight = 4.0;
    writeImageToolSettings(r, s);
    return r;
}

// The lists' rules: one or two items, a pair is black-and-white plus colour
// or gray, at most one list single.
inline bool listsValid(const QString &front, const QString &back, QString *why = nullptr)
{
    auto ok = [](const QString &k) {
        if (k.size() == 1)
            return k != "?";
        if (k.size() != 2)
            return false;
        return (k[0] == 'B' && (k[1] == 'C' || k[1] == 'G')) ||
               (k[1] == 'B' && (k[0] == 'C' || k[0] == 'G'));
    };
    const bool valid = ok(front) && ok(back) && !(front.size() == 1 && back.size() == 1);
    if (!valid && why)
        *why = QStringLiteral("front %1, back %2").arg(front, back);
    return valid;
}

} // namespace imagetooltest

#endif
