#ifndef PROCESSHELPER_H
#define PROCESSHELPER_H

#include "corvanglobal.h"
#include "pagefile.h"

#include <QList>
#include <QObject>
#include <QStringList>

struct tagSCAN_DESTINATION;

// Hands written documents to the desktop: the default handler, a local mail
// client, or the user's own program.
class ONEPRESS_EXPORT ProcessHelper : public QObject
{
    Q_OBJECT
public:
    explicit ProcessHelper(QObject *parent = nullptr);

    static bool openUrl(QList<tagSCAN_IMAGE_FILE> &pages);
    // Tells the user that the desktop opened nothing and where the document
    // is; nothing when the run wrote no document.
    static void reportNotOpened(const QList<tagSCAN_IMAGE_FILE> &pages);
    static bool startSystemMail(QList<tagSCAN_IMAGE_FILE> &pages);
    static bool startLinuxSystemMail(QList<tagSCAN_IMAGE_FILE> &pages);
    static bool startDetached(QList<tagSCAN_IMAGE_FILE> &pages, tagSCAN_DESTINATION &dest);

    // The mail clients tried in order; tests point them elsewhere.
    static QStringList mailClients();
    static void setMailClients(const QStringList &paths);
};

#endif
