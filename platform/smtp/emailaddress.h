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

private:
    QString m_address;
    QString m_name;
};

#endif
