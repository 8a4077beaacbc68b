// A minimal outside host of the exported image tool form: it loads a
// built-in profile (--builtin N, 0 to 5) or a profile file, shows the form,
// and when Done is pressed stores the form into the record and prints the
// image tool bytes 0xF80..0xFE7 in hexadecimal, then quits. --done presses
// Done as soon as the form is up.

#include "pmessage.h"
#include "scanshortcutmenu.h"
#include "settingtoolform.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    PMessage::registerMetaTypes();
    const QStringList args = app.arguments();
    tagSCAN_SHORTCUT_MENU record;
    zeroScanShortcut(record);
    const int builtin = args.indexOf("--builtin");
    if (builtin > 0 && builtin + 1 < args.size()) {
        ScanShortcutMenu store;
        if (store.getScanShortcutCount() == 0)
            store.loadDefaultScanShortcut();
        if (!store.getScanShortcutItem(args.at(builtin + 1).toInt(), record)) {
            std::fprintf(stderr, "no built-in profile %s\n", qPrintable(args.at(builtin + 1)));
            return 2;
        }
    } else if (args.size() > 1 && !args.last().startsWith("--")) {
        QFile file(args.last());
        if (!file.open(QIODevice::ReadOnly) || file.size() != qint64(sizeof record)) {
            std::fprintf(stderr, "not a profile file: %s\n", qPrintable(args.last()));
            return 2;
        }
        const QByteArray bytes = file.readAll();
        std::memcpy(&record, bytes.constData(), sizeof record);
    } else {
        std::fprintf(stderr, "usage: imagetoolhost (--builtin N | PROFILE) [--done]\n");
        return 2;
    }

    PMessage hub;
    SettingToolForm form(&hub);
    form.disconnectAllChangeValueControlMessages();
    form.updateVariableToUIControl(record);
    form.connectAllChangeValueControlMessages();
    QObject::connect(&hub, &PMessage::hideSettingToolForm, &app, [&] {
        form.updateUIControlToVariable(record);
        const auto *bytes = reinterpret_cast<const unsigned char *>(&record);
        for (int offset = 0xF80; offset < 0xFE8; offset += 16) {
            std::printf("%04x:", offset);
            for (int i = offset; i < offset + 16 && i < 0xFE8; ++i)
                std::printf(" %02x", bytes[i]);
            std::printf("\n");
        }
        std::fflush(stdout);
        app.quit();
    });
    form.show();
    if (args.contains("--done"))
        QTimer::singleShot(0, &form,
                           [&form] { form.findChild<QPushButton *>("pushButtonHide")->click(); });
    return app.exec();
}
