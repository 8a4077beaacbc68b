#include "previewrescan.h"

#include "errorhandling.h"
#include "pmessage.h"

#include <QCoreApplication>

namespace preview {

void askRescan(QWidget *parent, PMessage *hub)
{
    const int answer = ErrorHandling::questionMessage(
        parent, QCoreApplication::translate("PreviewForm", "Corvan扫描仪"),
        QCoreApplication::translate(
            "PreviewForm",
            "自动更新功能要求重新扫描文档以使预览图象可反映您的设置。要重新扫描吗？"),
        ErrorHandling::YesNo, ErrorHandling::Yes);
    if (!hub)
        return;
    emit hub->changePreviewMode(true);
    if (answer == ErrorHandling::Yes)
        emit hub->startPreviewScan();
}

} // namespace preview
