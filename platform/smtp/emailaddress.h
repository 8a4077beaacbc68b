#ifndef EMAILADDRESS_H
#define EMAILADDRESS_H

#include <QString>

// One mailbox: an address and an optional display name.
class EmailAddress
{
public:
    explicit EmailAddress(const QString &address = QString(), const QString &name = QString())
        : m_address(address), m_name(name)
    {
    }
    QString getAddress() const { return m_address; }
    QString getName() const { return m_name; }

    // An address that can go into a header and an SMTP command as it is:
    // something, "@", something, once blanks around it are taken away, and
    // no line break, control character, blank or angle bracket inside, any
    // of which would end the header or the command and start another.
    static bool isValidAddress(const QString &address)
    {
        const QString a = address.trimmed();
        bool at = false;
        for (int i = 1; i + 1 < a.size(); ++i)
            at = at || a.at(i) == QLatin1Char('@');
        if (!at)
            return false;
        for (const QChar c : a) {
            if (c.category() == QChar::Other_Control || c.isSpace() || c == QLatin1Char('<') ||
                c == QLatin1Char('>'))
                return false;
        }
        return true;
    }

private:
    QString m_address;
    QString m_name;
};

#endif
