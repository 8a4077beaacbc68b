#ifndef SENDMAILDIALOG_H
#define SENDMAILDIALOG_H

#include "corvanglobal.h"

#include <QDialog>
#include <QStringList>

namespace Ui {
class SendMailDialog;
}

// Compose window of a web-mail hand-off: recipients, subject, text and the
// (read-only) list of attached documents.
class ONEPRESS_EXPORT SendMailDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SendMailDialog(QWidget *parent = nullptr);
    ~SendMailDialog() override;

    void setAttachments(QString text);
    void getParameters(QString &to, QString &cc, QString &bcc, QString &subject,
                       QString &text) const;
    bool validEmailAddress(QStringList addresses);

public slots:
    void clickedBtnSend();

private:
    Ui::SendMailDialog *ui;
    QString m_strTo;
    QString m_strCc;
    QString m_strBcc;
    QString m_strSubject;
    QString m_strText;
};

#endif
