#ifndef WEBMAILHELPER_H
#define WEBMAILHELPER_H

#include "corvanglobal.h"
#include "pagefile.h"

#include <QList>
#include <QWidget>

#include <memory>

struct tagSCAN_DESTINATION;

// Sends a task's documents as one e-mail through the destination's SMTP
// server, silently or after the compose dialog. Never shown itself: it is the
// parent of its boxes and of the dialog.
class ONEPRESS_EXPORT WebMailHelper : public QWidget
{
    Q_OBJECT
public:
    WebMailHelper(QList<tagSCAN_IMAGE_FILE> &pages, const tagSCAN_DESTINATION &dest,
                  QWidget *parent = nullptr);
    ~WebMailHelper() override;

    bool validFileSize();
    bool sendMail();
    bool sendMail(QString host, int port, int security, QString account, QString password,
                  QString senderAddr, QString senderName, QString to, QString cc, QString bcc,
                  QString subject, QString text);

private:
    QStringList documents() const;

    QList<tagSCAN_IMAGE_FILE> *m_pages;
    std::unique_ptr<tagSCAN_DESTINATION> m_dest;
};

#endif
