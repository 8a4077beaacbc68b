// The About box, and the compiled-in pictures and pages that the console's
// windows name by resource path.
#include "aboutdialog.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

class TestAboutDialog : public QObject
{
    Q_OBJECT
private slots:
    void wordingPictureAndLicence()
    {
        AboutDialog box;
        QCOMPARE(box.windowTitle(), QStringLiteral("关于"));
        QVERIFY(box.isModal());
        QCOMPARE(box.size(), QSize(432, 392));
        auto *name = box.findChild<QLabel *>("labelName");
        auto *version = box.findChild<QLabel *>("labelVersion");
        QCOMPARE(name->text(), QStringLiteral("CorvanDeskscope VR516"));
        QCOMPARE(version->text(), QStringLiteral("版本信息: 5.0.13"));
        for (QLabel *l : {name, version}) {
            QVERIFY(l->font().bold());
            QCOMPARE(l->font().weight(), 75);
            QCOMPARE(l->font().pointSize(), 13);
        }
        QVERIFY(!box.findChild<QLabel *>("labelAboutImage")->pixmap(Qt::ReturnByValue).isNull());
        auto *licence = box.findChild<QTextEdit *>("textEditLicense");
        QVERIFY(licence->isReadOnly());
        QVERIFY(licence->toPlainText().contains(QStringLiteral("许可")));
        QCOMPARE(box.findChild<QPushButton *>("pushButtonOK")->text(), QStringLiteral("确定"));
        QVERIFY(!(box.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(box.windowFlags() & Qt::WindowContextHelpButtonHint));

        box.show();
        QTemporaryDir dir;
        dir.setAutoRemove(false); // the grab stays for looking at
        QVERIFY(box.grab().save(dir.path() + "/about.png"));
        box.findChild<QPushButton *>("pushButtonOK")->click();
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    // Every picture and page named by the console's windows, the preview, the
    // About box and the maintenance pages must be compiled in.
    void namedResourcesExist_data()
    {
        QTest::addColumn<QString>("path");
        QStringList paths;
        for (const char *name :
             {"magnify", "shrink", "rotate", "center", "preview-quality", "auto-update", "units"})
            paths << QString(":/settings/images/settings/%1.png").arg(name);
        paths << ":/ui/images/about-scanner.png"
              << ":/license/res/userlicense.htm";
        for (const char *name :
             {"duplex", "single-front", "single-contrary", "save", "save-as", "delete", "rename",
              "reset", "arrow", "resume", "import", "export", "warning", "help", "about"})
            paths << QString(":/ui/images/%1.png").arg(name);
        paths << ":/paper/images/paper/countonly.jpg"
              << ":/paper/images/paper/exclamation-mark.png"
              << ":/paper/images/paper/adf-empty.png";
        for (const QString &p : paths)
            QTest::newRow(qPrintable(p)) << p;
    }
    void namedResourcesExist()
    {
        QFETCH(QString, path);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        if (path.endsWith(".png") || path.endsWith(".jpg"))
            QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }
};

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
