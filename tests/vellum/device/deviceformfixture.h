#ifndef DEVICEFORMFIXTURE_H
#define DEVICEFORMFIXTURE_H

// Shared set-up of the device page tests: the console library's
// configuration pointed at a private application folder that holds the
// default stamp graphics, a built-in profile, and widget look-ups.

#include "deviceform.h"
#include "pmessage.h"
#include "scanshortcutmenu.h"
#include "vellumglobal.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QWidget>
#include <QtTest>

namespace devicetest {

// Points g_VellumCfgFile at TMPDIR/app, whose stamp folder holds the
// defaults. The per-user folders live under the test's private home.
inline void setUpConfig()
{
    const QString app = QDir::tempPath() + "/app";
    QDir().mkpath(app + "/stamp");
    QDir src(CORVAN_STAMP_SOURCE_DIR);
    for (const QString &name : src.entryList({"*.png"}, QDir::Files))
        QFile::copy(src.filePath(name), app + "/stamp/" + name);
    g_VellumCfgFile.loadConfigFile(app);
}

inline tagSCAN_SHORTCUT_MENU builtInProfile()
{
    ScanShortcutMenu menu;
    menu.loadDefaultScanShortcut();
    tagSCAN_SHORTCUT_MENU r;
    zeroScanShortcut(r);
    if (!menu.getScanShortcutItem(0, r))
        qFatal("no built-in profile");
    return r;
}

template <typename T>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

inline void saveGrab(QWidget *w, const QString &name)
{
    const QString dir = QDir::tempPath() + "/grabs";
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}

} // namespace devicetest

#endif
