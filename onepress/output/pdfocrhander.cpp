#include "pdfocrhander.h"

#include "commonfunc.h"
#include "filehelper.h"
#include "onepressglobal.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>

#include <csignal>
#include <cstdio>

#include <sys/prctl.h>
#include <unistd.h>

namespace {

QString &appDirOverride()
{
    static QString dir;
    return dir;
}

constexpr int kCancelPollMs = 100;

// The OCR program in a process group of its own, so that a cancel ends the
// programs it starts too; it is also told when this process dies.
class GroupProcess : public QProcess
{
public:
    GroupProcess() : m_parent(getpid()) {}
    ~GroupProcess() override
    {
        if (state() != QProcess::NotRunning)
            endGroup();
    }

    bool startInGroup(const QString &program, const QStringList &args)
    {
        start(program, args);
        if (!waitForStarted(-1))
            return false;
        m_group = static_cast<pid_t>(processId());
        return true;
    }

    // Asks the whole group to end, then ends what is left of it.
    void endGroup()
    {
        if (m_group <= 0)
            return;
        if (state() != QProcess::NotRunning) {
            ::kill(-m_group, SIGTERM);
            if (!waitForFinished(kGraceMs))
                ::kill(-m_group, SIGKILL);
            waitForFinished(-1);
        }
        // Whatever of the group outlived its leader.
        ::kill(-m_group, SIGKILL);
        m_group = 0;
    }

protected:
    void setupChildProcess() override
    {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != m_parent)
            ::_exit(127);
    }

private:
    static constexpr int kGraceMs = 800;
    pid_t m_parent;
    pid_t m_group = 0;
};

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

bool PdfOcrHander::run(const QString &input, const QString &outputPath, bool pdf, bool withKeywords)
{
    if (m_bCancel)
        return false;
    const QString suffix = pdf ? QStringLiteral(".pdf") : QStringLiteral(".txt");
    // The document replaces the target only once the run succeeded: a
    // failure or a cancel leaves an existing document as it was.
    return FileHelper::replaceFile(outputBase(outputPath) + suffix, [&](const QString &part) {
        // The program appends the suffix to the base it is given, and names
        // its own temporary files after it.
        const QString base = part + QStringLiteral(".ocr");
        removeRunFiles(base); // left by a run that was killed
        const bool ok = runProgram(input, base, pdf, withKeywords) &&
                        QFileInfo(base + suffix).isFile() &&
                        std::rename(FileHelper::convertPath(base + suffix).constData(),
                                    FileHelper::convertPath(part).constData()) == 0;
        removeRunFiles(base);
        return ok;
    });
}

bool PdfOcrHander::runProgram(const QString &input, const QString &base, bool pdf,
                              bool withKeywords)
{
    const QString dir = appDir();
    const QString program = QFileInfo(dir + QStringLiteral("/tesseract")).absoluteFilePath();
    const QString dataDir =
        QFileInfo(dir + QStringLiteral("/../share/tessdata")).absoluteFilePath();
    QStringList args{input, base, QStringLiteral("-l"), QStringLiteral("chi_sim")};
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
    GroupProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startInGroup(program, args)) {
        qDebug() << "The OCR program did not start:" << program << process.errorString();
        return false;
    }
    while (!process.waitForFinished(kCancelPollMs) && process.state() != QProcess::NotRunning) {
        if (m_bCancel) {
            process.endGroup();
            return false;
        }
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qDebug() << "The OCR program failed:" << process.exitStatus() << process.exitCode();
        process.endGroup();
        return false;
    }
    return true;
}

void PdfOcrHander::removeRunFiles(const QString &base)
{
    const QFileInfo info(base);
    QDir dir = info.absoluteDir();
    // QDir's wildcards would take brackets in a document's name as a set.
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (name.startsWith(info.fileName()))
            dir.remove(name);
    }
}

bool PdfOcrHander::createPdfFile()
{
    QTemporaryFile list;
    return writeListFile(list) && run(list.fileName(), m_strPdfOutput, true, true);
}

bool PdfOcrHander::createSinglePdfFile()
{
    if (m_images.isEmpty())
        return false;
    return run(m_images.first(), m_strPdfOutput, true, true);
}

bool PdfOcrHander::createOcrTxtFile()
{
    QTemporaryFile list;
    return writeListFile(list) && run(list.fileName(), m_strTxtOutput, false, false);
}
