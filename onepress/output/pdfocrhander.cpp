#include "pdfocrhander.h"

#include "commonfunc.h"
#include "onepressglobal.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>

namespace {

QString &appDirOverride()
{
    static QString dir;
    return dir;
}

} // namespace

PdfOcrHander::PdfOcrHander(QObject *parent) : QObject(parent)
{
    clear();
}

PdfOcrHander::~PdfOcrHander() = default;

void PdfOcrHander::setImageInput(QString path)
{
    m_images << path;
}
void PdfOcrHander::setPdfOutputFile(QString path)
{
    m_strPdfOutput = path;
}
void PdfOcrHander::setTxtOutputFile(QString path)
{
    m_strTxtOutput = path;
}
void PdfOcrHander::setPdfKeyword(QString keywords)
{
    m_strKeywords = keywords;
}

void PdfOcrHander::clear()
{
    m_strPdfOutput.clear();
    m_strKeywords.clear();
    m_images.clear();
}

void PdfOcrHander::clearTxtFile()
{
    m_strTxtOutput.clear();
    m_images.clear();
}

QString PdfOcrHander::appDir()
{
    if (!appDirOverride().isEmpty())
        return appDirOverride();
    if (!g_ConfigFile.m_strAppDir.isEmpty())
        return g_ConfigFile.m_strAppDir;
    return QCoreApplication::applicationDirPath();
}

void PdfOcrHander::setAppDir(const QString &dir)
{
    appDirOverride() = dir;
}

QString PdfOcrHander::outputBase(const QString &outputPath)
{
    const QFileInfo info(outputPath);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return info.absolutePath() + QLatin1Char('/') + (dot > 0 ? name.left(dot) : name);
}

bool PdfOcrHander::writeListFile(QTemporaryFile &file)
{
    // A fresh file of our own: nothing planted in the shared temporary folder
    // can be written through.
    file.setFileTemplate(QDir::tempPath() + QStringLiteral("/scan_images-XXXXXX.txt"));
    if (!file.open())
        return false;
    QByteArray bytes;
    for (const QString &image : qAsConst(m_images))
        bytes += image.toUtf8() + "\r\n";
    const bool ok = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    return ok;
}

bool PdfOcrHander::run(const QString &input, const QString &outputPath, bool pdf, bool withKeywords,
                       const QString &expectedOutput)
{
    const QString dir = appDir();
    const QString program = QFileInfo(dir + QStringLiteral("/tesseract")).absoluteFilePath();
    const QString dataDir =
        QFileInfo(dir + QStringLiteral("/../share/tessdata")).absoluteFilePath();
    QStringList args{input, outputBase(outputPath), QStringLiteral("-l"),
                     QStringLiteral("chi_sim")};
    if (withKeywords) {
        QString hex;
        CommonFunc::KeywordToHex(m_strKeywords, hex);
        args << QStringLiteral("-k") << QStringLiteral("FEFF") + hex;
    }
    args << QStringLiteral("--tessdata-dir") << dataDir << QStringLiteral("-c")
         << (pdf ? QStringLiteral("tessedit_create_pdf=true")
                 : QStringLiteral("tessedit_create_txt=true"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_LIBRARY_PATH"),
               dir + QLatin1Char(':') + env.value(QStringLiteral("LD_LIBRARY_PATH")));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, args);
    if (!process.waitForStarted(-1)) {
        qDebug() << "The OCR program did not start:" << program << process.errorString();
        return false;
    }
    while (!process.waitForFinished(1000)) {
        if (process.state() == QProcess::NotRunning)
            break;
        if (m_bCancel) {
            process.kill();
            process.waitForFinished(-1);
            return false;
        }
    }
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
                    QFileInfo(expectedOutput).isFile();
    if (!ok)
        qDebug() << "The OCR program failed:" << process.exitStatus() << process.exitCode()
                 << expectedOutput;
    return ok;
}

bool PdfOcrHander::createPdfFile()
{
    m_bCancel = false;
    const QString expected = outputBase(m_strPdfOutput) + QStringLiteral(".pdf");
    QTemporaryFile list;
    const bool ok =
        writeListFile(list) && run(list.fileName(), m_strPdfOutput, true, true, expected);
    if (!ok)
        QFile::remove(expected);
    return ok;
}

bool PdfOcrHander::createSinglePdfFile()
{
    m_bCancel = false;
    if (m_images.isEmpty())
        return false;
    const QString expected = outputBase(m_strPdfOutput) + QStringLiteral(".pdf");
    const bool ok = run(m_images.first(), m_strPdfOutput, true, true, expected);
    if (!ok)
        QFile::remove(expected);
    return ok;
}

bool PdfOcrHander::createOcrTxtFile()
{
    m_bCancel = false;
    const QString expected = outputBase(m_strTxtOutput) + QStringLiteral(".txt");
    QTemporaryFile list;
    const bool ok =
        writeListFile(list) && run(list.fileName(), m_strTxtOutput, false, false, expected);
    if (!ok)
        QFile::remove(expected);
    return ok;
}
