// The console window's side of device detection, the panel-button thread and
// the shut-down that the launcher drives.
#include "scanmainwindow.h"

#include "deviceform.h"
#include "diagnosticsform.h"
#include "onepressthread.h"
#include "scanningthread.h"
#include "settingform.h"
#include "smallrecords.h"
#include "calibratethread.h"
#include "vellumglobal.h"

#include <QCoreApplication>
#include <QDebug>

void ScanMainWindow::startDetectDeviceTimer()
{
    connect(&m_detectTimer, &QTimer::timeout, this, &ScanMainWindow::startDetectDeviceThread,
            Qt::UniqueConnection);
    m_detectTimer.start(1000);
}

void ScanMainWindow::stopDetectDeviceTimer()
{
    m_detectTimer.stop();
    disconnect(&m_detectTimer, &QTimer::timeout, this, &ScanMainWindow::startDetectDeviceThread);
}

void ScanMainWindow::startDetectDeviceThread()
{
    // One owner of the port at a time: a thread still ending keeps it.
    if (m_onepressThread)
        return;
    QList<tagUSB_DEVICE_DESCRIPTION> devices;
    Devgate::enumScannerDevices(devices);
    if (devices.isEmpty())
        return;
    m_detectTimer.stop();
    m_onepressThread = new OnepressThread(m_buttons, &m_hub, m_scanningThread, this);
    connect(m_onepressThread, &QThread::finished, this, &ScanMainWindow::finishedOnepressThread);
    connect(m_onepressThread, &OnepressThread::openUsbSuccess, this,
            &ScanMainWindow::OnOpenUsbSuccessful);
    connect(m_onepressThread, &OnepressThread::noUsbfound, this, &ScanMainWindow::OnNoUsbDevice);
    connect(m_onepressThread, &OnepressThread::usbDisconnected, this,
            &ScanMainWindow::OnUsbDeviceDisconnected);
    m_onepressThread->start(QThread::HighPriority);
    m_diagnosticsForm->setModelName(devices.first().modelName);
    g_Devgate.setScannerModel(devices.first().modelName);
}

void ScanMainWindow::finishedOnepressThread()
{
    OnepressThread *thread = m_onepressThread;
    m_onepressThread = nullptr;
    if (thread) {
        thread->wait();
        delete thread;
    }
    if (m_closing)
        close();
    else
        startDetectDeviceTimer();
}

void ScanMainWindow::setOnepressEvent(QList<tagONEPRESS_EVENT> list)
{
    m_buttons = list;
    if (m_onepressThread)
        m_onepressThread->setParameters(list);
}

void ScanMainWindow::updateDevice()
{
    tagTIME_DATE_LOCAL clock;
    g_Devgate.timeDateLocal(clock);
    if (g_Devgate.getInquiry(m_inquiry) != 0)
        return;
    if (m_deviceForm)
        m_deviceForm->updatePaperSourceState(m_inquiry.PaperSourceState);
    if (m_settingForm)
        m_settingForm->updateFlatbedType(m_inquiry.AccessoryType);
    // The record's readers stop at the field's end: a full 16-byte serial
    // number has no terminating zero.
    if (m_diagnosticsForm)
        m_diagnosticsForm->updatePaperSourceState(
            m_inquiry.PaperSourceState, m_inquiry.SerialNumber.text(),
            m_inquiry.FirmwareVersion.text(), m_inquiry.AccessoryType);
}

void ScanMainWindow::OnOpenUsbSuccessful()
{
    emit printerDetected();
}

void ScanMainWindow::OnNoUsbDevice()
{
    emit noPrinterDetected();
}

void ScanMainWindow::OnUsbDeviceDisconnected()
{
    emit PrinterDisconnected();
}

void ScanMainWindow::closeDialog()
{
    // A job left running would hold the facade while the button thread
    // waits to close the port: stop it first.
    if (m_scanningThread || m_calibrateThread)
        g_Devgate.cancelJob();
    if (m_onepressThread) {
        m_closing = 1;
        m_onepressThread->setCancel();
    }
    if (m_detectTimer.isActive())
        stopDetectDeviceTimer();
    m_store.saveScanShortcut();
}

bool ScanMainWindow::threadsRunning() const
{
    return m_onepressThread || m_scanningThread || m_calibrateThread || m_deviceThread;
}

// Turns the event loop while waiting: the scanning thread may be waiting for
// an error box or a queued answer that only the GUI thread can give.
void ScanMainWindow::waitForExitSingle()
{
    while (threadsRunning())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}
