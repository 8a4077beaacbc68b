#include "smtpclient.h"

#include "mimemessage.h"

#include <curl/curl.h>

#include <QByteArray>
#include <QDebug>

#include <algorithm>
#include <cstring>

namespace {

int g_connectTimeoutMs = 30000;
int g_responseTimeoutMs = 30000;
QString g_caFile;

struct CurlGlobal
{
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

struct Upload
{
    QByteArray data;
    qsizetype offset = 0;
};

size_t readUpload(char *buffer, size_t size, size_t count, void *user)
{
    Upload *up = static_cast<Upload *>(user);
    const size_t room = size * count;
    const size_t left = static_cast<size_t>(up->data.size() - up->offset);
    const size_t n = std::min(room, left);
    memcpy(buffer, up->data.constData() + up->offset, n);
    up->offset += static_cast<qsizetype>(n);
    return n;
}

size_t discard(char *, size_t size, size_t count, void *)
{
    return size * count;
}

} // namespace

void SmtpClient::setDefaultTimeouts(int connectMs, int responseMs)
{
    g_connectTimeoutMs = connectMs;
    g_responseTimeoutMs = responseMs;
}

void SmtpClient::setDefaultCaFile(const QString &path)
{
    g_caFile = path;
}

SmtpClient::SmtpClient(const QString &host, int port, ConnectionType type)
    : m_host(host), m_port(port), m_type(type), m_connectTimeoutMs(g_connectTimeoutMs),
      m_responseTimeoutMs(g_responseTimeoutMs), m_caFile(g_caFile)
{
    static CurlGlobal global;
    (void)global;
}

SmtpClient::~SmtpClient()
{
    quit();
}

void SmtpClient::applyOptions(bool withCredentials)
{
    CURL *curl = static_cast<CURL *>(m_curl);
    const QString scheme =
        m_type == SslConnection ? QStringLiteral("smtps") : QStringLiteral("smtp");
    const QByteArray url = QStringLiteral("%1://%2:%3").arg(scheme, m_host).arg(m_port).toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USE_SSL,
                     m_type == TlsConnection ? static_cast<long>(CURLUSESSL_ALL)
                                             : static_cast<long>(CURLUSESSL_NONE));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!m_caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, m_caFile.toLocal8Bit().constData());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_connectTimeoutMs));
    const long responseSeconds =
        std::max(1L, static_cast<long>((m_responseTimeoutMs + 999) / 1000));
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, responseSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, responseSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
    if (withCredentials) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, m_user.toUtf8().constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, m_password.toUtf8().constData());
        curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS,
                         m_authMethod == AuthLogin ? "AUTH=LOGIN" : "AUTH=PLAIN");
    } else {
        curl_easy_setopt(curl, CURLOPT_USERNAME, nullptr);
        curl_easy_setopt(curl, CURLOPT_PASSWORD, nullptr);
        curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, nullptr);
    }
}

// Opens the connection (greeting, EHLO, STARTTLS, AUTH as set) with a NOOP
// that curl keeps alive for the mail that follows.
bool SmtpClient::perform(bool withCredentials)
{
    if (!m_curl)
        m_curl = curl_easy_init();
    if (!m_curl) {
        m_lastError = QStringLiteral("no curl handle");
        return false;
    }
    CURL *curl = static_cast<CURL *>(m_curl);
    applyOptions(withCredentials);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, nullptr);
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, nullptr);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "NOOP");
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    const CURLcode rc = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, nullptr);
    if (rc == CURLE_OK) {
        m_state = State::LoggedIn;
        return true;
    }
    m_lastError = QString::fromUtf8(curl_easy_strerror(rc));
    if (rc == CURLE_LOGIN_DENIED) {
        m_state = State::LoginRefused;
        m_refusedMethod = m_authMethod;
        return true;
    }
    m_state = State::Idle;
    return false;
}

bool SmtpClient::connectToHost()
{
    quit();
    m_state = State::Idle;
    return perform(!m_user.isEmpty());
}

bool SmtpClient::login()
{
    if (m_state == State::LoggedIn)
        return true;
    if (m_user.isEmpty())
        return false;
    if (m_state == State::LoginRefused && m_authMethod == m_refusedMethod)
        return false;
    // Another method: a new connection, since the server may have given up
    // on the refused one.
    const bool reached = perform(true);
    return reached && m_state == State::LoggedIn;
}

bool SmtpClient::sendMail(MimeMessage &message)
{
    if (m_state != State::LoggedIn || !m_curl)
        return false;
    // A line break in a stored address would otherwise start another header
    // or another command.
    if (!message.addressesValid()) {
        m_lastError = QStringLiteral("an address is not valid");
        return false;
    }
    Upload upload;
    if (!message.toBytes(upload.data)) {
        m_lastError = QStringLiteral("an attachment could not be read");
        return false;
    }
    curl_slist *rcpt = nullptr;
    for (auto type : {MimeMessage::To, MimeMessage::Cc, MimeMessage::Bcc}) {
        for (const EmailAddress *a : message.getRecipients(type)) {
            const QByteArray addr = a->getAddress().trimmed().toUtf8();
            if (!addr.isEmpty())
                rcpt = curl_slist_append(rcpt, ("<" + addr + ">").constData());
        }
    }
    if (!rcpt || !message.getSender()) {
        curl_slist_free_all(rcpt);
        m_lastError = QStringLiteral("no recipient or no sender");
        return false;
    }
    CURL *curl = static_cast<CURL *>(m_curl);
    applyOptions(!m_user.isEmpty());
    const QByteArray from = "<" + message.getSender()->getAddress().trimmed().toUtf8() + ">";
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(upload.data.size()));
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    const CURLcode rc = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, nullptr);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    curl_slist_free_all(rcpt);
    if (rc != CURLE_OK) {
        m_lastError = QString::fromUtf8(curl_easy_strerror(rc));
        return false;
    }
    return true;
}

void SmtpClient::quit()
{
    if (m_curl) {
        curl_easy_cleanup(static_cast<CURL *>(m_curl));
        m_curl = nullptr;
    }
    m_state = State::Idle;
}
