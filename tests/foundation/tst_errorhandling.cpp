#include "errorhandling.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

// Boxes are modal: a timer inspects the active box and answers it.
class TestErrorHandling : public QObject
{
    Q_OBJECT

    struct Seen {
        QString text;
        QString defaultButton;
        QStringList buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool shown = false;
    };

    // Runs fn while a timer records the box that appears and clicks the
    // button labelled `answer` (or closes the box when empty).
    static Seen watch(const std::function<void()> &fn, const QString &answer)
    {
        Seen seen;
        // A local timer dies with this call, so a box that never appeared
        // leaves no stale callback behind.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&seen, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen.shown = true;
            seen.text = box->text();
            seen.icon = box->icon();
            if (box->defaultButton())
                seen.defaultButton = box->defaultButton()->text();
            for (QAbstractButton *b : box->buttons())
                seen.buttons << b->text();
            for (QAbstractButton *b : box->buttons())
                if (b->text() == answer) {
                    b->click();
                    return;
                }
            box->reject();
        });
        timer.start(0);
        fn();
        return seen;
    }

private slots:
    void everyCodeText_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const QList<QPair<int, const char *>> table = {
            {-1, "扫描失败"}, {-3, "扫描仪输入输出超时"}, {-4, "扫描仪输入输出错误"},
            {-5, "扫描仪读数据失败，请重试"}, {-6, "扫描仪写数据失败，请重试"},
            {-7, "无法连接设备，请检查设备是否已经准备就绪。"}, {-8, "扫描仪设备正忙，请稍后再试！"},
            {-9, "扫描仪唤醒失败，请稍后再试！"}, {-10, "扫描仪唤醒成功！"}, {-11, "扫描仪锁失败！"},
            {-12, "扫描仪解锁失败！"}, {-20, "检测不到纸张，请在托盘内放入纸张后重新扫描！"},
            {-21, "结束输出"}, {-22, "传输板卡纸，超过最大长度，\n\n请清除路径纸张，然后重新扫描！"},
            {-23, "重张进纸。\n\n请清除纸张路径，然后重新扫描！"}, {-24, "扫描仪预热"},
            {-25, "扫描仪护盖未关闭！\n\n请关闭护盖后重试！"}, {-26, "扫描仪检测"},
            {-27, "未检测到白色斑点区域！"}, {-28, "打印头不存在！"}, {-29, "清除图像指南"},
            {-30, "进纸盒不存在！"}, {-31, "风格获取失败！"}, {-32, "风格不唯一！"},
            {-33, "扫描仪状态获取失败！"}, {-35, "文档进纸器未检测到纸张！"},
            {-50, "文件路径无效！\n\n文件创建失败！"}, {-51, "用户取消保存！"}, {-52, "文件读取失败！"},
            {-60, "图像解析失败！"},
            // Codes without a text leave the caller's text alone.
            {0, "keep"}, {-2, "keep"}, {-13, "keep"}, {-34, "keep"}, {-36, "keep"}, {-71, "keep"},
            {5, "keep"}, {-100, "keep"}};
        for (const auto &row : table)
            QTest::newRow(QByteArray::number(row.first)) << row.first << QString::fromUtf8(row.second);
    }
    void everyCodeText()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QString got = "keep";
        ErrorHandling::errorCode(code, got);
        QCOMPARE(got, text);
    }

    void criticalBoxForCodes()
    {
        Seen s = watch([] { ErrorHandling::criticalMessage(nullptr, -21, "t"); }, "确定");
        QVERIFY(s.shown);
        QCOMPARE(s.text, QString("结束输出"));
        QCOMPARE(s.icon, QMessageBox::Critical);
        QCOMPARE(s.buttons, QStringList{"确定"});

        s = watch([] { ErrorHandling::criticalMessage(nullptr, -13, "t"); }, "确定");
        QCOMPARE(s.text, QString("Error code:-13"));

        for (int silent : {0, -2, -34}) {
            int result = -1;
            s = watch([&] { result = ErrorHandling::criticalMessage(nullptr, silent, "t"); }, "");
            QVERIFY(!s.shown);
            QCOMPARE(result, 0);
        }
    }

    void questionSetsAndDefaults_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("def");
        QTest::addColumn<QString>("click");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("defaultLabel");
        QTest::addColumn<int>("result");
        QTest::newRow("ok default") << 0x400400 << 0x400 << "确定" << QStringList{"确定", "取消"} << "确定" << 0x400;
        QTest::newRow("ok both bits: cancel wins") << 0x400400 << 0x400400 << "取消"
                                                   << QStringList{"确定", "取消"} << "取消" << 0x400000;
        QTest::newRow("yes/no both bits: no wins") << 0x14000 << 0x14000 << "是"
                                                   << QStringList{"是", "否"} << "否" << 0x4000;
        QTest::newRow("yes/no answer no") << 0x14000 << 0x4000 << "否" << QStringList{"是", "否"} << "是" << 0x10000;
        QTest::newRow("three, cancel default") << 0x414000 << 0x400000 << "取消"
                                               << QStringList{"是", "否", "取消"} << "取消" << 0x400000;
        QTest::newRow("closed without answer") << 0x14000 << 0x4000 << "" << QStringList{"是", "否"} << "是" << 0x400000;
    }
    void questionSetsAndDefaults()
    {
        QFETCH(int, buttons);
        QFETCH(int, def);
        QFETCH(QString, click);
        int result = 0;
        Seen s = watch([&] { result = ErrorHandling::questionMessage(nullptr, "t", "q?", buttons, def); },
                       click);
        QVERIFY(s.shown);
        // The platform's button box decides the visual order; the set matters.
        QFETCH(QStringList, labels);
        std::sort(s.buttons.begin(), s.buttons.end());
        std::sort(labels.begin(), labels.end());
        QCOMPARE(s.buttons, labels);
        QTEST(s.defaultButton, "defaultLabel");
        QTEST(result, "result");
    }

    void unsupportedSetAnswersCancelWithoutAsking()
    {
        int result = 0;
        Seen s = watch([&] { result = ErrorHandling::questionMessage(nullptr, "t", "q", 0x400, 0x400); }, "");
        QVERIFY(!s.shown);
        QCOMPARE(result, 0x400000);
    }
};

QTEST_MAIN(TestErrorHandling)
#include "tst_errorhandling.moc"
