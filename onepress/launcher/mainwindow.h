#ifndef MAINWINDOW_H
#define MAINWINDOW_H

// The launcher's one window. Hidden behind the tray icon, it owns the task
// and destination stores, the embedded console, the output worker and its
// thread, and runs one button task at a time from scan to destination.

#include "buttoneventcodec.h"
#include "mainwindowform.h"
#include "outputoptions.h"
#include "retoucher.h"
#include "pagefile.h"
#include "scandestination.h"
#include "systemtrayicon.h"
#include "taskrun.h"
#include "taskshortcut.h"

#include <QList>
#include <QMainWindow>
#include <QMutex>
#include <QPrinter>
#include <QPointer>
#include <QString>
#include <QVector>

#include <atomic>
#include <functional>
#include <memory>

class AboutDialog;
class ButtonOptionDialog;
class ConsoleLink;
class PMessage;
class ProcessFile;
class QComboBox;
class QMenu;
class QPushButton;
class QThread;
class Retoucher;
class SaveFileDialog;

class MainWindow : public QMainWindow, private RunAsker, private RunWorker
{
    Q_OBJECT
public:
    // With no console given, the window builds the real one.
    explicit MainWindow(QWidget *parent = nullptr, ConsoleLink *console = nullptr,
                        std::function<void(SystemTrayIcon &)> trayHook = {});
    ~MainWindow() override;

    // option.ini: a value outside 0..20 (compared unsigned) becomes 20.
    static int readOptionNumber(const QString &optionIni);

    // Inspection for tests and the tray.
    int optionNumber() const { return m_nOptionNumber; }
    void setOptionNumber(int n) { m_nOptionNumber = n; }
    bool isBusy() const;
    bool isSaving() const;
    bool isConnected() const { return m_bConnected; }
    bool isExiting() const { return m_bExit; }
    QList<tagSCAN_IMAGE_FILE> pages() const;
    QString currentTaskId() const;
    TaskRun *run() const { return m_run.get(); }
    QList<tagONEPRESS_EVENT> lastButtons() const { return m_lastButtons; }
    SystemTrayIcon &tray() { return m_tray; }
    TaskShortcut &tasks() { return m_tasks; }
    ScanDestination &destinations() { return m_destinations; }
    ConsoleLink *console() const { return m_pConsole; }
    ProcessFile *worker() const { return m_pWorker; }
    QThread *workerThread() const { return m_pWorkerThread; }
    SaveFileDialog *saveFileDialog() const { return m_pSaveFileDialog; }
    Retoucher *retoucher() const { return m_pRetoucher; }
    Ui_MainWindow *form() const { return ui; }

    // The save-as question's file chooser (caption, start path, filter);
    // tests replace the system dialog.
    using FileChooser = std::function<QString(const QString &, const QString &, const QString &)>;
    void setSaveFileChooser(FileChooser chooser) { m_chooseSaveFile = std::move(chooser); }
    // The exit confirmation; by default the exit dialog.
    void setExitPrompt(std::function<int(QWidget *)> prompt) { m_exitPrompt = std::move(prompt); }
    // The folder browser (caption, start folder); tests replace the system dialog.
    using FolderChooser = std::function<QString(const QString &, const QString &)>;
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    QMenu *scanToMenu() const { return m_pScanToMenu; }

    void setOnepressEvent();
    bool getVellumParamsValue(tagTASK_SHORTCUT &task);
    bool getVellumParams(tagSCAN_SHORTCUT_MENU &profile);
    void saveImages();
    void ScanedToDes();
    void removeListImageFiles();
    void removeListEndImageFiles();
    void loadUserCfgFile();
    void saveUserCfgFile();
    void closeAllPopWindow();

    // The task editor.
    void loadWordingList();
    void loadComboboxControl();
    void loadPrinterDriverName();
    void connectChangeValueControlMessages();
    void disconnectChangeValueControlMessages();
    void updateControlLayout(ScanDestFlag kind);
    bool updateVariableToUIControl();
    bool updateApplicatonData(tagTASK_SHORTCUT &task);
    bool updateEmailData(tagTASK_SHORTCUT &task);
    bool updatePrinterData(tagTASK_SHORTCUT &task);
    void updateWatermarkControl(ScanFileTypeFlag type);
    bool updateScanShortcutMenu(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl();
    bool compareApplicatonData(tagTASK_SHORTCUT &task);
    bool compareEmailData(tagTASK_SHORTCUT &task);
    bool comparePrinterData(tagTASK_SHORTCUT &task);
    bool compareScanShortcutMenu(tagTASK_SHORTCUT &task);
    bool checkTheFileNamePrefixIsVaild();
    bool checkTheSaveFilePathIsExist();
    bool checkTheFilePathIsExist(QString path);
    bool updateUIControlToVariable();
    bool saveApplicatonData(tagTASK_SHORTCUT &task);
    bool saveEmailData(tagTASK_SHORTCUT &task);
    bool savePrinterData(tagTASK_SHORTCUT &task);
    bool saveScanShortcutMenu(tagTASK_SHORTCUT &task);
    // The prefix pattern: a prefix that matches it (after "\\" became "*") is refused.
    static bool prefixIsValid(const QString &prefix);
    void showCurrentTask(bool suspendNotifications = true);
    int workingThreshold() const { return m_nBlankThreshold; }
    void setWorkingThreshold(int t) { m_nBlankThreshold = t; }
    tagWATERMARK workingWatermark() const { return m_watermark; }
    void setWorkingWatermark(const tagWATERMARK &w) { m_watermark = w; }
    QPrinter &taskPrinter() { return m_taskPrinter; }
    const tagSCAN_SHORTCUT_MENU &workingProfile() const { return m_profile; }

signals:
    void saveFiles();
    void exitConfirmed();

public slots:
    void OnSystemTrayReady();
    void activedSystemTrayMenu(QSystemTrayIcon::ActivationReason reason);
    void systemMenuConfig();
    void systemMenuOption();
    void systemMenuPrint();
    void clickedBtnHelp();
    void clickedBtnAbout();
    void systemMenuExit();
    void clickedBtnCancel();
    void clickedBtnOK();
    void clickedBtnApply();
    void currentItemChangeCmbTaskShortcut(int index);
    void currentItemChangeCmbScanDestination(int index);
    void currentItemChangeCmbScanDestinationEx(int index);
    void currentItemChangeCmbFileType(int index);
    void currentItemChangeCmbFileNameFormat();
    void currentItemChangeCmbScalePrintingPage();
    void checkBoxBeforeSaveFileSettingName();
    void settingBeChanged();
    void clickedBeforeSaveFileEditImage();
    void clickedBoxADFTrayEmptyWaiting();
    void clickedBlankPageSeparate(bool checked);
    void clickedAddWatermark(bool checked);
    void clickedBtnTaskRename();
    void createNewTaskShortcut();
    void clickedBtnCreateNew();
    void clickedWebMailMenu();
    void clickedCustomAppMenu();
    void clickedBtnSaveAs();
    void clickedBtnModify();
    void clickedBtnDelete();
    void clickedBtnBrowsePath();
    void clickedBtnOcrFileSetting();
    void clickedBlankPageSetting();
    void clickedWatermarkSetting();
    void clickedBtnPrinterSetting();
    void clickedBtnSettingShortcut();

    void OnPrinterConnected();
    void OnNoPrinter();
    void OnPrinterDisconnected();
    void OnScanning();
    void OnScanfinished();

    void pressTouchPanel(int button);
    void systemMenuTaskID(QString taskId);
    void clickedBtnTest();
    void scanFileNameFromScanMain(QString file, signed char side, QStringList barcodes, int width,
                                  int height, int resolution, int colour);
    void scanFinishFromScanMain();
    void closeRetoucher(bool accepted);

    void OnSaveScanedFiles(QString defaultPath, QString filter);
    void OnShowKeyWordsDialog();
    void OnblankPageGroup(int blankPages, int groups);
    void OnBlankPageAndBarcodeGroup(int blankPages, int barcodes, int groups);
    void OnBarcodeGroup(int barcodes, int groups);
    void OnSaveFileStart(int done, int total);
    void OnSaveFileValueChanged(int done, int total);
    void OnOCRValueChanged(int done, int total);
    void OnProcessfileStartOcr();
    void OnProcessfileCanceling();
    void OnUserCancelSaveFromDialog();
    void OnUserCancelSaveFile();
    void OnSaveFileFinished();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void initDialog();
    void connectMessages();
    void reloadTray();
    bool runAllowed(bool fromTest) const;
    void groupQuestion(const QString &text);

    // What a run asks of the window and of the output worker.
    void runStarted() override;
    void runReleased() override;
    bool askMorePages() override;
    bool openEditor(const tagSCAN_SHORTCUT_MENU &profile) override;
    void closeEditor(QList<tagSCAN_IMAGE_FILE> *pages) override;
    Printed print(const QList<tagSCAN_IMAGE_FILE> &pages, const tagTASK_SHORTCUT &task) override;
    bool handOff(ScanDestFlag kind, const QList<tagSCAN_IMAGE_FILE> &pages,
                 const tagTASK_SHORTCUT &task) override;
    void showFailure(int code) override;
    void markBlankPages(const QList<tagSCAN_IMAGE_FILE> &pages, int threshold) override;
    void startSave(const tagTASK_SHORTCUT &task, const QList<tagSCAN_IMAGE_FILE> &pages) override;
    void cancelSave() override;
    void stopWorker();
    void connectEditorMessages();
    void reportWriteFailure();
    // The form into the current task, then every task folder to disk.
    bool writeTasks();
    void createScanToMenu();
    void loadIcon();
    void addUserDestination(tagSCAN_DESTINATION &record);

    Ui_MainWindow *ui;
    SystemTrayIcon m_tray;
    TaskShortcut m_tasks;
    ScanDestination m_destinations;
    ScanFileType m_fileTypes;
    FileNameFormat m_nameFormats;
    ScalePrintPage m_scalePrint;
    ButtonOptionDialog *m_pButtonOption = nullptr;
    AboutDialog *m_pAbout = nullptr;
    bool m_bExit = false;
    bool m_bConnected = false;
    int m_nOptionNumber = 20;
    ConsoleLink *m_pConsole = nullptr;
    QPointer<Retoucher> m_pRetoucher;
    SaveFileDialog *m_pSaveFileDialog = nullptr;
    PMessage *m_pMessages = nullptr;

    // The running task: its pages, its state and its clean-up.
    std::unique_ptr<TaskRun> m_run;
    QMutex m_runMutex;
    // Read by the blank-page check on the worker's thread.
    std::atomic<bool> m_bClosing{false};
    QList<tagONEPRESS_EVENT> m_lastButtons;

    // The editor's working values.
    tagSCAN_SHORTCUT_MENU m_profile = tagTASK_SHORTCUT::zeroScanProfile();
    int m_nBlankThreshold = 5;
    tagWATERMARK m_watermark;
    QPrinter m_taskPrinter{QPrinter::ScreenResolution};

    ProcessFile *m_pWorker = nullptr;
    QThread *m_pWorkerThread = nullptr;
    FileChooser m_chooseSaveFile;
    FolderChooser m_chooseFolder;
    QMenu *m_pScanToMenu = nullptr;
    std::function<int(QWidget *)> m_exitPrompt;
};

#endif // MAINWINDOW_H
