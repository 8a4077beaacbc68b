#include "consolelink.h"

#include "scanmainwindow.h"

namespace {

class ScanMainWindowLink : public ConsoleLink
{
public:
    explicit ScanMainWindowLink(QWidget *parent)
        : ConsoleLink(parent), m_window(new ScanMainWindow(parent))
    {
        // By name: the console's class is compiled into another library.
        connect(m_window, SIGNAL(printerDetected()), this, SIGNAL(printerDetected()));
        connect(m_window, SIGNAL(noPrinterDetected()), this, SIGNAL(noPrinterDetected()));
        connect(m_window, SIGNAL(PrinterDisconnected()), this, SIGNAL(PrinterDisconnected()));
        connect(m_window, SIGNAL(scanning()), this, SIGNAL(scanning()));
        connect(m_window, SIGNAL(scanFinished()), this, SIGNAL(scanFinished()));
        connect(m_window,
                SIGNAL(scanFileNameToMain(QString, signed char, QStringList, int, int, int, int)),
                this,
                SIGNAL(scanFileNameToMain(QString, signed char, QStringList, int, int, int, int)),
                Qt::DirectConnection);
        connect(m_window, SIGNAL(scanFinishToMain()), this, SIGNAL(scanFinishToMain()));
        connect(m_window, SIGNAL(showAboutDialog()), this, SIGNAL(showAboutDialog()));
    }

    PMessage *messages() override
    {
        PMessage *hub = nullptr;
        m_window->getMessages(&hub);
        return hub;
    }
    ScanShortcutMenu *profiles() override { return m_window->getScanShortcutMenu(); }
    ScanMainWindow *window() override { return m_window; }
    void setOnepressEvent(QList<tagONEPRESS_EVENT> buttons) override
    {
        m_window->setOnepressEvent(buttons);
    }
    void startDetectDeviceTimer() override { m_window->startDetectDeviceTimer(); }
    void setCurrentScanShortcutMenu(QString id) override
    {
        m_window->setCurrentScanShortcutMenu(id);
    }
    void getCurrentScanShortcutMenu(tagSCAN_SHORTCUT_MENU &profile) override
    {
        m_window->getCurrentScanShortcutMenu(profile);
    }
    void reload() override { m_window->reload(); }
    int exec() override { return m_window->exec(); }
    bool startScanJob(tagSCAN_SHORTCUT_MENU &profile) override
    {
        return m_window->startScanJob(profile);
    }
    bool isScanning() override { return m_window->isScanning(); }
    bool isCancel() override { return m_window->isCancel(); }
    bool isHidden() override { return m_window->isHidden(); }
    // Whoever hides the console (a disconnect) leaves it as its Cancel does:
    // no preview state, progress dialogs and multifeed questions back on.
    void hide() override
    {
        if (!m_window->isHidden())
            m_window->clickedBtnCancel();
    }
    void closeDialog() override { m_window->closeDialog(); }
    void waitForExitSingle() override { m_window->waitForExitSingle(); }
    void close() override { m_window->close(); }

private:
    ScanMainWindow *m_window;
};

} // namespace

ConsoleLink *createScanMainWindowLink(QWidget *parent)
{
    return new ScanMainWindowLink(parent);
}
