// OFD documents: the zip container and its XML parts, checked with unzip and
// xmllint, the resources compared with their page files.

#include "generatefilename.h"
#include "ofdlibrary.h"
#include "outputtestutil.h"
#include "support/processes.h"
#include "workerrig.h"

#include <QTemporaryDir>
#include <QtTest>

using outtest::page;

class TestOfdOutput : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_tmp;
    const QString kPageBox = "string(//*[local-name()='Area']/*[local-name()='PhysicalBox'])";
    QString m_a, m_b, m_TIF;

    QByteArray unzippedBytes(const QString &ofd, const QString &entry)
    {
        return testsupport::runTool("unzip", {"-p", ofd, entry}, 10000).out;
    }
    // The entry as a file of its own, for xmllint.
    QString unzippedFile(const QString &ofd, const QString &entry)
    {
        const QString file = m_tmp.path() + "/part.xml";
        outtest::writeFile(file, unzippedBytes(ofd, entry));
        return file;
    }
    QString xpath(const QString &ofd, const QString &entry, const QString &path)
    {
        return outtest::run("xmllint", {"--xpath", path, unzippedFile(ofd, entry)}).out.trimmed();
    }

private slots:
    void initTestCase()
    {
        m_a = outtest::writePage(m_tmp.path() + "/a.jpg", outtest::drawPage(2480, 3508));
        m_b = outtest::writePage(m_tmp.path() + "/b.jpg", outtest::drawPage(2480, 3508));
        m_TIF = m_tmp.path() + "/c.TIF";
        QVERIFY(outtest::writeG4Tiff(m_TIF, outtest::drawPage(2000, 1000)));
        GenerateFileName::setClock([] { return QDateTime(QDate(2026, 1, 5), QTime(10, 0, 0)); });
    }

    void twoPageDocument()
    {
        const QString ofd = m_tmp.path() + "/two.ofd";
        OfdLibrary lib;
        QCOMPARE(lib.imageToOfd({page(m_a, 2480, 3508), page(m_b, 2480, 3508)}, ofd, QString()), 0);
        QCOMPARE(outtest::run("unzip", {"-t", ofd}).code, 0);
        QCOMPARE(outtest::run("unzip", {"-Z1", ofd}).out.split('\n', Qt::SkipEmptyParts),
                 QStringList({"OFD.xml", "Doc_0/Document.xml", "Doc_0/DocumentRes.xml",
                              "Doc_0/Pages/Page_0/Content.xml", "Doc_0/Res/0.jpg",
                              "Doc_0/Pages/Page_1/Content.xml", "Doc_0/Res/1.jpg"}));
        for (const char *entry :
             {"OFD.xml", "Doc_0/Document.xml", "Doc_0/DocumentRes.xml",
              "Doc_0/Pages/Page_0/Content.xml", "Doc_0/Pages/Page_1/Content.xml"}) {
            QVERIFY2(outtest::run("xmllint", {"--noout", unzippedFile(ofd, entry)}).code == 0,
                     qPrintable(entry));
        }
        const QByteArray a = outtest::readFile(m_a);
        QVERIFY(!a.isEmpty() && unzippedBytes(ofd, "Doc_0/Res/0.jpg") == a);
        // The page list byte for byte.
        QCOMPARE(unzippedBytes(ofd, "Doc_0/Document.xml"),
                 QByteArray(
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<ofd:Document xmlns:ofd=\"http://www.ofdspec.org/2016\">\n<ofd:CommonData>\n"
                     "<ofd:MaxUnitID>8</ofd:MaxUnitID>\n<ofd:PageArea>\n<ofd:PhysicalBox>0 0 210 "
                     "297</ofd:PhysicalBox>\n"
                     "</ofd:PageArea>\n<ofd:DocumentRes>DocumentRes.xml</ofd:DocumentRes>\n</"
                     "ofd:CommonData>\n"
                     "<ofd:Pages>\n<ofd:Page ID=\"4\" BaseLoc=\"Pages/Page_0/Content.xml\"/>\n"
                     "<ofd:Page ID=\"8\" "
                     "BaseLoc=\"Pages/Page_1/Content.xml\"/>\n</ofd:Pages>\n</ofd:Document>"));
        const QByteArray root = unzippedBytes(ofd, "OFD.xml");
        QVERIFY(!root.contains('\n') && !root.startsWith("\xEF\xBB\xBF"));
        QVERIFY(
            root.contains("<ofd:Creator>Corvan_Deskscope_OFD_Creator</ofd:Creator></ofd:DocInfo>"));
        const QString content = "Doc_0/Pages/Page_1/Content.xml";
        QCOMPARE(xpath(ofd, content, kPageBox), QString("0 0 210 297"));
        QCOMPARE(xpath(ofd, content, "string(//*[local-name()='ImageObject']/@ResourceID)"),
                 QString("5"));
        QCOMPARE(xpath(ofd, content, "string(//*[local-name()='Layer']/@ID)"), QString("6"));
        QCOMPARE(xpath(ofd, "Doc_0/DocumentRes.xml",
                       "string(//*[local-name()='MultiMedia'][2]/@Format)"),
                 QString("JPEG"));
    }

    void keywordsAndOddPages()
    {
        const QString ofd = m_tmp.path() + "/odd.ofd";
        OfdLibrary lib;
        QCOMPARE(lib.imageToOfd({page(m_TIF, 2000, 1000, 300), page(m_a, 2480, 3508, 0)}, ofd,
                                QStringLiteral("a<b&c ]]> \"合同\"\x01")),
                 0);
        const QByteArray root = unzippedBytes(ofd, "OFD.xml");
        QVERIFY(root.contains(
            QStringLiteral("<ofd:Keyword>a&lt;b&amp;c ]]&gt; \"合同\"</ofd:Keyword>").toUtf8()));
        QCOMPARE(xpath(ofd, "OFD.xml", "string(//*[local-name()='Keyword'])"),
                 QStringLiteral("a<b&c ]]> \"合同\""));
        QVERIFY(outtest::run("unzip", {"-Z1", ofd}).out.contains("Doc_0/Res/0.TIF"));
        QCOMPARE(xpath(ofd, "Doc_0/DocumentRes.xml",
                       "string(//*[local-name()='MultiMedia'][1]/@Format)"),
                 QString("TIFF"));
        // 2000 px at 300 dpi is 169 mm; resolution 0 counts as 300.
        QCOMPARE(xpath(ofd, "Doc_0/Pages/Page_0/Content.xml", kPageBox), QString("0 0 169 85"));
        QCOMPARE(xpath(ofd, "Doc_0/Pages/Page_1/Content.xml", kPageBox), QString("0 0 210 297"));
        QCOMPARE(OfdLibrary::millimetres(10, 300), 1);
    }

    void saverSkipsMissingPagesAndReportsFailures()
    {
        WorkerRig rig;
        tagTASK_SHORTCUT t = workerTask(FileTypeOfd, m_tmp.path() + "/out", "o");
        t.BarcodeSeparate = true;
        QList<tagSCAN_IMAGE_FILE> list{page(m_a, 2480, 3508),
                                       page(m_tmp.path() + "/gone.jpg", 10, 10),
                                       page(m_b, 2480, 3508, 300, "x")};
        QSignalSpy progress(rig.worker, &ProcessFile::saveFileValueChanged);
        QVERIFY(rig.run(t, list));
        QCOMPARE(rig.worker->saveResult(), -52);
        QCOMPARE(progress.size(), 2);
        QCOMPARE(progress.at(0).at(0).toInt(), 2);
        const QString first = t.FolderPath + "/o2026-01-05 (1).ofd";
        QCOMPARE(list[0].outputFileName, first);
        QCOMPARE(outtest::run("unzip", {"-t", first}).code, 0);
        QCOMPARE(xpath(first, "Doc_0/Document.xml", "string(//*[local-name()='MaxUnitID'])"),
                 QString("4"));
    }

    void fullDiskLeavesNothing()
    {
        const QString out = m_tmp.path() + "/full";
        QDir().mkpath(out);
        const int code = outtest::inFullDiskChild(300 * 1024, [&] {
            OfdLibrary lib;
            return lib.imageToOfd({page(m_a, 2480, 3508), page(m_b, 2480, 3508)}, out + "/big.ofd",
                                  QString()) == -1
                       ? 0
                       : 1;
        });
        QCOMPARE(code, 0);
        QCOMPARE(outtest::filesIn(out), QStringList());
    }

    void jpegSize()
    {
        int w = -1, h = -1;
        QCOMPARE(OfdLibrary::getJPEGWH(m_a, w, h), 0);
        QCOMPARE(QSize(w, h), QSize(2480, 3508));
        QCOMPARE(OfdLibrary::getJPEGWH(m_TIF, w, h), 0);
        QCOMPARE(QSize(w, h), QSize(0, 0));
        QCOMPARE(OfdLibrary::getJPEGWH(m_tmp.path() + "/none.jpg", w, h), -1);
        // A marker walk that runs off the end of a short file stops there.
        const QString cut = m_tmp.path() + "/cut.jpg";
        QVERIFY(outtest::writeFile(cut, QByteArray("\xFF\xD8\xFF\xE0\x7F\xF0", 6)));
        QCOMPARE(OfdLibrary::getJPEGWH(cut, w, h), 0);
        QCOMPARE(QSize(w, h), QSize(0, 0));
        QCOMPARE(OfdLibrary::toBigEndian(0x1234),
                 OfdLibrary::isLittelEndian() ? quint16(0x3412) : quint16(0x1234));
    }
};

QTEST_MAIN(TestOfdOutput)
#include "tst_ofdoutput.moc"
