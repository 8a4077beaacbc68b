// The preview's arithmetic as numbers: ruler ticks per unit, the frame's place
// on screen, the drag clamps and the conversion to inches.
#include "previewgeometry.h"

#include <QtTest>

using namespace preview;

namespace {

QStringList longLabels(const QVector<RulerTick> &ticks, int count)
{
    QStringList out;
    for (const RulerTick &t : ticks)
        if (!t.label.isEmpty() && out.size() < count)
            out << t.label;
    return out;
}

const RulerTick *firstLong(const QVector<RulerTick> &ticks)
{
    for (const RulerTick &t : ticks)
        if (t.end == -1)
            return &t;
    return nullptr;
}

} // namespace

class TestPreviewGeometry : public QObject
{
    Q_OBJECT
private slots:
    void rulerLabels_data()
    {
        QTest::addColumn<int>("axis");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("scroll");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<int>("firstLongPos");
        QTest::addColumn<QPoint>("firstLabelAt");
        // Inch: a label every 24 base pixels, standing 10 pixels left of its tick.
        QTest::newRow("inch top") << 0 << int(UnitInch) << 1 << 0 << QStringList{"0", "1", "2", "3"}
                                  << 0 << QPoint(-10, 11);
        QTest::newRow("inch left")
            << 1 << int(UnitInch) << 1 << 0 << QStringList{"0", "1", "2"} << 0 << QPoint(4, -3);
        // Pixels at 300 dpi: a label every two inches.
        QTest::newRow("pixel top")
            << 0 << int(UnitPixel) << 1 << 0 << QStringList{"0", "600", "1200", "1800"} << 0
            << QPoint(-20, 11);
        QTest::newRow("centimetre top") << 0 << int(UnitCentimetre) << 1 << 0
                                        << QStringList{"0", "2", "4", "6"} << 0 << QPoint(-10, 11);
        // Zoom 4 scrolled by 10 base pixels: the first long tick is the first
        // whole inch at or after the scroll value, 4 x (24 - 10) along.
        QTest::newRow("inch zoom 4 scrolled")
            << 0 << int(UnitInch) << 4 << 10 << QStringList{"1", "2"} << 56 << QPoint(46, 11);
        QTest::newRow("inch zoom 4 on an inch")
            << 0 << int(UnitInch) << 4 << 48 << QStringList{"2", "3"} << 0 << QPoint(-10, 11);
        QTest::newRow("pixel left zoom 2 scrolled")
            << 1 << int(UnitPixel) << 2 << 30 << QStringList{"600", "1200"} << 36 << QPoint(4, 33);
        // Centimetres scrolled: the loop starts at trunc(13 x 1.27) = 16,
        // the first long tick is 24, drawn at trunc(2 x 8 / 1.27) = 12.
        QTest::newRow("centimetre zoom 2 scrolled")
            << 0 << int(UnitCentimetre) << 2 << 13 << QStringList{"2", "4"} << 12 << QPoint(2, 11);
    }
    void rulerLabels()
    {
        QFETCH(int, axis);
        QFETCH(int, unit);
        QFETCH(int, zoom);
        QFETCH(int, scroll);
        QFETCH(QStringList, labels);
        QFETCH(int, firstLongPos);
        QFETCH(QPoint, firstLabelAt);
        const auto ticks =
            rulerTicks(axis == 0 ? RulerAxis::Top : RulerAxis::Left, unit, zoom, scroll, 349);
        QCOMPARE(longLabels(ticks, labels.size()), labels);
        const RulerTick *first = firstLong(ticks);
        QVERIFY(first);
        QCOMPARE(first->pos, firstLongPos);
        QCOMPARE(first->labelAt, firstLabelAt);
    }

    void tickLengthsAndSpans()
    {
        // Inch at zoom 1: quarter, half and whole inches; the top ruler covers
        // the form's width, the left one the bed's 17 inches.
        const auto top = rulerTicks(RulerAxis::Top, UnitInch, 1, 0, 349);
        QCOMPARE(top.at(0).end, -1);
        QCOMPARE(top.at(1).pos, 6);
        QCOMPARE(top.at(1).end, 16);
        QCOMPARE(top.at(2).pos, 12);
        QCOMPARE(top.at(2).end, 14);
        QCOMPARE(top.last().pos, 348);
        const auto left = rulerTicks(RulerAxis::Left, UnitInch, 1, 0, 9999);
        QCOMPARE(left.last().pos, 402);
        QCOMPARE(left.size(), 408 / 6);
        // An unknown unit draws only the border.
        QVERIFY(rulerTicks(RulerAxis::Top, 7, 1, 0, 349).isEmpty());
    }

    void frameOnScreen_data()
    {
        QTest::addColumn<QList<double>>("area");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QPoint>("scroll");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("zoom 1 truncates")
            << QList<double>{29.9, 70.5, 48.7, 72.2} << 1 << QPoint(0, 0) << QRect(29, 70, 48, 72);
        QTest::newRow("zoom 1 ignores scrolling")
            << QList<double>{40, 80, 10, 10} << 1 << QPoint(5, 5) << QRect(40, 80, 10, 10);
        QTest::newRow("zoom 4 scrolled")
            << QList<double>{125, 166, 48, 72} << 4 << QPoint(5, 10) << QRect(105, 126, 192, 288);
    }
    void frameOnScreen()
    {
        QFETCH(QList<double>, area);
        QFETCH(int, zoom);
        QFETCH(QPoint, scroll);
        QFETCH(QRect, rect);
        QCOMPARE(frameRect(area[0], area[1], area[2], area[3], zoom, scroll.x(), scroll.y()), rect);
    }

    void dragClamps()
    {
        // Halves round up, towards +infinity, before the bed corner is taken off.
        QCOMPARE(bedPoint(40.5, 80.4), QPoint(12, 10));
        QCOMPARE(bedPoint(28.5, 69.5), QPoint(0, 0));
        QCOMPARE(bedPoint(28.4, 69.4), QPoint(-1, -1));

        QCOMPARE(dragMaxX(12.08, 48, 1), 270);
        QCOMPARE(dragMaxY(72, 1), 406);
        QCOMPARE(dragMaxY(72, 2), 742);
        QCOMPARE(clampAxis(500, 29, 270), 270);
        QCOMPARE(clampAxis(-3, 29, 270), 29);
        QCOMPARE(clampAxis(100, 29, 270), 100);
        // A frame wider than the bed: the upper bound is below the lower one
        // and the frame stays at the bed's edge whatever the pointer does.
        const int max = dragMaxX(12.08, 13 * 24, 1);
        QVERIFY(max < 29);
        QCOMPARE(clampAxis(200, 29, max), 29);
        QCOMPARE(clampAxis(-50, 29, max), 29);
    }

    void inchesForTheSettingsForm()
    {
        const AreaInches a = areaToInches(71, 80, 48, 72, 1);
        QCOMPARE(a.x, 1.75);
        QCOMPARE(a.y, 10.0 / 24);
        QCOMPARE(a.width, 2.0);
        QCOMPARE(a.height, 3.0);
        const AreaInches z = areaToInches(125, 166, 48, 72, 4);
        QCOMPARE(z.x, 1.0);
        QCOMPARE(z.y, 1.0);
    }

    void scaledSizes()
    {
        const QSize a4(2480, 3508);
        QCOMPARE(zoomOneImageSize(a4), QSize(197, 280));
        QCOMPARE(scaledImageSize(a4, 2, false), QSize(396, 561));
        QCOMPARE(scaledImageSize(a4, 32, false), QSize(6348, 8980));
        // After a Shrink the height is whole base pixels times the zoom.
        QCOMPARE(scaledImageSize(a4, 2, true).height(), 560);
        QVERIFY(scaledImageSize(QSize(), 4, false).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestPreviewGeometry)
#include "tst_previewgeometry.moc"
