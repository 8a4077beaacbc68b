#ifndef DEVICEFORMFIXTURE_H
#define DEVICEFORMFIXTURE_H

// Shared set-up of the device page tests: the console library's
// configuration pointed at a private application folder that holds the
// default stamp graphics, a built-in profile, and widget look-ups.

#include "deviceform.h"
#include "pmessage.h"
#include "scanshortcutmenu.h"
#include "support/builtinprofiles.h"
#include "vellumglobal.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QWidget>
#include <QtTest>

#include <cstring>

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

template <typename T>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

inline QByteArray bytes(const void *p, size_t n)
{
    return QByteArray(static_cast<const char *>(p), int(n));
}

// The text stamp's template: the codes, then 'Z' to the end of the field.
inline void setTemplate(tagSTAMP_CONFIG &s, const QByteArray &codes)
{
    std::memset(s.textTemplate, 'Z', sizeof(s.textTemplate));
    std::memcpy(s.textTemplate, codes.constData(), size_t(qMin(codes.size(), 40)));
}

inline void saveGrab(QWidget *w, const QString &name)
{
    const QString dir = QDir::tempPath() + "/grabs";
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}

// The page on its own hub, shown with profiles the way the console shows
// them: between switching its notifications off and on again.
class FormFixture
{
protected:
    PMessage *m_hub = nullptr;
    DeviceForm *m_form = nullptr;
    tagSCAN_SHORTCUT_MENU m_base;

    void createForm()
    {
        m_hub = new PMessage;
        m_form = new DeviceForm(m_hub);
        m_form->resize(844, 551);
        show(m_base);
    }
    void destroyForm()
    {
        delete m_form;
        m_form = nullptr;
        delete m_hub;
        m_hub = nullptr;
    }
    void show(tagSCAN_SHORTCUT_MENU &r)
    {
        m_form->disconnectAllChangeValueControlMessages();
        m_form->updateDeviceVariableToUIControl(r);
        m_form->connectAllChangeValueControlMessages();
    }
    // The base profile in another size unit and resolution.
    tagSCAN_SHORTCUT_MENU profile(int unit, int dpi = 200) const
    {
        tagSCAN_SHORTCUT_MENU r = m_base;
        r.sizeUnit = ImageSizeUnitFlag(unit);
        r.sideSettings[0].resolution = dpi;
        return r;
    }
    QDoubleSpinBox *spin(const char *name) { return child<QDoubleSpinBox>(m_form, name); }
    // A value typed into a length box, as the box shows it once the edit ends.
    static double finishEditing(QDoubleSpinBox *s, double v)
    {
        s->setValue(v);
        emit s->editingFinished();
        return s->value();
    }
};

} // namespace devicetest

#endif
