// Makes the help documents: corvan-helpdocs <output folder> <document.md>...
//
// First the pictures the documents show are taken from the real forms of the
// launcher and the console (offscreen), then each Markdown document becomes
// <output folder>/<its name>.pdf, titled by its first heading. A picture is
// named in the Markdown by its file name, e.g. ![任务编辑器](task-editor.png).

#include "mainwindow.h"
#include "scanmainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPdfWriter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QUrl>

#include <cstdio>

namespace {

bool save(QWidget *form, const QString &file)
{
    form->adjustSize();
    form->show();
    QCoreApplication::processEvents();
    if (!form->grab().save(file)) {
        std::fprintf(stderr, "corvan-helpdocs: cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

// The launcher's task editor and the console's three tabs.
bool takePictures(const QString &folder)
{
    MainWindow launcher(nullptr);
    if (!save(&launcher, folder + "/task-editor.png"))
        return false;
    launcher.hide();

    ScanMainWindow console;
    // The console's own tabs: home, settings, device (its pages have tabs too).
    QTabWidget *tabs = nullptr;
    for (QTabWidget *t : console.findChildren<QTabWidget *>())
        if (t->count() >= 3 && t->indexOf(t->widget(0)) == 0 &&
            t->tabText(1) == QStringLiteral("设置"))
            tabs = t;
    if (!tabs) {
        std::fprintf(stderr, "corvan-helpdocs: the console has no tabs to show\n");
        return false;
    }
    const char *names[] = {"console-home.png", "console-settings.png", "console-device.png"};
    for (int i = 0; i < 3; ++i) {
        tabs->setCurrentIndex(i);
        if (!save(&console, folder + "/" + names[i]))
            return false;
    }
    console.showDiagnosticsPage();
    const bool ok = save(&console, folder + "/console-diagnostics.png");
    console.hideDiagnosticsPage();
    console.hide();
    return ok;
}

// Pictures no wider than the text.
void fitPictures(QTextDocument &doc, const QString &folder, qreal width)
{
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = f.charFormat().toImageFormat();
            const QImage picture(folder + "/" + image.name());
            if (picture.isNull())
                continue;
            const qreal w = qMin<qreal>(width, picture.width());
            image.setWidth(w);
            image.setHeight(w * picture.height() / picture.width());
            QTextCursor c(&doc);
            c.setPosition(f.position());
            c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(image);
        }
    }
}

bool makeDocument(const QString &source, const QString &folder, const QString &pictures)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "corvan-helpdocs: cannot read %s\n", qPrintable(source));
        return false;
    }
    const QString text = QString::fromUtf8(in.readAll());
    QString title = text.section('\n', 0, 0);
    if (!title.startsWith("# ")) {
        std::fprintf(stderr, "corvan-helpdocs: %s does not start with its title\n",
                     qPrintable(source));
        return false;
    }
    title = title.mid(2).trimmed();

    QTextDocument doc;
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPointSizeF(10.5);
    doc.setDefaultFont(font);
    doc.setMarkdown(text);
    // After the text: setting it drops the document's resources.
    for (const QString &name : QDir(pictures).entryList({"*.png"}, QDir::Files))
        doc.addResource(QTextDocument::ImageResource, QUrl(name), QImage(pictures + "/" + name));

    const QString out = folder + "/" + QFileInfo(source).completeBaseName() + ".pdf";
    QPdfWriter writer(out);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("CorvanDeskscope VR516"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter);
    // Laid out in pages of the writer's text area, in pixels at 96 dpi, as
    // the pictures were grabbed.
    const QSizeF page = writer.pageLayout().paintRectPixels(96).size();
    doc.setPageSize(page);
    fitPictures(doc, pictures, page.width() - 2 * doc.rootFrame()->frameFormat().margin() - 2);
    doc.print(&writer);
    if (!QFileInfo(out).size()) {
        std::fprintf(stderr, "corvan-helpdocs: nothing written to %s\n", qPrintable(out));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: corvan-helpdocs <output folder> <document.md>...\n");
        return 2;
    }
    const QString folder = QDir(args[0]).absolutePath();
    const QString pictures = folder + "/pictures";
    if (!QDir().mkpath(pictures) || !takePictures(pictures))
        return 1;
    for (const QString &source : args.mid(1))
        if (!makeDocument(source, folder, pictures))
            return 1;
    return 0;
}
