#include "processhelper.h"

#include "errorhandling.h"
#include "scandestination.h"

#include <QApplication>
#include <QDateTime>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

QStringList &clientList()
{
    static QStringList clients{QStringLiteral("/usr/bin/thunderbird"),
                               QStringLiteral("/usr/local/bin/thunderbird"),
                               QStringLiteral("/usr/bin/claws-mail")};
    return clients;
}

QString stamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QStringList documents(const QList<tagSCAN_IMAGE_FILE> &pages)
{
    QStringList files;
    for (const tagSCAN_IMAGE_FILE &page : pages) {
        if (!page.outputFileName.isEmpty())
            files << page.outputFileName;
    }
    return files;
}

// One attachment of the compose option as a file URL in which nothing can end
// the value or split the list: "," and "'" are percent-encoded too.
QString attachmentUrl(const QString &file)
{
    QString url = QString::fromLatin1(QUrl::fromLocalFile(file).toEncoded(QUrl::FullyEncoded));
    url.replace(QLatin1Char(','), QLatin1String("%2C"));
    url.replace(QLatin1Char('\''), QLatin1String("%27"));
    return url;
}

void sendFailedBox()
{
    ErrorHandling::criticalMessage(QApplication::activeWindow(), QObject::tr("错误"),
                                   QObject::tr("文件发送失败！"));
}

} // namespace

ProcessHelper::ProcessHelper(QObject *parent) : QObject(parent) {}

QStringList ProcessHelper::mailClients()
{
    return clientList();
}
void ProcessHelper::setMailClients(const QStringList &paths)
{
    clientList() = paths;
}

bool ProcessHelper::openUrl(QList<tagSCAN_IMAGE_FILE> &pages)
{
    const QStringList files = documents(pages);
    if (files.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(files.first()));
}

void ProcessHelper::reportNotOpened(const QList<tagSCAN_IMAGE_FILE> &pages)
{
    const QStringList files = documents(pages);
    if (files.isEmpty())
        return;
    ErrorHandling::warningMessage(QApplication::activeWindow(), QObject::tr("无法打开文档"),
                                  QObject::tr("桌面没有可以打开此文档的默认程序。\n文档已保存为：\n%1")
                                      .arg(QDir::toNativeSeparators(files.first())));
}

bool ProcessHelper::startSystemMail(QList<tagSCAN_IMAGE_FILE> &pages)
{
    return startLinuxSystemMail(pages);
}

bool ProcessHelper::startLinuxSystemMail(QList<tagSCAN_IMAGE_FILE> &pages)
{
    const QStringList files = documents(pages);
    if (files.isEmpty()) {
        qDebug().noquote() << QStringLiteral("Email error: strFileList is Empty! %1").arg(stamp());
        return false;
    }
    bool anyExists = false;
    for (const QString &program : clientList()) {
        if (!QFileInfo::exists(program))
            continue;
        anyExists = true;
        const bool claws = QFileInfo(program).fileName().startsWith(QLatin1String("claws"));
        QStringList args;
        if (claws) {
            args << QStringLiteral("--attach") << files;
        } else {
            QStringList urls;
            for (const QString &f : files)
                urls << attachmentUrl(f);
            args << QStringLiteral("-compose")
                 << QStringLiteral("attachment='%1'").arg(urls.join(QLatin1Char(',')));
        }
        QProcess process;
        process.start(program, args);
        if (!process.waitForStarted(-1)) {
            qDebug().noquote() << (claws
                                       ? QStringLiteral("Email error: start claws-mail failed! %1")
                                       : QStringLiteral(
                                             "Email error: start thunderbird failed! %1"))
                                      .arg(stamp());
            continue;
        }
        // The client is waited for with the event loop turning, so the tray
        // and its windows stay alive meanwhile.
        if (process.state() != QProcess::NotRunning) {
            QEventLoop loop;
            QObject::connect(&process,
                             QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                             &QEventLoop::quit);
            QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
            if (process.state() != QProcess::NotRunning)
                loop.exec();
        }
        if (process.exitStatus() != QProcess::NormalExit)
            qDebug().noquote() << QStringLiteral("Email error: exit code = %1 ; %2")
                                      .arg(process.exitCode())
                                      .arg(stamp());
        return true;
    }
    if (!anyExists)
        qDebug().noquote()
            << QStringLiteral("Email error: there is no thunderbird exist! %1").arg(stamp());
    sendFailedBox();
    return false;
}

bool ProcessHelper::startDetached(QList<tagSCAN_IMAGE_FILE> &pages, tagSCAN_DESTINATION &dest)
{
    const QStringList files = documents(pages);
    if (files.isEmpty())
        return false;
    QStringList args = dest.Parameter.split(QLatin1Char(' '), Qt::KeepEmptyParts);
    const int token = args.indexOf(QStringLiteral("<%IMAGE_NAME%>"));
    if (token >= 0)
        args[token] = files.first();
    return QProcess::startDetached(dest.ExecutableFile, args);
}
