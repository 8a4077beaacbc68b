#ifndef SMTPCLIENT_H
#define SMTPCLIENT_H

#include <QString>
#include <QStringList>

class MimeMessage;

// An SMTP client for one mail at a time: connectToHost, login, sendMail and
// quit all travel over one connection. Results are plain bools; the last
// failure's text is kept for the trace.
class SmtpClient
{
public:
    enum ConnectionType { TcpConnection = 0, SslConnection = 1, TlsConnection = 2 };
    enum AuthMethod { AuthPlain = 0, AuthLogin = 1 };

    SmtpClient(const QString &host = QStringLiteral("localhost"), int port = 25,
               ConnectionType type = TcpConnection);
    ~SmtpClient();
    SmtpClient(const SmtpClient &) = delete;
    SmtpClient &operator=(const SmtpClient &) = delete;

    void setUser(const QString &user) { m_user = user; }
    void setPassword(const QString &password) { m_password = password; }
    void setAuthMethod(AuthMethod method) { m_authMethod = method; }
    AuthMethod getAuthMethod() const { return m_authMethod; }
    // Time-outs in milliseconds (both 30 s unless set).
    void setConnectionTimeout(int ms) { m_connectTimeoutMs = ms; }
    void setResponseTimeout(int ms) { m_responseTimeoutMs = ms; }
    // Certificates are always verified; this only names another CA file.
    void setCaFile(const QString &path) { m_caFile = path; }

    bool connectToHost();
    // With an empty user no authentication is attempted.
    bool login();
    bool sendMail(MimeMessage &message);
    void quit();

    QString lastError() const { return m_lastError; }

    // Defaults every new client takes (tests shorten the time-outs).
    static void setDefaultTimeouts(int connectMs, int responseMs);
    static void setDefaultCaFile(const QString &path);

private:
    bool perform(bool withCredentials);
    void applyOptions(bool withCredentials);

    QString m_host;
    int m_port;
    ConnectionType m_type;
    QString m_user;
    QString m_password;
    AuthMethod m_authMethod = AuthPlain;
    int m_connectTimeoutMs;
    int m_responseTimeoutMs;
    QString m_caFile;
    QString m_lastError;
    void *m_curl = nullptr;
    enum class State { Idle, LoggedIn, LoginRefused } m_state = State::Idle;
    AuthMethod m_refusedMethod = AuthPlain;
};

#endif
