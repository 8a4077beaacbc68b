#ifndef PREVIEWUPDATEDIALOG_H
#define PREVIEWUPDATEDIALOG_H

#include <QDialog>

class QLabel;

// The notice shown while an automatic preview update scans: no close button,
// application modal, deleted by the console when the scan ends.
class PreviewUpdateDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PreviewUpdateDialog(QWidget *parent = nullptr);
    ~PreviewUpdateDialog() override;

private:
    void fitTextToBox();

    QLabel *m_labelContent;
    QLabel *m_labelIcon;
};

#endif
