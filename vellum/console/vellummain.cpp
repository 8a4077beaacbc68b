#include "vellummain.h"

#include "qtsingleapplication.h"
#include "scanmainwindow.h"

int vellum_main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QtSingleApplication app(QStringLiteral("VELLUM"), argc, argv);
    if (app.sendMessage(QStringLiteral("VELLUM"), 5000) || app.isRunning())
        return 0;
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    ScanMainWindow window(nullptr);
    window.show();
    app.setActivationWindow(&window);
    // No detection timer: the console alone never opens the scanner; the
    // launcher starts detection once it has handed over its button list.
    return app.exec();
}

extern "C" int cdrv_vellum_main(int argc, char **argv)
{
    return vellum_main(argc, argv);
}
