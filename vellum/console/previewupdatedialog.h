// Minimal version of the preview-update notice, to be completed.
#ifndef PREVIEWUPDATEDIALOG_H
#define PREVIEWUPDATEDIALOG_H

#include <QDialog>

class PreviewUpdateDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PreviewUpdateDialog(QWidget *parent = nullptr);
    ~PreviewUpdateDialog() override;
};

#endif
