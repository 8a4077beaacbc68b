#include "devicelogpackage.h"

#include "commonfunc.h"
#include "errorhandling.h"
#include "filehelper.h"
#include "vellumglobal.h"

#include <QDebug>
#include <QFileInfo>

namespace devicelog {

const QList<int> &packageKinds()
{
    static const QList<int> kinds{0, 5, 1, 2, 4, 3};
    return kinds;
}

const char *packageFileName()
{
    return "corvan.eklog";
}

QString decode(const QByteArray &bytes)
{
    QByteArray swapped = bytes.left(bytes.size() & ~1);
    CommonFunc::unicodeSwap(swapped.data(), swapped.size());
    return QString(reinterpret_cast<const QChar *>(swapped.constData()), swapped.size() / 2);
}

QString readText(int kind, int &rc)
{
    QByteArray bytes;
    rc = g_Devgate.logData(kind, bytes);
    if (rc != 0) {
        qDebug() << "Device log" << kind << "not read:" << rc;
        return QString();
    }
    return decode(bytes);
}

int writePackage(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return RC_FILE_CREATE_FAILED;
    QByteArray content;
    int firstFailure = 0;
    bool anyRead = false;
    for (int kind : packageKinds()) {
        int rc = 0;
        const QString text = readText(kind, rc);
        if (rc != 0) {
            if (firstFailure == 0)
                firstFailure = rc;
            continue;
        }
        anyRead = true;
        content += text.toUtf8();
    }
    if (!anyRead)
        return firstFailure;
    if (!FileHelper::replaceFile(folder + "/" + packageFileName(), content)) {
        qDebug() << "Device-log package not written in" << folder;
        return RC_FILE_CREATE_FAILED;
    }
    return 0;
}

} // namespace devicelog
