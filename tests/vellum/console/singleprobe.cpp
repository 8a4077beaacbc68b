// A stand-in instance for the entry test: takes the single-instance role of
// the given id and prints what happens ("primary", "secondary", "got TEXT").
#include "qtsingleapplication.h"

#include <cstdio>

int main(int argc, char **argv)
{
    const QString id = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("VELLUM");
    QtSingleApplication app(id, argc, argv);
    if (app.sendMessage(id, 5000) || app.isRunning()) {
        std::printf("secondary\n");
        return 0;
    }
    QObject::connect(&app, &QtSingleApplication::messageReceived, [](const QString &m) {
        std::printf("got %s\n", qPrintable(m));
        std::fflush(stdout);
    });
    std::printf("primary\n");
    std::fflush(stdout);
    return app.exec();
}
