#include "mainwindow.h"

#include "aboutdialog.h"
#include "buttonoptiondialog.h"
#include "consolelink.h"
#include "exithintdialog.h"
#include "filehelper.h"
#include "onepressglobal.h"
#include "pmessage.h"
#include "printshortcut.h"
#include "processfile.h"
#include "retoucher.h"
#include "savefiledialog.h"
#include "launcherprompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSettings>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>

MainWindow::MainWindow(QWidget *parent, ConsoleLink *console,
                       std::function<void(SystemTrayIcon &)> trayHook)
    : QMainWindow(parent), ui(new Ui_MainWindow), m_pConsole(console)
{
    m_pWorker = new ProcessFile();
    m_pWorkerThread = new QThread();
    m_pWorker->moveToThread(m_pWorkerThread);
    m_pWorkerThread->start(QThread::InheritPriority);

    m_chooseSaveFile = [](const QString &caption, const QString &path, const QString &filter) {
        return QFileDialog::getSaveFileName(nullptr, caption, path, filter);
    };
    m_exitPrompt = [](QWidget *parent) {
        ExitHintDialog dialog(parent);
        return dialog.exec();
    };
    if (trayHook)
        trayHook(m_tray);

    setWindowIcon(QIcon());
    ui->setupUi(this);
    initDialog();
    centreOnDesktop(this);
}

MainWindow::~MainWindow()
{
    stopWorker();
    delete m_pSaveFileDialog;
    delete m_pButtonOption;
    delete ui;
}

void MainWindow::stopWorker()
{
    // The worker may be waiting in a question: from now on every question is
    // answered "cancel" without a dialog, and a running save is told to stop.
    m_bClosing = true;
    m_run->close();
    QElapsedTimer clock;
    clock.start();
    while (m_run->isSaving() && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
    m_pWorkerThread->quit();
    if (m_pWorkerThread->wait(5000)) {
        delete m_pWorker;
        delete m_pWorkerThread;
    } else {
        qDebug() << "MainWindow: the output worker did not stop; left to the process's end";
    }
    m_pWorker = nullptr;
    m_pWorkerThread = nullptr;
}

void MainWindow::initDialog()
{
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);
    QGuiApplication::setQuitOnLastWindowClosed(false);

    m_pSaveFileDialog = new SaveFileDialog(nullptr);
    if (!m_pConsole)
        m_pConsole = createScanMainWindowLink(this);
    else
        m_pConsole->setParent(this);
    connect(m_pConsole, &ConsoleLink::printerDetected, this, &MainWindow::OnPrinterConnected);
    connect(m_pConsole, &ConsoleLink::noPrinterDetected, this, &MainWindow::OnNoPrinter);
    connect(m_pConsole, &ConsoleLink::PrinterDisconnected, this,
            &MainWindow::OnPrinterDisconnected);
    connect(m_pConsole, &ConsoleLink::scanning, this, &MainWindow::OnScanning);
    connect(m_pConsole, &ConsoleLink::scanFinished, this, &MainWindow::OnScanfinished);
    m_pMessages = m_pConsole->messages();
    m_run.reset(new TaskRun(m_pConsole, &m_tasks, &m_destinations));
    m_run->setAsker(this);
    m_run->setWorker(this);

    loadUserCfgFile();
    m_tasks.loadTaskList(m_pConsole->profiles());
    m_destinations.loadScanDestination();
    m_fileTypes.loadFileTypeList();
    m_nameFormats.loadFileNameFormatList();
    m_scalePrint.loadScaleStyleList();

    reloadTray();

    loadIcon();
    createScanToMenu();
    loadWordingList();
    loadComboboxControl();
    loadPrinterDriverName();

    connectMessages();
    tagTASK_SHORTCUT task;
    m_tasks.getCurrentTaskShortcut(task);
    updateControlLayout(m_destinations.getScanDestID(task.ScanDestinationID));
    updateVariableToUIControl();

    setOnepressEvent();
    m_pConsole->startDetectDeviceTimer();
    m_pConsole->hide();
    ui->pushButtonApply->setEnabled(false);
}

void MainWindow::connectMessages()
{
    connectEditorMessages();
    connect(ui->pushButtonAbout, &QPushButton::clicked, this, &MainWindow::clickedBtnAbout);
    connect(ui->pushButtonHelp, &QPushButton::clicked, this, &MainWindow::clickedBtnHelp);
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &MainWindow::clickedBtnOK);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &MainWindow::clickedBtnCancel);
    connect(ui->pushButtonApply, &QPushButton::clicked, this, &MainWindow::clickedBtnApply);
    connect(ui->pushButtonTest, &QPushButton::clicked, this, &MainWindow::clickedBtnTest);

    connect(&m_tray, &SystemTrayIcon::systemMenuConfig, this, &MainWindow::systemMenuConfig);
    connect(&m_tray, &SystemTrayIcon::systemMenuOption, this, &MainWindow::systemMenuOption);
    connect(&m_tray, &SystemTrayIcon::systemMenuPrint, this, &MainWindow::systemMenuPrint);
    connect(&m_tray, &SystemTrayIcon::systemMenuHelp, this, &MainWindow::clickedBtnHelp);
    connect(&m_tray, &SystemTrayIcon::systemMenuAbout, this, &MainWindow::clickedBtnAbout);
    connect(&m_tray, &SystemTrayIcon::systemMenuExit, this, &MainWindow::systemMenuExit);
    connect(&m_tray, &SystemTrayIcon::systemMenuTaskID, this, &MainWindow::systemMenuTaskID);
    connect(&m_tray, &SystemTrayIcon::activedSystemTray, this, &MainWindow::activedSystemTrayMenu);
    connect(&m_tray, &SystemTrayIcon::systemTrayReady, this, &MainWindow::OnSystemTrayReady);

    // The hub is the console's object, compiled into the console's library:
    // connected by name. It emits on the button-event thread.
    if (m_pMessages)
        connect(m_pMessages, SIGNAL(pressTouchPanel(int)), this, SLOT(pressTouchPanel(int)));
    connect(m_pConsole, &ConsoleLink::scanFinishToMain, this, &MainWindow::scanFinishFromScanMain);
    connect(m_pConsole, &ConsoleLink::scanFileNameToMain, this,
            &MainWindow::scanFileNameFromScanMain, Qt::DirectConnection);
    connect(m_pConsole, &ConsoleLink::showAboutDialog, this, &MainWindow::clickedBtnAbout);

    connect(this, &MainWindow::saveFiles, m_pWorker, &ProcessFile::OnStartSaveFile);
    connect(m_pWorker, &ProcessFile::showSaveDialog, this, &MainWindow::OnSaveScanedFiles,
            Qt::BlockingQueuedConnection);
    connect(m_pWorker, &ProcessFile::saveFileStart, this, &MainWindow::OnSaveFileStart);
    connect(m_pWorker, &ProcessFile::saveFileValueChanged, this,
            &MainWindow::OnSaveFileValueChanged);
    connect(m_pWorker, &ProcessFile::saveFileFinished, this, &MainWindow::OnSaveFileFinished);
    connect(m_pWorker, &ProcessFile::showKeyWordsDialog, this, &MainWindow::OnShowKeyWordsDialog,
            Qt::BlockingQueuedConnection);
    connect(m_pWorker, &ProcessFile::userCancelSaveFile, this, &MainWindow::OnUserCancelSaveFile);
    connect(m_pWorker, &ProcessFile::blankPageGroup, this, &MainWindow::OnblankPageGroup,
            Qt::BlockingQueuedConnection);
    connect(m_pWorker, &ProcessFile::blankPageAndBarcodeGroup, this,
            &MainWindow::OnBlankPageAndBarcodeGroup, Qt::BlockingQueuedConnection);
    connect(m_pWorker, &ProcessFile::barcodeGroup, this, &MainWindow::OnBarcodeGroup,
            Qt::BlockingQueuedConnection);
    connect(m_pWorker, &ProcessFile::canceling, this, &MainWindow::OnProcessfileCanceling);
    connect(m_pWorker, &ProcessFile::startOcring, this, &MainWindow::OnProcessfileStartOcr);
    connect(m_pWorker, &ProcessFile::ocrValueChanged, this, &MainWindow::OnOCRValueChanged);
    connect(m_pSaveFileDialog, &SaveFileDialog::userCancel, this,
            &MainWindow::OnUserCancelSaveFromDialog);
}

int MainWindow::readOptionNumber(const QString &optionIni)
{
    QSettings ini(optionIni, QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    const int n = ini.value("Buttons/OptionNumber", 20).toInt();
    return static_cast<unsigned>(n) > 20u ? 20 : n;
}

void MainWindow::loadUserCfgFile()
{
    m_nOptionNumber = readOptionNumber(g_ConfigFile.m_strOptionIni);
}

void MainWindow::saveUserCfgFile()
{
    if (!FileHelper::replaceIni(g_ConfigFile.m_strOptionIni, [this](QSettings &ini) {
            ini.setValue("Buttons/OptionNumber", m_nOptionNumber);
        }))
        qDebug() << "MainWindow: option.ini not written";
}

void MainWindow::reloadTray()
{
    m_tray.loadSystemTrayMenu(&m_tasks, m_bConnected, m_nOptionNumber);
}

void MainWindow::OnSystemTrayReady()
{
    reloadTray();
}

void MainWindow::activedSystemTrayMenu(QSystemTrayIcon::ActivationReason reason)
{
    if (!isHidden()) {
        activateWindow();
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        return;
    }
    if (!m_run->isBusy() && reason == QSystemTrayIcon::Trigger)
        m_tray.showSystemTrayMenu();
}

void MainWindow::systemMenuConfig()
{
    show();
    m_tray.unloadSystemTrayMenu();
}

void MainWindow::systemMenuOption()
{
    if (!m_pButtonOption)
        m_pButtonOption = new ButtonOptionDialog(&m_nOptionNumber, this);
    m_tray.unloadSystemTrayMenu();
    if (m_pButtonOption->exec() == 1) {
        ui->comboBoxTaskShortcut->clear();
        m_tasks.loadTaskListToControl(ui->comboBoxTaskShortcut, m_nOptionNumber);
        setOnepressEvent();
    }
    reloadTray();
}

void MainWindow::systemMenuPrint()
{
    QStringList names;
    for (int i = 0; i < m_nOptionNumber; ++i) {
        tagTASK_SHORTCUT task;
        if (!m_tasks.enumTaskShortcut(i, task) || !task.EnableCommand)
            break;
        names << task.Name;
    }
    m_tray.unloadSystemTrayMenu();
    PrintShortcutDialog dialog(names, this);
    dialog.exec();
    reloadTray();
}

void MainWindow::clickedBtnHelp()
{
    // A help document that was not installed opens nothing and shows nothing.
    if (!QFileInfo::exists(g_ConfigFile.m_strHelpFile)) {
        qDebug() << "MainWindow: no help document at" << g_ConfigFile.m_strHelpFile;
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(g_ConfigFile.m_strHelpFile));
}

void MainWindow::clickedBtnAbout()
{
    if (!m_pAbout)
        m_pAbout = new AboutDialog(this);
    m_tray.unloadSystemTrayMenu();
    m_pAbout->exec();
    if (isHidden() && m_pConsole->isHidden())
        reloadTray();
}

void MainWindow::systemMenuExit()
{
    if (m_exitPrompt(this) != 1)
        return;
    QGuiApplication::setQuitOnLastWindowClosed(true);
    m_bExit = true;
    close();
}

void MainWindow::showEvent(QShowEvent *event)
{
    ui->pushButtonApply->setEnabled(false);
    m_tray.unloadSystemTrayMenu();
    QMainWindow::showEvent(event);
}

void MainWindow::hideEvent(QHideEvent *event)
{
    if (!m_run->isBusy())
        reloadTray();
    QMainWindow::hideEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_bExit) {
        event->ignore();
        clickedBtnCancel();
        return;
    }
    saveUserCfgFile();
    m_pConsole->closeDialog();
    m_pConsole->waitForExitSingle();
    m_pConsole->close();
    event->accept();
    // A hidden window is never "the last window closed": the entry function
    // ends the loop on this signal.
    emit exitConfirmed();
}

void MainWindow::closeAllPopWindow()
{
    hide();
    m_pConsole->hide();
}

void MainWindow::OnPrinterConnected()
{
    m_bConnected = true;
    reloadTray();
}

void MainWindow::OnNoPrinter()
{
    m_bConnected = false;
    hide();
    reloadTray();
}

void MainWindow::OnPrinterDisconnected()
{
    m_bConnected = false;
    closeAllPopWindow();
    // A scan cut short is cleaned up and released at once; a run whose scan
    // is complete goes on to its document and hand-off without the scanner.
    m_run->scannerLost();
    if (!m_run->isBusy())
        reloadTray();
}

void MainWindow::OnScanning() {}

void MainWindow::OnScanfinished()
{
    // The user stopped at the multifeed question: the end of the scan
    // follows and decides what becomes of the pages so far.
    if (isHidden() && !m_run->isBusy())
        reloadTray();
}
