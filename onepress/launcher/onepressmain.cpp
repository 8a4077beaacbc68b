#include "onepressmain.h"

#include "debugtrace.h"
#include "mainwindow.h"
#include "onepressglobal.h"
#include "qtsingleapplication.h"

#include <QDir>
#include <QStyleFactory>
#include <QTranslator>

QMutex CGoalbleValues::_gMutex;
QWaitCondition CGoalbleValues::_gWaitCondition;

namespace {
const char kInstanceId[] = "TESSACK_VR516";
}

onepress::TraceMode onepress::traceModeFor(int enableLogFile, int outputMsg)
{
    switch (enableLogFile) {
    case 1:
        return {2, outputMsg};
    case 2:
        return {1, 0};
    default:
        return {0, 0};
    }
}

bool onepress::wantsFusion(const QStringList &styles)
{
    return styles.contains(QStringLiteral("Fusion"), Qt::CaseSensitive);
}

int onepress_main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QtSingleApplication app(kInstanceId, argc, argv);
    if (app.sendMessage(kInstanceId, 5000) || app.isRunning())
        return 0;

    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, true);
    if (onepress::wantsFusion(QStyleFactory::keys()))
        QApplication::setStyle("fusion");

    QTranslator translator;
    const QString folder =
        QDir(QCoreApplication::applicationDirPath()).absolutePath() + "/translations";
    if (translator.load("qt_zh_CN", folder, QString(), QString()))
        QCoreApplication::installTranslator(&translator);

    g_ConfigFile.loadConfigFile(QCoreApplication::applicationDirPath());
    const onepress::TraceMode trace =
        onepress::traceModeFor(g_ConfigFile.m_nEnableLogFile, g_ConfigFile.m_nOutputMsg);
    g_trace.setDebugMode(trace.mode, trace.msgType, false);

    MainWindow window(nullptr);
    app.setActivationWindow(&window, true);
    QObject::connect(&window, &MainWindow::exitConfirmed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    return app.exec();
}

extern "C" int cdrv_onepress_main(int argc, char **argv)
{
    return onepress_main(argc, argv);
}
