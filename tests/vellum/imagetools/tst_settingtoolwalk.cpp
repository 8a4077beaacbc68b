// Random walks over the image tool form: from every built-in, a fresh form
// and crafted records, 500 steps each among what a user or the host can do
// at that moment. After every step the image lists keep their rules, the
// list message reports valid lists, and store and compare agree.

#include "imagetooltest.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace imagetooltest;

class TestSettingToolWalk : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { PMessage::registerMetaTypes(); }
    void walk_data();
    void walk();
};

void TestSettingToolWalk::walk_data()
{
    QTest::addColumn<int>("start");
    QTest::newRow("fresh form") << -1;
    for (int i = 0; i < 6; ++i)
        QTest::addRow("built-in %d", i) << i;
    for (int layout : {0, 1, 2, 5})
        QTest::addRow("crafted layout %d", layout) << 100 + layout;
}

namespace {

// Enabled and shown on its tab page: the user can switch to any tab.
bool usable(QWidget *w, QWidget *top)
{
    QWidget *page = w;
    while (page->parentWidget() && page->parentWidget() != top &&
           !page->parentWidget()->inherits("QStackedWidget"))
        page = page->parentWidget();
    return w->isEnabled() && (w == page || w->isVisibleTo(page));
}

// Checks the arguments of one list message.
bool messageValid(const QVariantList &args, QString *why)
{
    const int layout = args.at(3).toInt();
    const QString t1 = letter(args.at(4).toString()), t2 = letter(args.at(5).toString());
    const QString t3 = letter(args.at(6).toString()), t4 = letter(args.at(7).toString());
    QString front = layout == 0 ? t1 : t1 + t2;
    QString back = layout == 1 ? t3 : t3 + t4;
    const bool shape = (layout == 0 && t1 == t2) || (layout == 1 && t3 == t4) || layout == 2;
    if (!shape || !listsValid(front, back, why)) {
        *why = QStringLiteral("message layout %1: %2 %3 %4 %5").arg(layout).arg(t1, t2, t3, t4);
        return false;
    }
    return true;
}

} // namespace

void TestSettingToolWalk::walk()
{
    QFETCH(int, start);
    Rig rig;
    rig.form.resize(756, 628);
    rig.form.show();
    tagSCAN_SHORTCUT_MENU record = builtIns().at(4);
    if (start >= 100)
        record = crafted(start - 100, 1, 0, 2, 0);
    else if (start >= 0)
        record = builtIns().at(start);
    if (start >= 0)
        rig.load(record);
    else
        rig.form.connectAllChangeValueControlMessages();

    QSignalSpy messages(&rig.hub, &PMessage::createTwoSideOrFrontOrBack);
    QRandomGenerator rng(quint32(1234 + start));
    const QStringList combos = {"comboBoxToolInputDoc",        "comboBoxToolSleevedDoc",
                                "comboBoxToolSplitDoc",        "comboBoxToolLength",
                                "comboBoxCombineFrontAndBack", "comboBoxImagesPerSide"};
    QStringList trail;
    for (int step = 0; step < 500; ++step) {
        QList<QPair<QString, std::function<void()>>> actions;
        for (bool front : {true, false}) {
            for (QPushButton *b : {rig.add(front), rig.change(front)})
                if (usable(b, &rig.form) && b->menu())
                    for (QAction *a : b->menu()->actions())
                        actions.append(
                            {b->objectName() + " " + letter(a->text()), [a] { a->trigger(); }});
            for (QAbstractButton *b :
                 QList<QAbstractButton *>{rig.remove(front), rig.up(front), rig.down(front)})
                if (usable(b, &rig.form))
                    actions.append({b->objectName(), [b] { b->click(); }});
            QListWidget *list = rig.list(front);
            if (usable(list, &rig.form))
                for (int row = 0; row < list->count(); ++row)
                    actions.append({list->objectName() + QString::number(row),
                                    [list, row] { list->setCurrentRow(row); }});
        }
        for (const QString &name : combos) {
            QComboBox *c = rig.combo(name);
            if (usable(c, &rig.form))
                for (int i = 0; i < c->count(); ++i)
                    actions.append(
                        {name + " " + QString::number(i), [c, i] { c->setCurrentIndex(i); }});
        }
        if (usable(rig.different(), &rig.form))
            actions.append({"different", [&rig] { rig.different()->click(); }});
        for (const char *name : {"doubleSpinBoxLengthLeft", "doubleSpinBoxLengthRight"}) {
            auto *spin = rig.w<QDoubleSpinBox>(name);
            if (usable(spin, &rig.form))
                actions.append({name, [spin, &rng] {
                                    spin->setValue(rng.bounded(3000.0));
                                    emit spin->editingFinished();
                                }});
        }
        actions.append({"done", [&rig] { rig.button("pushButtonHide")->click(); }});
        actions.append({"hub input", [&rig, &rng] {
                            emit rig.hub.changedInputDocTypeMainToSettingTool(
                                InputDocumentFlag(QList<int>{0, 1, 2, 7}[rng.bounded(4)]));
                        }});
        actions.append({"hub source", [&rig, &rng] {
                            emit rig.hub.changedPaperSource(
                                AdfPaperSourceFlag(QList<int>{0, 5, 6, 11}[rng.bounded(4)]));
                        }});
        actions.append({"hub unit", [&rig, &rng] {
                            emit rig.hub.changedImageSizeUnit(ImageSizeUnitFlag(rng.bounded(4)));
                        }});
        actions.append({"hub colour mode", [&rig, &rng] {
                            emit rig.hub.settingColorMode(ColorModeFlag(rng.bounded(4)),
                                                          SettingToolSideFlag(rng.bounded(4)),
                                                          rng.bounded(4));
                        }});
        actions.append({"hub learn", [&rig] { emit rig.hub.saveAdvancedSetting(); }});
        // The host loads another record: layouts, colours and modes of any
        // value, the lists repaired where they break the rules.
        actions.append({"host load", [&rig, &rng, &record] {
                            record =
                                crafted(rng.bounded(-1, 6), rng.bounded(-1, 4), rng.bounded(-1, 4),
                                        rng.bounded(-1, 4), rng.bounded(-1, 4));
                            ImageToolSettings s = readImageToolSettings(record);
                            s.perImage = rng.bounded(4);
                            s.frontAndBackDifferent = quint8(rng.bounded(2));
                            s.sleevedDocument = rng.bounded(6);
                            writeImageToolSettings(record, s);
                            record.inputDocument = InputDocumentFlag(rng.bounded(3));
                            rig.load(record);
                        }});
        actions.append({"hub auto colour", [&rig, &rng] {
                            emit rig.hub.sendAutoColorValue(rng.bounded(400), rng.bounded(200));
                        }});

        // Half of the steps go to the lists whenever they can be used, so
        // the walk does not drown in combo choices and hub signals.
        QList<int> listActions;
        for (int i = 0; i < actions.size(); ++i)
            if (actions[i].first.contains("Images"))
                listActions << i;
        const int pick = !listActions.isEmpty() && rng.bounded(2) == 0
                             ? listActions.at(rng.bounded(listActions.size()))
                             : rng.bounded(actions.size());
        const auto &chosen = actions.at(pick);
        trail << chosen.first;
        messages.clear();
        chosen.second();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QString why;
        QVERIFY2(listsValid(rig.kinds(true), rig.kinds(false), &why),
                 qPrintable(why + " after " + trail.mid(trail.size() - 8).join(", ")));
        for (const QVariantList &args : qAsConst(messages))
            QVERIFY2(messageValid(args, &why), qPrintable(why + " after " + chosen.first));
        tagSCAN_SHORTCUT_MENU stored = rig.saved(record);
        QVERIFY2(rig.form.compareVariableAndUIControl(stored), qPrintable(chosen.first));
        const int layout = readImageToolSettings(stored).layout;
        QVERIFY(layout >= 0 && layout <= 2);
    }
    QCOMPARE(trail.size(), 500);
    QVERIFY(trail.filter("Images").size() > 100);
}

QTEST_MAIN(TestSettingToolWalk)
#include "tst_settingtoolwalk.moc"
