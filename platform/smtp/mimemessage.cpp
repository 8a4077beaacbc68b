#include "mimemessage.h"

#include "mimeattachment.h"
#include "mimetext.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUuid>

namespace {

QByteArray base64Lines(const QByteArray &data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / 76 * 2 + 2);
    for (int i = 0; i < encoded.size(); i += 76) {
        out += encoded.mid(i, 76);
        out += "\r\n";
    }
    return out;
}

bool plainHeaderText(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e || c == QLatin1Char('"') ||
            c == QLatin1Char('='))
            return false;
    }
    return true;
}

// Encoded words of at most 75 characters, cut between characters.
QList<QByteArray> encodedWords(const QString &text)
{
    QList<QByteArray> words;
    QByteArray chunk;
    for (int i = 0; i < text.size(); ++i) {
        QString ch = text.at(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            ch += text.at(++i);
        const QByteArray bytes = ch.toUtf8();
        if (chunk.size() + bytes.size() > 45) {
            words << "=?UTF-8?B?" + chunk.toBase64() + "?=";
            chunk.clear();
        }
        chunk += bytes;
    }
    if (!chunk.isEmpty() || words.isEmpty())
        words << "=?UTF-8?B?" + chunk.toBase64() + "?=";
    return words;
}

} // namespace

bool MimeText::toBytes(QByteArray &out) const
{
    out = "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
          base64Lines(m_text.toUtf8());
    return true;
}

MimeAttachment::MimeAttachment(QFile *file) : m_file(file) {}

MimeAttachment::~MimeAttachment()
{
    delete m_file;
}

bool MimeAttachment::toBytes(QByteArray &out) const
{
    if (!m_file || !m_file->open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = m_file->readAll();
    const bool ok = m_file->error() == QFileDevice::NoError;
    m_file->close();
    if (!ok)
        return false;
    const QString name = QFileInfo(m_file->fileName()).fileName();
    const QByteArray encodedName = MimeMessage::encodeWord(name, true);
    const QByteArray type =
        QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension).name().toLatin1();
    out = "Content-Type: " + type + "; name=\"" + encodedName + "\"\r\n" +
          "Content-Transfer-Encoding: base64\r\n" + "Content-Disposition: attachment; filename=\"" +
          encodedName + "\"\r\n\r\n" + base64Lines(data);
    return true;
}

MimeMessage::MimeMessage(bool) {}

MimeMessage::~MimeMessage()
{
    delete m_sender;
    qDeleteAll(m_to);
    qDeleteAll(m_cc);
    qDeleteAll(m_bcc);
    qDeleteAll(m_parts);
}

void MimeMessage::setSender(EmailAddress *sender)
{
    delete m_sender;
    m_sender = sender;
}

void MimeMessage::addRecipient(EmailAddress *recipient, RecipientType type)
{
    (type == To ? m_to : type == Cc ? m_cc : m_bcc).append(recipient);
}

void MimeMessage::addPart(MimePart *part)
{
    m_parts.append(part);
}

const QList<EmailAddress *> &MimeMessage::getRecipients(RecipientType type) const
{
    return type == To ? m_to : type == Cc ? m_cc : m_bcc;
}

QByteArray MimeMessage::encodeWord(const QString &text, bool always)
{
    if (!always && plainHeaderText(text))
        return text.toUtf8();
    QByteArray out;
    for (const QByteArray &word : encodedWords(text))
        out += (out.isEmpty() ? QByteArray() : QByteArray(" ")) + word;
    return out;
}

QByteArray MimeMessage::mailbox(const EmailAddress &address) const
{
    const QByteArray addr = "<" + address.getAddress().trimmed().toUtf8() + ">";
    if (address.getName().isEmpty())
        return addr;
    return encodeWord(address.getName(), m_headerEncoding == MimePart::Base64) + " " + addr;
}

bool MimeMessage::addressesValid() const
{
    auto valid = [](const EmailAddress *a) {
        return !a || a->getAddress().trimmed().isEmpty() ||
               EmailAddress::isValidAddress(a->getAddress());
    };
    if (!valid(m_sender))
        return false;
    for (const QList<EmailAddress *> *list : {&m_to, &m_cc, &m_bcc}) {
        for (const EmailAddress *a : *list) {
            if (!valid(a))
                return false;
        }
    }
    return true;
}

bool MimeMessage::toBytes(QByteArray &out) const
{
    if (!addressesValid())
        return false;
    const QByteArray boundary = "=_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    QByteArray head;
    if (m_sender)
        head += "From: " + mailbox(*m_sender) + "\r\n";
    auto list = [&](const char *name, const QList<EmailAddress *> &addresses) {
        QList<QByteArray> boxes;
        for (const EmailAddress *a : addresses) {
            if (!a->getAddress().trimmed().isEmpty())
                boxes << mailbox(*a);
        }
        if (!boxes.isEmpty()) {
            QByteArray joined;
            for (const QByteArray &b : boxes)
                joined += (joined.isEmpty() ? QByteArray() : QByteArray(",\r\n ")) + b;
            head += QByteArray(name) + ": " + joined + "\r\n";
        }
    };
    list("To", m_to);
    list("Cc", m_cc);
    QByteArray subject;
    const QList<QByteArray> words =
        m_headerEncoding == MimePart::Base64 || !plainHeaderText(m_subject)
            ? encodedWords(m_subject)
            : QList<QByteArray>{m_subject.toUtf8()};
    for (const QByteArray &w : words)
        subject += (subject.isEmpty() ? QByteArray() : QByteArray("\r\n ")) + w;
    head += "Subject: " + subject + "\r\n";
    head += "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    head += "Message-ID: <" + QUuid::createUuid().toByteArray(QUuid::Id128) + "@corvan>\r\n";
    head += "MIME-Version: 1.0\r\n";
    head += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    QByteArray body = head;
    for (const MimePart *part : m_parts) {
        QByteArray bytes;
        if (!part->toBytes(bytes))
            return false;
        body += "--" + boundary + "\r\n" + bytes;
    }
    body += "--" + boundary + "--\r\n";
    out = body;
    return true;
}
