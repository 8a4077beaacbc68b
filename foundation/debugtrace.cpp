#include "debugtrace.h"

#include "configfile.h"

#include <QFile>
#include <QMutex>
#include <QStandardPaths>

namespace {
const char kLogName[] = "tessacklog_VR516.txt";

QMutex &fileMutex()
{
    // Function-local static: safe against concurrent first use.
    static QMutex mutex;
    return mutex;
}
} // namespace

int DebugTrace::m_DebugMode = 0;
int DebugTrace::m_nMsgType = 0;
bool DebugTrace::m_bRecordFunc = false;
QString DebugTrace::m_strLogFile = QString::fromLatin1(kLogName);

DebugTrace g_trace;

DebugTrace::DebugTrace() = default;

DebugTrace::~DebugTrace()
{
    qInstallMessageHandler(nullptr);
}

void DebugTrace::setDebugMode(int mode, int msgType, bool recordFunc)
{
    m_DebugMode = mode;
    m_nMsgType = msgType;
    m_bRecordFunc = recordFunc;
    if (mode == 1) {
        qInstallMessageHandler(nullptr);
        return;
    }
    qInstallMessageHandler(&DebugTrace::outputMessage);
    if (mode == 2)
        m_strLogFile = QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/" +
                       QString::fromLatin1(kLogName);
}

void DebugTrace::applyConfig(const ConfigFile &config)
{
    switch (config.m_nEnableLogFile) {
    case 1:
        setDebugMode(2, config.m_nOutputMsg, false);
        break;
    case 2:
        setDebugMode(1, 0, false);
        break;
    default:
        setDebugMode(0, 0, false);
        break;
    }
}

void DebugTrace::outputMessage(QtMsgType type, const QMessageLogContext &context,
                               const QString &msg)
{
    if (m_DebugMode != 2)
        return;
    if (type == QtInfoMsg && m_nMsgType != 1)
        return;

    QString line;
    if (m_bRecordFunc) {
        line = QString::fromUtf8(context.file ? context.file : "") + "(" +
               QString::number(context.file ? context.line : 0) + ") : " +
               QString::fromUtf8(context.function ? context.function : "") + " : " + msg + "\n";
    } else {
        line = msg + "\n";
    }
    // Written as UTF-8 whatever the locale: Chinese texts and device strings
    // must survive a C locale.
    const QByteArray bytes = line.toUtf8();

    QMutexLocker lock(&fileMutex());
    QFile file(m_strLogFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(bytes);
    file.flush();
    file.close();
}
