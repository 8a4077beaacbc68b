#ifndef SETTINGFORMFIXTURE_H
#define SETTINGFORMFIXTURE_H

// Shared helpers of the settings form tests: the built-in profiles, a load
// bracketed the way the console brackets it, and user-like edits.

#include "pmessage.h"
#include "scanshortcutmenu.h"
#include "settingform.h"
#include "support/builtinprofiles.h"
#include "support/recorddiff.h"
#include "ui_settingform.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QtTest>

namespace settingtest {

using testsupport::builtInProfiles;

inline QList<tagSCAN_SHORTCUT_MENU> builtIns()
{
    return builtInProfiles();
}

inline tagSCAN_SHORTCUT_MENU builtIn(const QString &name)
{
    for (const tagSCAN_SHORTCUT_MENU &r : builtIns())
        if (CommonFunc::charsToString(r.name, 128) == name)
            return r;
    qFatal("no built-in profile %s", qPrintable(name));
    return tagSCAN_SHORTCUT_MENU();
}

inline tagSCAN_SHORTCUT_MENU colourDocument()
{
    return builtIn(QStringLiteral("彩色 Clearleaf 文档"));
}

inline void load(SettingForm &form, tagSCAN_SHORTCUT_MENU &profile)
{
    form.disconnectAllChangeValueControlMessages();
    form.updateVariableToUIControl(profile);
    form.connectAllChangeValueControlMessages();
}

// The profile as the form would save it now.
inline tagSCAN_SHORTCUT_MENU saved(SettingForm &form, const tagSCAN_SHORTCUT_MENU &base)
{
    tagSCAN_SHORTCUT_MENU copy = base;
    form.updateUIControlToVariable(copy);
    return copy;
}

inline void chooseData(QComboBox *combo, int value)
{
    const int i = combo->findData(value);
    QVERIFY2(i >= 0,
             qPrintable(QStringLiteral("%1 has no item %2").arg(combo->objectName()).arg(value)));
    combo->setCurrentIndex(i);
}

// Types a value and presses Return, as a user finishes an edit.
inline void typeValue(QAbstractSpinBox *box, const QString &text)
{
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

// Sets a value and finishes the edit, also where the field is disabled.
inline void finishEdit(QDoubleSpinBox *box, double value)
{
    box->setValue(value);
    emit box->editingFinished();
}

inline QList<int> diff(const tagSCAN_SHORTCUT_MENU &a, const tagSCAN_SHORTCUT_MENU &b)
{
    return testsupport::changedOffsets(a, b);
}

// One form that the cases of a program share: the console, too, loads
// profile after profile into the same form.
class SharedFormTest : public QObject
{
    Q_OBJECT

protected:
    PMessage *m_hub = nullptr;
    SettingForm *m_form = nullptr;

private slots:
    void initTestCase()
    {
        m_hub = new PMessage;
        m_form = new SettingForm(m_hub);
    }
    void cleanupTestCase()
    {
        delete m_form;
        delete m_hub;
    }
};

} // namespace settingtest

#define COMPARE_DIFF(a, b, expected)                                                               \
    QVERIFY2(settingtest::diff(a, b) == (expected), qPrintable(testsupport::describeChanges(a, b)))

#endif
