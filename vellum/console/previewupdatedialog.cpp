// Minimal version of the preview-update notice, to be completed.
#include "previewupdatedialog.h"

PreviewUpdateDialog::PreviewUpdateDialog(QWidget *parent) : QDialog(parent)
{
    setWindowModality(Qt::ApplicationModal);
}

PreviewUpdateDialog::~PreviewUpdateDialog() = default;
