#ifndef DESKTOPURLS_H
#define DESKTOPURLS_H

// Stands in for the desktop's opener while it lives: records every file URL
// a test's code hands to QDesktopServices::openUrl.

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

namespace testsupport {

class DesktopUrls : public QObject
{
    Q_OBJECT
public:
    DesktopUrls() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~DesktopUrls() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace testsupport

#endif
