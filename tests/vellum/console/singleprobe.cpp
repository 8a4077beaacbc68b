// A stand-in instance for the entry test: takes the single-instance role of
// the given id and prints what happens ("primary", "secondary", "got TEXT").
// With "hidden" or "minimized" as second argument it holds an activation
// window in that state and prints it after each message ("window hidden=1
// minimized=0").
#include "qtsingleapplication.h"

#include <QTimer>
#include <QWidget>

#include <cstdio>

int main(int argc, char **argv)
{
    const QString id = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("VELLUM");
    const QString window = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QtSingleApplication app(id, argc, argv);
    if (app.sendMessage(id, 5000) || app.isRunning()) {
        std::printf("secondary\n");
        return 0;
    }
    QWidget activation;
    if (window == QLatin1String("minimized"))
        activation.showMinimized();
    if (!window.isEmpty())
        app.setActivationWindow(&activation);
    QObject::connect(&app, &QtSingleApplication::messageReceived, [&](const QString &m) {
        std::printf("got %s\n", qPrintable(m));
        std::fflush(stdout);
        if (window.isEmpty())
            return;
        // After the activation that follows the message.
        QTimer::singleShot(0, [&] {
            std::printf("window hidden=%d minimized=%d\n", int(activation.isHidden()),
                        int(activation.isMinimized()));
            std::fflush(stdout);
        });
    });
    std::printf("primary\n");
    std::fflush(stdout);
    return app.exec();
}
