// The preview page as a user meets it: zoom, the preview picture, the menus
// shared by the settings page's and the device page's previews, the re-scan
// question, and dragging, rotating and centring the scan-area frame.
#include "pmessage.h"
#include "previewform.h"
#include "previewupdatedialog.h"
#include "support/modalanswer.h"
#include "support/processes.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::ModalAnswerer;

namespace {

QPushButton *button(PreviewForm &f, const char *name)
{
    return f.findChild<QPushButton *>(name);
}

QAction *menuEntry(PreviewForm &f, const char *buttonName, const QString &text)
{
    for (QAction *a : button(f, buttonName)->menu()->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

QString ticked(PreviewForm &f, const char *buttonName)
{
    QStringList on;
    for (QAction *a : button(f, buttonName)->menu()->actions())
        if (a->isChecked())
            on << a->text();
    return on.join(',');
}

void mouse(QWidget &w, QEvent::Type type, QPointF pos, Qt::MouseButtons held)
{
    const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, pos, w.mapToGlobal(pos.toPoint()), b, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

void press(QWidget &w, QPointF pos)
{
    mouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton);
}
void move(QWidget &w, QPointF pos)
{
    mouse(w, QEvent::MouseMove, pos, Qt::LeftButton);
}
void release(QWidget &w, QPointF pos)
{
    mouse(w, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

// The scan-area frame's corner on the bed, as the form holds it.
QPointF corner(const PreviewForm &f)
{
    return {f.areaX(), f.areaY()};
}

bool isDark(QRgb c)
{
    return qGray(c) < 100;
}

QString saveImage(const QString &dir, const QString &name, const QImage &img)
{
    const QString path = dir + "/" + name;
    return img.save(path) ? path : QString();
}

QImage solid(QColor c, QSize size = QSize(600, 900))
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

} // namespace

class TestPreviewForm : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Kept for looking at the grabs; the test's temporary folder is private.
        m_dir.setAutoRemove(false);
        PMessage::registerMetaTypes();
    }

    void zoomRunsFromOneToThirtyTwoAndBack()
    {
        PMessage hub;
        PreviewForm f(&hub);
        auto *magnify = button(f, "pushButtonSettingMagnify");
        auto *shrink = button(f, "pushButtonSettingShrink");
        QVERIFY(magnify->isEnabled());
        QVERIFY(!shrink->isEnabled());
        const QList<int> up{2, 4, 8, 16, 32};
        for (int z : up) {
            magnify->click();
            QCOMPARE(f.zoom(), z);
            QVERIFY(shrink->isEnabled());
            QCOMPARE(magnify->isEnabled(), z <= 16);
        }
        magnify->click(); // disabled: nothing happens
        QCOMPARE(f.zoom(), 32);
        for (int z : {16, 8, 4, 2, 1}) {
            shrink->click();
            QCOMPARE(f.zoom(), z);
            QVERIFY(magnify->isEnabled());
            QCOMPARE(shrink->isEnabled(), z > 1);
        }
        // The scroll bars follow the bed's size against the form's.
        auto *h = f.findChild<QScrollBar *>("horizontalScrollBar");
        auto *v = f.findChild<QScrollBar *>("verticalScrollBar");
        QVERIFY(!h->isEnabled());
        magnify->click();
        magnify->click();
        QVERIFY(h->isEnabled());
        QVERIFY(v->isEnabled());
        QCOMPARE(h->maximum(), int(3 * 24 * 12.08 / 4));
        QCOMPARE(v->maximum(), 3 * 408 / 4);
    }

    void newPictureKeepsZoomAndScrollsHome()
    {
        PMessage hub;
        PreviewForm f(&hub);
        f.show();
        const QString red = saveImage(m_dir.path(), "red.bmp", solid(Qt::red));
        const QString blue = saveImage(m_dir.path(), "blue.bmp", solid(Qt::blue));
        button(f, "pushButtonSettingMagnify")->click();
        button(f, "pushButtonSettingMagnify")->click();
        f.findChild<QScrollBar *>("horizontalScrollBar")->setValue(20);
        f.findChild<QScrollBar *>("verticalScrollBar")->setValue(30);
        QCOMPARE(f.horizontalScroll(), 20);
        QCOMPARE(f.verticalScroll(), 30);

        emit hub.sendPreviewFilename(nullptr, red);
        QCOMPARE(f.zoom(), 4);
        QCOMPARE(f.horizontalScroll(), 0);
        QCOMPARE(f.verticalScroll(), 0);
        QCOMPARE(f.sourceImageSize(), QSize(600, 900));
        QCOMPARE(f.grab().toImage().pixel(60, 100), QColor(Qt::red).rgb());

        // A second preview in a row shows the second picture.
        emit hub.sendPreviewFilename(nullptr, blue);
        QCOMPARE(f.grab().toImage().pixel(60, 100), QColor(Qt::blue).rgb());
        QVERIFY(f.grab().save(m_dir.path() + "/preview-zoom4.png"));

        // At the largest zoom a new picture leaves Magnify disabled.
        for (int i = 0; i < 3; ++i)
            button(f, "pushButtonSettingMagnify")->click();
        QCOMPARE(f.zoom(), 32);
        emit hub.sendPreviewFilename(nullptr, red);
        QCOMPARE(f.zoom(), 32);
        QVERIFY(!button(f, "pushButtonSettingMagnify")->isEnabled());
        QVERIFY(button(f, "pushButtonSettingShrink")->isEnabled());
        QCOMPARE(f.scaledImageSize(), QSize(1536, 2304));

        // Clearing drops the picture: only the outline is left, zoom still works.
        emit hub.clearPreviewFilaname();
        QVERIFY(f.sourceImageSize().isEmpty());
        QVERIFY(f.grab().toImage().pixel(60, 100) != QColor(Qt::red).rgb());
        button(f, "pushButtonSettingShrink")->click();
        QCOMPARE(f.zoom(), 16);
    }

    void unreadableAndGroupFourPreviews()
    {
        PMessage hub;
        PreviewForm f(&hub);
        f.show();
        emit hub.sendPreviewFilename(nullptr, m_dir.path() + "/missing.bmp");
        QVERIFY(f.sourceImageSize().isEmpty());
        QFile junk(m_dir.path() + "/junk.bmp");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("BM not a bitmap at all");
        junk.close();
        emit hub.sendPreviewFilename(nullptr, junk.fileName());
        QVERIFY(f.sourceImageSize().isEmpty());
        button(f, "pushButtonSettingMagnify")->click();
        QCOMPARE(f.zoom(), 2);
        f.grab();

        // A bitonal page coded as a Group 4 TIFF strip, as the scanner sends them.
        QImage page(800, 1100, QImage::Format_Mono);
        page.fill(1);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x)
                page.setPixel(x, y, 0);
        const QString plain = saveImage(m_dir.path(), "plain.tif", page);
        const QString g4 = m_dir.path() + "/g4.tif";
        QCOMPARE(QProcess::execute("tiffcp", {"-c", "g4", plain, g4}), 0);
        QVERIFY(testsupport::runTool("tiffinfo", {g4}).out.contains("CCITT Group 4"));
        emit hub.sendPreviewFilename(nullptr, g4);
        QCOMPARE(f.sourceImageSize(), QSize(800, 1100));
        const QImage shot = f.grab().toImage();
        QCOMPARE(qGray(shot.pixel(35, 75)), qGray(page.color(0)));
        QCOMPARE(qGray(shot.pixel(29 + 60, 70 + 60)), qGray(page.color(1)));
    }

    void rescanQuestionOnlyWhileAPreviewShowsAndOnce()
    {
        PMessage hub;
        PreviewForm f(&hub);
        QSignalSpy mode(&hub, &PMessage::changePreviewMode);
        QSignalSpy scan(&hub, &PMessage::startPreviewScan);
        QSignalSpy quality(&hub, &PMessage::changedPreivewQuality);
        {
            ModalAnswerer answer(QStringLiteral("否"));
            menuEntry(f, "pushButtonPreviewQuality", "高")->trigger();
            QCOMPARE(answer.count(), 0); // no preview on show: no question
            QCOMPARE(quality.count(), 1);
            QCOMPARE(f.getPreviewQuality(), 1);

            emit hub.sendPreviewMode(1);
            menuEntry(f, "pushButtonAutoUpdate", "关闭")->trigger();
            QCOMPARE(answer.count(), 1);
            QCOMPARE(answer.last().title, QStringLiteral("Corvan扫描仪"));
            QCOMPARE(answer.last().text,
                     QStringLiteral("自动更新功能要求重新扫描文档以使预览图象可反映您的设置。"
                                    "要重新扫描吗？"));
            QCOMPARE(mode.count(), 1);
            QCOMPARE(mode.at(0).at(0).toBool(), true);
            QCOMPARE(scan.count(), 0);

            // Asked once per preview picture.
            menuEntry(f, "pushButtonAutoUpdate", "开启")->trigger();
            QCOMPARE(answer.count(), 1);
            // Units never ask.
            emit hub.sendPreviewMode(2);
            menuEntry(f, "pushButtonUnits", "像素")->trigger();
            QCOMPARE(answer.count(), 0 + 1);
        }
        ModalAnswerer yes(QStringLiteral("是"));
        menuEntry(f, "pushButtonPreviewQuality", "正常")->trigger();
        QCOMPARE(yes.count(), 1);
        QCOMPARE(mode.count(), 2);
        QCOMPARE(scan.count(), 1);
        QCOMPARE(f.previewMode(), 0);
    }

    void menusMirrorAndTheProfileRoundTrips()
    {
        PMessage hub;
        QWidget settingsPage, devicePage;
        PreviewForm settings(&hub, &settingsPage);
        PreviewForm device(&hub, &devicePage);
        device.hideControlforDevice();
        QSignalSpy sizeUnit(&hub, &PMessage::changedImageSizeUnit);

        menuEntry(settings, "pushButtonUnits", "厘米")->trigger();
        QCOMPARE(ticked(device, "pushButtonUnits"), QStringLiteral("厘米"));
        QCOMPARE(sizeUnit.count(), 1);
        QCOMPARE(sizeUnit.at(0).at(0).value<ImageSizeUnitFlag>(), UnitCentimetre);
        menuEntry(device, "pushButtonPreviewQuality", "高")->trigger();
        QCOMPARE(ticked(settings, "pushButtonPreviewQuality"), QStringLiteral("高"));
        menuEntry(device, "pushButtonAutoUpdate", "关闭")->trigger();
        QCOMPARE(ticked(settings, "pushButtonAutoUpdate"), QStringLiteral("关闭"));

        tagSCAN_SHORTCUT_MENU p;
        zeroScanShortcut(p);
        p.previewQuality = PreviewQualityNormal;
        p.previewAutoUpdate = PreviewAutoUpdateOn;
        p.sizeUnit = UnitPixel;
        QVERIFY(settings.updateVariableToUIControl(p));
        QVERIFY(settings.compareVariableAndUIControl(p));
        QCOMPARE(ticked(settings, "pushButtonUnits"), QStringLiteral("像素"));
        tagSCAN_SHORTCUT_MENU back;
        zeroScanShortcut(back);
        back.sizeUnit = UnitInch;
        settings.updateUIControlToVariable(back);
        QCOMPARE(back.sizeUnit, UnitPixel);
        QCOMPARE(back.previewAutoUpdate, PreviewAutoUpdateOn);
        QCOMPARE(back.previewQuality, PreviewQualityNormal);

        // Codes outside the lists leave the menus as they were.
        tagSCAN_SHORTCUT_MENU odd = p;
        odd.previewQuality = PreviewQualityFlag(7);
        odd.previewAutoUpdate = PreviewAutoUpdateFlag(-1);
        odd.sizeUnit = ImageSizeUnitFlag(3);
        settings.updateVariableToUIControl(odd);
        QCOMPARE(ticked(settings, "pushButtonPreviewQuality"), QStringLiteral("正常"));
        QCOMPARE(ticked(settings, "pushButtonAutoUpdate"), QStringLiteral("开启"));
        QCOMPARE(ticked(settings, "pushButtonUnits"), QStringLiteral("像素"));
        QVERIFY(!settings.compareVariableAndUIControl(odd));
    }

    void fullAndCompactLayouts()
    {
        PMessage hub;
        PreviewForm full(&hub);
        PreviewForm compact(&hub);
        compact.hideControlforDevice();
        QCOMPARE(full.size(), QSize(349, 526));
        const QList<QPair<const char *, int>> fullX{
            {"pushButtonSettingMagnify", 30},  {"pushButtonSettingShrink", 62},
            {"pushButtonSettingRotate", 94},   {"pushButtonSettingCenter", 126},
            {"pushButtonPreviewQuality", 158}, {"pushButtonAutoUpdate", 203},
            {"pushButtonUnits", 248}};
        for (const auto &b : fullX) {
            QCOMPARE(button(full, b.first)->geometry().topLeft(), QPoint(b.second, 8));
            QCOMPARE(button(full, b.first)->height(), 31);
            QVERIFY(button(full, b.first)->isFlat());
            QCOMPARE(button(full, b.first)->focusPolicy(), Qt::NoFocus);
        }
        QCOMPARE(button(full, "pushButtonSettingMagnify")->toolTip(), QStringLiteral("放大"));
        QCOMPARE(button(full, "pushButtonUnits")->toolTip(), QStringLiteral("单位"));
        QVERIFY(!button(full, "pushButtonSettingRotate")->isEnabled());
        QVERIFY(button(compact, "pushButtonSettingRotate")->isHidden());
        QVERIFY(button(compact, "pushButtonSettingCenter")->isHidden());
        QCOMPARE(button(compact, "pushButtonPreviewQuality")->x(), 94);
        QCOMPARE(button(compact, "pushButtonAutoUpdate")->x(), 139);
        QCOMPARE(button(compact, "pushButtonUnits")->x(), 184);
        QCOMPARE(button(compact, "pushButtonUnits")->width(), 44);

        // Rulers and scroll bars around the bed.
        full.show();
        QCOMPARE(full.findChild<QWidget *>("widget")->geometry(), QRect(9, 50, 340, 476));
        QCOMPARE(full.findChild<QWidget *>("labelx")->geometry(), QRect(20, 0, 300, 20));
        QCOMPARE(full.findChild<QWidget *>("labely")->geometry(), QRect(0, 20, 20, 436));
        QCOMPARE(full.findChild<QWidget *>("labelblank")->geometry(), QRect(320, 456, 20, 20));
        QVERIFY(full.grab().save(m_dir.path() + "/preview-full.png"));
        compact.show();
        QVERIFY(compact.grab().save(m_dir.path() + "/preview-compact.png"));
    }

    void updateNoticeInventory()
    {
        PreviewUpdateDialog notice;
        QCOMPARE(notice.windowTitle(), QStringLiteral("预览更新"));
        auto *content = notice.findChild<QLabel *>("labelContent");
        QCOMPARE(content->text(), QStringLiteral("预览结果更新中请稍后..."));
        // The whole notice reads inside the box, whatever the desktop's font.
        QVERIFY(content->x() + content->fontMetrics().horizontalAdvance(content->text()) <= 230);
        QVERIFY(!notice.findChild<QLabel *>("labelIcon")->pixmap(Qt::ReturnByValue).isNull());
        QCOMPARE(notice.minimumSize(), QSize(230, 80));
        QCOMPARE(notice.maximumSize(), QSize(230, 80));
        QCOMPARE(notice.windowModality(), Qt::ApplicationModal);
        QVERIFY(!(notice.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(notice.windowFlags() & Qt::CustomizeWindowHint);
        notice.show();
        QVERIFY(notice.grab().save(m_dir.path() + "/preview-update.png"));
    }

    void frameFollowsTheSettingsAndTheMouse()
    {
        PMessage hub;
        PreviewForm f(&hub);
        QSignalSpy sent(&hub, &PMessage::settingSizePreview);
        emit hub.settingToolRotateAndCenter(true);
        QVERIFY(f.areaShown());
        QVERIFY(button(f, "pushButtonSettingRotate")->isEnabled());
        emit hub.settingToolPreviewSize(0, 0, 2, 3, 90);
        QCOMPARE(sent.count(), 0); // heard, never echoed
        QCOMPARE(corner(f), QPointF(29, 70));
        QCOMPARE(f.areaWidth(), 48.0);
        QCOMPARE(f.areaHeight(), 72.0);
        QCOMPARE(f.areaAngle(), 90.0);

        // The press hits inside the frame's place at the last release (0, 0 at first).
        press(f, QPointF(40, 80));
        QCOMPARE(corner(f), QPointF(11, 10));
        move(f, QPointF(100.4, 149.5));
        QCOMPARE(corner(f), QPointF(71, 80));
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.last().at(0).toDouble(), 1.75);
        QCOMPARE(sent.last().at(1).toDouble(), 10.0 / 24);
        QCOMPARE(sent.last().at(2).toDouble(), 2.0);
        QCOMPARE(sent.last().at(3).toDouble(), 3.0);
        // Past the right edge: x stops at the bed's edge, y still follows.
        move(f, QPointF(900, 200));
        QCOMPARE(corner(f), QPointF(270, 130));
        // Past the bottom and the top-left.
        move(f, QPointF(100, 900));
        QCOMPARE(corner(f), QPointF(71, 406));
        move(f, QPointF(-40, -40));
        QCOMPARE(corner(f), QPointF(29, 70));
        release(f, QPointF(-40, -40));

        // A settings update moves the frame but not the anchor: a press at
        // the frame's new place misses, one at the released place hits.
        emit hub.settingToolPreviewSize(5, 5, 2, 3, 0);
        QCOMPARE(f.areaX(), 149.0);
        press(f, QPointF(149 + 29 + 5, 190 + 70 + 5));
        QCOMPARE(f.areaX(), 149.0);
        press(f, QPointF(29 + 29 + 10, 70 + 70 + 10));
        QCOMPARE(corner(f), QPointF(39, 80));
        // Right button presses do nothing.
        QMouseEvent right(QEvent::MouseButtonPress, QPointF(60, 150), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&f, &right);
        QCOMPARE(f.areaX(), 39.0);

        // Rotate twice: back where it was, reported twice.
        const int before = sent.count();
        button(f, "pushButtonSettingRotate")->click();
        QCOMPARE(f.areaWidth(), 72.0);
        QCOMPARE(f.areaHeight(), 48.0);
        button(f, "pushButtonSettingRotate")->click();
        QCOMPARE(f.areaWidth(), 48.0);
        QCOMPARE(sent.count(), before + 2);

        // Center a bed-wide frame: its corner is the bed's left edge.
        emit hub.settingToolPreviewSize(3, 1, 12.08, 3, 0);
        button(f, "pushButtonSettingCenter")->click();
        QCOMPARE(f.areaX(), 29.0);
        QCOMPARE(sent.last().at(0).toDouble(), 0.0);
        emit hub.settingToolPreviewSize(0, 1, 2, 3, 0);
        button(f, "pushButtonSettingCenter")->click();
        QCOMPARE(f.areaX(), (24 * 12.08 * 0.5 - 24) + 29);
    }

    void oversizedOrHiddenFrameStillDrags()
    {
        PMessage hub;
        PreviewForm f(&hub);
        QSignalSpy sent(&hub, &PMessage::settingSizePreview);
        // Wider than the bed: the frame stays at the bed's left edge.
        emit hub.settingToolPreviewSize(0, 0, 13, 20, 0);
        QVERIFY(!f.areaShown());
        move(f, QPointF(200, 150));
        QCOMPARE(corner(f), QPointF(29, 70));
        move(f, QPointF(-100, -100));
        QCOMPARE(f.areaX(), 29.0);
        // Hidden frames are moved and reported all the same.
        emit hub.settingToolPreviewSize(0, 0, 2, 3, 0);
        move(f, QPointF(200, 150));
        QCOMPARE(corner(f), QPointF(171, 80));
        QCOMPARE(sent.count(), 3);
    }

    void frameAndRulersOnScreenAtZoomFourScrolled()
    {
        PMessage hub;
        PreviewForm f(&hub);
        f.show();
        button(f, "pushButtonSettingMagnify")->click();
        button(f, "pushButtonSettingMagnify")->click();
        emit hub.settingToolRotateAndCenter(true);
        emit hub.settingToolPreviewSize(1, 1, 2, 3, 0);
        f.findChild<QScrollBar *>("horizontalScrollBar")->setValue(5);
        f.findChild<QScrollBar *>("verticalScrollBar")->setValue(10);
        const QImage shot = f.grab().toImage();
        shot.save(m_dir.path() + "/frame-zoom4.png");
        // Frame at (125 - 20, 166 - 40), 192 x 288 on screen.
        QVERIFY(isDark(shot.pixel(150, 126)));
        QVERIFY(!isDark(shot.pixel(150, 128)));
        QVERIFY(isDark(shot.pixel(105, 200)));
        QVERIFY(isDark(shot.pixel(105 + 192, 200)));
        QVERIFY(isDark(shot.pixel(200, 126 + 288)));
        QVERIFY(!isDark(shot.pixel(200, 126 + 290)));

        // The top ruler: the first long tick at the first whole inch after the
        // scroll value, 4 x (24 - 5) = 76 along, across the whole ruler.
        const QImage ruler = f.findChild<QWidget *>("labelx")->grab().toImage();
        ruler.save(m_dir.path() + "/ruler-zoom4.png");
        // The half-pixel pen draws grey on white.
        QVERIFY(qGray(ruler.pixel(76, 5)) < 200);
        QVERIFY(qGray(ruler.pixel(76, 18)) < 200);
        QCOMPARE(qGray(ruler.pixel(90, 5)), 255);
        QCOMPARE(qGray(ruler.pixel(150, 5)), 255);
    }
};

QTEST_MAIN(TestPreviewForm)
#include "tst_previewform.moc"
