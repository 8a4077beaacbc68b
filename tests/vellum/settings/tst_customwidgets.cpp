// The slider that jumps to the press point and the spin box whose steps count
// as finished edits; also checks that the record-diff helper used by the form
// tests covers the whole profile record.

#include "customdoublespinbox.h"
#include "customslider.h"
#include "support/recorddiff.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

class TstCustomWidgets : public QObject
{
    Q_OBJECT

private:
    static void send(QWidget *w, QEvent::Type type, int x, Qt::MouseButton button,
                     Qt::MouseButtons held)
    {
        QMouseEvent ev(type, QPointF(x, 5), w->mapToGlobal(QPoint(x, 5)), button, held,
                       Qt::NoModifier);
        QCoreApplication::sendEvent(w, &ev);
    }

private slots:
    void pressAndRelease_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("expected");
        QTest::newRow("0..100 middle") << 0 << 100 << 201 << 100 << 50;
        QTest::newRow("0..100 right edge") << 0 << 100 << 201 << 201 << 100;
        QTest::newRow("0..100 beyond right") << 0 << 100 << 201 << 400 << 100;
        QTest::newRow("0..100 left of slider") << 0 << 100 << 201 << -5 << 0;
        QTest::newRow("-100..100 x99") << -100 << 100 << 200 << 99 << -1;
        QTest::newRow("-100..100 x10") << -100 << 100 << 200 << 10 << -90;
        QTest::newRow("-10..10 truncates toward zero") << -10 << 10 << 101 << 47 << 0;
        QTest::newRow("-10..10 rounds half up") << -10 << 10 << 101 << 60 << 2;
        QTest::newRow("0..255 threshold") << 0 << 255 << 256 << 90 << 90;
    }
    void pressAndRelease()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, width);
        QFETCH(int, x);
        QFETCH(int, expected);
        CustomSlider s;
        s.setOrientation(Qt::Horizontal);
        s.setRange(minimum, maximum);
        s.setValue(minimum == 0 ? 7 : 3);
        s.resize(width, 20);
        QSignalSpy chosen(&s, &CustomSlider::sliderValueChange);

        send(&s, QEvent::MouseButtonPress, x, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(s.value(), expected);
        QCOMPARE(chosen.count(), 0);
        send(&s, QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(s.value(), expected);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), expected);
    }

    void otherButtonsAndDragsChangeNothing()
    {
        CustomSlider s;
        s.setOrientation(Qt::Horizontal);
        s.setRange(0, 100);
        s.setValue(20);
        s.resize(201, 20);
        QSignalSpy chosen(&s, &CustomSlider::sliderValueChange);
        QSignalSpy changed(&s, &QSlider::valueChanged);
        // The value is already set when the choice is reported.
        int valueAtReport = -1;
        connect(&s, &CustomSlider::sliderValueChange, &s, [&] { valueAtReport = s.value(); });

        send(&s, QEvent::MouseButtonPress, 150, Qt::RightButton, Qt::RightButton);
        send(&s, QEvent::MouseButtonRelease, 150, Qt::RightButton, Qt::NoButton);
        QCOMPARE(s.value(), 20);
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(changed.count(), 0);

        // Press at 40, drag across, release at 160: only press and release
        // points count, and the value is reported once.
        send(&s, QEvent::MouseButtonPress, 40, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(s.value(), 20);
        for (int x = 50; x <= 190; x += 20) {
            send(&s, QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton);
            QCOMPARE(s.value(), 20);
        }
        send(&s, QEvent::MouseButtonRelease, 160, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(s.value(), 80);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), 80);
        QCOMPARE(valueAtReport, 80);
    }

    void zeroWidthSliderIgnoresPresses()
    {
        CustomSlider s;
        s.setRange(-50, 50);
        s.setValue(12);
        s.resize(0, 20);
        QSignalSpy chosen(&s, &CustomSlider::sliderValueChange);
        send(&s, QEvent::MouseButtonPress, 0, Qt::LeftButton, Qt::LeftButton);
        send(&s, QEvent::MouseButtonRelease, 0, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(s.value(), 12);
        QCOMPARE(chosen.count(), 0);
    }

    void stepsFinishTheEdit()
    {
        CustomDoubleSpinBox box;
        box.setDecimals(2);
        box.setRange(0, 3.0);
        box.setSingleStep(0.01);
        box.setValue(2.50);
        QSignalSpy finished(&box, &QDoubleSpinBox::editingFinished);

        box.stepBy(1);
        QCOMPARE(box.value(), 2.51);
        QCOMPARE(finished.count(), 1);
        box.stepBy(-3);
        QCOMPARE(box.value(), 2.48);
        QCOMPARE(finished.count(), 2);

        box.setValue(3.0);
        box.stepBy(1);
        QCOMPARE(box.value(), 3.0);
        QCOMPARE(finished.count(), 3);

        // The arrow key goes through stepBy as well.
        box.setValue(1.0);
        QTest::keyClick(&box, Qt::Key_Up);
        QCOMPARE(box.value(), 1.01);
        QCOMPARE(finished.count(), 4);
    }

    void recordDiffCoversTheRecord()
    {
        QVERIFY(testsupport::recordFieldsCoverRecord());
        tagSCAN_SHORTCUT_MENU a, b;
        zeroScanShortcut(a);
        zeroScanShortcut(b);
        QVERIFY(testsupport::changedOffsets(a, b).isEmpty());
        b.sideSettings[0].compressionType = CompressionTypeFlag(2);
        b.sideSettings[1].barcodeTypes[9] = true;
        b.pageSizes[22] = true;
        QCOMPARE(testsupport::changedOffsets(a, b), (QList<int>{2624, 2928 + 262, 3959}));
        QVERIFY(testsupport::describeChanges(a, b).contains(
            QStringLiteral("sideSettings[0].compressionType")));
    }
};

QTEST_MAIN(TstCustomWidgets)
#include "tst_customwidgets.moc"
