#ifndef MIMEMESSAGE_H
#define MIMEMESSAGE_H

#include "emailaddress.h"
#include "mimepart.h"

#include <QList>
#include <QString>

// A multipart/mixed message. The message owns every address and part handed
// to it.
class MimeMessage
{
public:
    enum RecipientType { To, Cc, Bcc };

    explicit MimeMessage(bool createAutoMimeContent = true);
    ~MimeMessage();
    MimeMessage(const MimeMessage &) = delete;
    MimeMessage &operator=(const MimeMessage &) = delete;

    void setSender(EmailAddress *sender);
    void addRecipient(EmailAddress *recipient, RecipientType type = To);
    void addTo(EmailAddress *recipient) { addRecipient(recipient, To); }
    void addCc(EmailAddress *recipient) { addRecipient(recipient, Cc); }
    void addBcc(EmailAddress *recipient) { addRecipient(recipient, Bcc); }
    void setSubject(const QString &subject) { m_subject = subject; }
    void addPart(MimePart *part);
    void setHeaderEncoding(MimePart::Encoding encoding) { m_headerEncoding = encoding; }

    const EmailAddress *getSender() const { return m_sender; }
    const QList<EmailAddress *> &getRecipients(RecipientType type = To) const;
    QString getSubject() const { return m_subject; }

    // Every address given (sender and recipients; empty ones are left out
    // of the mail) passes EmailAddress::isValidAddress.
    bool addressesValid() const;

    // The whole message as sent (no Bcc header); false when a part could not
    // be read or an address is not valid.
    bool toBytes(QByteArray &out) const;

    // A header text as an RFC 2047 encoded word sequence (UTF-8, Base64);
    // plain ASCII without specials stays as it is.
    static QByteArray encodeWord(const QString &text, bool always);

private:
    QByteArray mailbox(const EmailAddress &address) const;

    EmailAddress *m_sender = nullptr;
    QList<EmailAddress *> m_to, m_cc, m_bcc;
    QString m_subject;
    QList<MimePart *> m_parts;
    MimePart::Encoding m_headerEncoding = MimePart::_8Bit;
};

#endif
