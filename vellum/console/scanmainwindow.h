#ifndef SCANMAINWINDOW_H
#define SCANMAINWINDOW_H

#include "buttoneventcodec.h"
#include "corvanglobal.h"
#include "pmessage.h"
#include "records.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"

#include <QDialog>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QTimer>

#include <atomic>

class QAction;
class QThread;
class QListWidgetItem;
class QMenu;
class SettingForm;
class OxAdvancedSettingForm;
class DeviceForm;
class DiagnosticsForm;
class OnepressThread;
class ScanningThread;
class ScanningDialog;
class DetectPaperDialog;
class PreviewUpdateDialog;
class MultifeedDialog;
class calibrateThread;

namespace Ui {
class ScanMainWindow;
}

// The console window: the profile list and its commands, the Home, Settings
// and Device tabs, the diagnostics and setting-tool pages, and the driver of
// scans, calibrations, device detection and the scanner's panel buttons. The
// launcher keeps one hidden and drives it through the public operations.
class VELLUM_EXPORT ScanMainWindow : public QDialog
{
    Q_OBJECT
public:
    explicit ScanMainWindow(QWidget *parent = nullptr);
    ~ScanMainWindow() override;

    // The launcher's interface.
    ScanShortcutMenu *getScanShortcutMenu() { return &m_store; }
    void setCurrentScanShortcutMenu(QString id);
    void getCurrentScanShortcutMenu(tagSCAN_SHORTCUT_MENU &profile);
    void getMessages(PMessage **out) { *out = &m_hub; }
    void startDetectDeviceTimer();
    void stopDetectDeviceTimer();
    void setOnepressEvent(QList<tagONEPRESS_EVENT> list);
    bool startScanJob(tagSCAN_SHORTCUT_MENU &profile);
    bool isScanning() const { return m_scanning; }
    bool isCancel() const { return m_lastCancelled; }
    void setIsScanning(bool scanning) { m_scanning = scanning; }
    void closeDialog();
    void waitForExitSingle();
    void reload();

    // Pages and profiles.
    void updateAllVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void updateAllUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareAllVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    void connectAllChangeValueControlMessages();
    void disconnectAllChangeValueControlMessages();
    void buttonsStateChanged(bool changed);
    static void updateBarcodeStatus(tagSCAN_SHORTCUT_MENU &profile);
    void goToSettingPage(int code);
    bool isChanged() const { return m_changed; }

    // Scans and calibrations.
    void startScanningProgress();
    void stopScanningProgress();
    bool startCalibrateJob(tagSCAN_SHORTCUT_MENU &profile, int type);
    void startCalibrateProcess(int type);
    void stopCalibrateProgress();
    ScanningDialog *scanningDialog() const { return m_scanningDialog; }
    DetectPaperDialog *detectPaperDialog() const { return m_detectPaperDialog; }
    int previewCount() const { return m_previewCount; }
    int previewScan() const { return m_previewScan; }
    bool showProgress() const { return m_showProgress; }
    int paperIndex() const { return m_paperIndex; }
    int learnedSheets() const { return m_learnedSheets; }
    OnepressThread *onepressThread() const { return m_onepressThread; }
    QTimer *detectTimer() { return &m_detectTimer; }
    const tagINQUIRY &deviceInquiry() const { return m_inquiry; }

    SettingForm *settingForm() const { return m_settingForm; }
    OxAdvancedSettingForm *oxAdvancedSettingForm() const { return m_oxForm; }
    DeviceForm *deviceForm() const { return m_deviceForm; }
    DiagnosticsForm *diagnosticsForm() const { return m_diagnosticsForm; }
    QMenu *settingMenu() const { return m_settingMenu; }

public slots:
    virtual void clickedBtnCancel();
    virtual void scanFinish(tagSCAN_SHORTCUT_MENU *profile, int paperIndex, int stampStartIndex,
                            int scanAmount, int autoColorMinAmount, int autoColorThreshold);
    virtual void scanFileName(tagSCAN_SHORTCUT_MENU *profile, QString file, signed char side,
                              QStringList barcodes, int width, int height, int resolution,
                              int colourMode);

    void clickedBtnAbout();
    void clickedBtnHelp();
    void clickedBtnSave();
    void clickedBtnSaveAs();
    void clickedBtnDelete();
    void clickedBtnRename();
    void clickedBtnReset();
    void clickedBtnOK();
    void clickedBtnPreview();
    void clickedBtnLearn();
    void clickedResumeMenu();
    void clickedImportMenu();
    void clickedExportMenu();
    void currentItemChangedScanShortcut(QListWidgetItem *current, QListWidgetItem *previous);
    void itemSelectionChangedScanShortcut();
    void currentItemChangeInputDoc(int index);
    void predefinedControlValueChanged();
    void changeInputDocType(InputDocumentFlag type);
    void changePaperSource(AdfPaperSourceFlag source);
    void changedPaperIndex(int index);
    void showDiagnosticsPage();
    void hideDiagnosticsPage();
    void showSettingToolPage();
    void hideSettingToolPage();
    void mainWindow(int tab);

    void startDetectDeviceThread();
    void finishedOnepressThread();
    void updateDevice();
    void OnOpenUsbSuccessful();
    void OnNoUsbDevice();
    void OnUsbDeviceDisconnected();

    void finishedScanningThread();
    void cannelJob();
    void updatePaperStatus(bool found, bool done);
    void scanningMultifeed(QStringList files);
    void userInputFromPanel(int key);
    void previewAutoUpdate();
    void changePreviewMode(bool clear);
    void updatePreviewMode();
    void clearPreviewMode();
    void calibrateEnsureBtn(int type);
    void finishedCalibrateThread();
    void calibrateStatus(int type, bool ok);
    void postErrorCode(int code);
    void postErrorMessage(int code);

signals:
    void printerDetected();
    void noPrinterDetected();
    void PrinterDisconnected();
    void scanning();
    void scanFinished();
    void scanFileNameToMain(QString file, signed char side, QStringList barcodes, int width,
                            int height, int resolution, int colourMode);
    void scanFinishToMain();
    void showAboutDialog();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // The settings page's side whose preview page is shown; read on the GUI
    // thread when a scan starts.
    virtual int previewSideIndex() const;

private:
    void initDialog();
    void initGlobalVariable();
    void loadIcon();
    void loadWordingList();
    void createShortcutMenu();
    void createInputDocument();
    void updateInputDocument(int index);
    void loadScanShortcutList();
    void loadStackedWidget();
    void connectMessages();
    void connectChangeValueControlMessages();
    void disconnectChangeValueControlMessages();
    void loadProfileIntoPages(tagSCAN_SHORTCUT_MENU &profile);
    // Fills a zeroed record from the pages and asks the settings page whether
    // it can be scanned; false (after any warning) when it cannot.
    bool checkEditedSettings();
    bool saveCurrentEdits();
    void acceptAfterConfiguringDevice(const tagSCAN_SHORTCUT_MENU &profile);
    void setCurrentItemText(const QString &text);
    void selectStoreRow();
    bool threadsRunning() const;
    void closePreviewUpdateDialog();

    PMessage m_hub;
    Ui::ScanMainWindow *ui;
    ScanShortcutMenu m_store;
    SettingForm *m_settingForm = nullptr;
    OxAdvancedSettingForm *m_oxForm = nullptr;
    DeviceForm *m_deviceForm = nullptr;
    DiagnosticsForm *m_diagnosticsForm = nullptr;
    QMenu *m_settingMenu = nullptr;
    QAction *m_resumeAction = nullptr;
    QAction *m_importAction = nullptr;
    QAction *m_exportAction = nullptr;
    bool m_changed = false;
    bool m_reselect = false;
    QString m_rememberedName;
    bool m_changeConnected = false;

    // Device detection and the panel buttons.
    QTimer m_detectTimer;
    QList<tagONEPRESS_EVENT> m_buttons;
    OnepressThread *m_onepressThread = nullptr;
    int m_closing = 0;
    tagINQUIRY m_inquiry;

    // Scans.
    QMutex m_startMutex;
    ScanningThread *m_scanningThread = nullptr;
    calibrateThread *m_calibrateThread = nullptr;
    // OK's wake-up and configuration of the scanner.
    QThread *m_deviceThread = nullptr;
    ScanningDialog *m_scanningDialog = nullptr;
    DetectPaperDialog *m_detectPaperDialog = nullptr;
    PreviewUpdateDialog *m_previewUpdateDialog = nullptr;
    QPointer<MultifeedDialog> m_multifeedDialog;
    // The page handler runs on the scanning thread: what it reads of the
    // window is taken on the GUI thread at the start of the scan.
    std::atomic<int> m_previewPageCounter{0};
    std::atomic<int> m_sideIndex{0};
    std::atomic<bool> m_progressShown{false};
    std::atomic<bool> m_jobCancelled{false};
    int m_previewCount = 0;
    bool m_showProgress = true;
    int m_paperIndex = 1;
    int m_learnedSheets = 0;
    std::atomic<bool> m_scanning{false};
    bool m_lastCancelled = false;
    bool m_learnDone = false;
    int m_previewScan = 0;
};

#endif
