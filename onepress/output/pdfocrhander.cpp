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
#include <QRandomGenerator>
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
    const QString target = outputBase(outputPath) + suffix;
    // The program writes under a name of its own beside the target, which
    // replaces the target only once the run succeeded: a failure or a cancel
    // leaves an existing document as it was.
    const QString base = temporaryBase(target);
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
    bool ok = process.startInGroup(program, args);
    if (!ok)
        qDebug() << "The OCR program did not start:" << program << process.errorString();
    bool cancelled = false;
    while (ok && !process.waitForFinished(kCancelPollMs) &&
           process.state() != QProcess::NotRunning) {
        if (m_bCancel) {
            cancelled = true;
            process.endGroup();
            break;
        }
    }
    if (ok && !cancelled) {
        ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
             QFileInfo(base + suffix).isFile();
        if (!ok) {
            qDebug() << "The OCR program failed:" << process.exitStatus() << process.exitCode()
                     << target;
            process.endGroup();
        }
    }
    ok = ok && !cancelled &&
         std::rename(FileHelper::convertPath(base + suffix).constData(),
                     FileHelper::convertPath(target).constData()) == 0;
    if (!ok)
        removeRunFiles(base);
    return ok;
}

QString PdfOcrHander::temporaryBase(const QString &target)
{
    const QFileInfo info(target);
    const QDir dir = info.absoluteDir();
    for (;;) {
        const QString name = QStringLiteral(".%1.ocr-%2")
                                 .arg(info.completeBaseName())
                                 .arg(QRandomGenerator::global()->generate(), 8, 16,
                                      QLatin1Char('0'));
        if (dir.entryList({name + QLatin1Char('*')}, QDir::Files | QDir::Hidden).isEmpty())
            return dir.filePath(name);
    }
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
