#ifndef CONSOLETESTUTIL_H
#define CONSOLETESTUTIL_H

#include "scanmainwindow.h"
#include "support/modalanswer.h"
#include "vellumglobal.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QtTest>

// The console's pictures live in a resource of the static library, which a
// test program must register itself.
inline void initConsoleResources()
{
    Q_INIT_RESOURCE(console);
}

// Small helpers shared by the console's widget tests.
namespace consoletest {

// A widget of the window's own form: the pages inside it use some of the
// same object names.
template <typename T>
T *child(QObject *parent, const char *name)
{
    static const char *const pages[] = {"SettingForm", "OxAdvancedSettingForm", "DeviceForm",
                                        "DiagnosticsForm", "PreviewForm"};
    for (T *w : parent->findChildren<T *>(QString::fromLatin1(name))) {
        bool inPage = false;
        for (QObject *o = w->parent(); o && o != parent; o = o->parent())
            for (const char *page : pages)
                inPage = inPage || o->inherits(page);
        if (!inPage)
            return w;
    }
    qWarning("no child %s", name);
    return nullptr;
}

// The window's own tab widget (the pages have tab widgets of that name too).
inline QTabWidget *mainTabs(QWidget &w)
{
    QWidget *page = w.findChild<QWidget *>("pageMainPage");
    return page ? page->findChild<QTabWidget *>("tabWidget", Qt::FindDirectChildrenOnly) : nullptr;
}

inline QListWidget *list(ScanMainWindow &w)
{
    return child<QListWidget>(&w, "listWidgetPredefine");
}
inline QComboBox *inputDoc(ScanMainWindow &w)
{
    return child<QComboBox>(&w, "comboBoxInputDoc");
}
inline QPushButton *button(ScanMainWindow &w, const char *name)
{
    return child<QPushButton>(&w, name);
}

// The profile files on disk: name -> size, "profile.ini" included.
inline QStringList profileFiles()
{
    QDir dir(g_VellumCfgFile.m_strProfilesDir);
    return dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

// The titles of the boxes an answerer met, in order.
inline QStringList titles(const testsupport::ModalAnswerer &answerer)
{
    QStringList out;
    for (const testsupport::ModalSeen &seen : answerer.seen())
        out << seen.title;
    return out;
}

inline QString currentName(ScanMainWindow &w)
{
    tagSCAN_SHORTCUT_MENU p;
    zeroScanShortcut(p);
    w.getCurrentScanShortcutMenu(p);
    return scanText(p.name);
}

// Puts the installed imprinter graphics beside the test program, as an
// installation has them, so that the built-in profiles load unchanged.
inline void installStampGraphics()
{
    initConsoleResources();
    const QString target = QCoreApplication::applicationDirPath() + "/stamp";
    QDir().mkpath(target);
    QDir source(QStringLiteral(CORVAN_SOURCE_DIR) + "/resources/stamps");
    for (const QString &f : source.entryList(QDir::Files))
        if (!QFile::exists(target + "/" + f))
            QFile::copy(source.filePath(f), target + "/" + f);
}

// Saves a picture of a widget under the test's temporary directory.
inline void grab(QWidget *w, const QString &name)
{
    const QString dir = QDir::tempPath() + "/grabs";
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}

} // namespace consoletest

#endif
