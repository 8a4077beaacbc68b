#include "usbport.h"

// The event release tool builds this file with USBPORT_PRODUCTION_MODELS_ONLY:
// it reads no configuration, so the model that the SupportAllModel switch
// admits is not in its table at all.
#ifndef USBPORT_PRODUCTION_MODELS_ONLY
#include "configfile.h"
#endif
#include "errorhandling.h"

#include <QDebug>

ConfigFile *g_pConfigFile = nullptr;

namespace {

constexpr int kInterface = 0;
constexpr int kLibusbLogLevel = 3;

struct SupportedModel
{
    quint16 vendorId;
    quint16 productId;
    const char *model;
};

const SupportedModel kModels[] = {
    {0x4E91, 0x0313, "VR512"},
    {0x4E91, 0x0314, "VR516"},
    {0x4E91, 0x0315, "VR540"},
};
#ifndef USBPORT_PRODUCTION_MODELS_ONLY
const SupportedModel kDebugModel = {0x6B3D, 0x103A, "Ox T2750k"};
#endif

const char *errorText(int rc)
{
    return libusb_strerror(static_cast<libusb_error>(rc));
}

// A transfer is handed to the kernel in one thread and its completion may be
// reaped, and this callback run, in another that handles events just then.
// The hand-over runs through the kernel, where ThreadSanitizer cannot see it;
// its builds are told.
#if defined(__SANITIZE_THREAD__)
#define USBPORT_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define USBPORT_TSAN 1
#endif
#endif
#ifdef USBPORT_TSAN
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
void handOver(void *p)
{
    __tsan_release(p);
}
void takeOver(void *p)
{
    __tsan_acquire(p);
}
#else
void handOver(void *) {}
void takeOver(void *) {}
#endif

void LIBUSB_CALL transferDone(libusb_transfer *transfer)
{
    takeOver(transfer);
    __atomic_store_n(static_cast<int *>(transfer->user_data), 1, __ATOMIC_RELEASE);
    handOver(transfer);
}

// The libusb error a finished transfer stands for.
int transferError(libusb_transfer_status status)
{
    switch (status) {
    case LIBUSB_TRANSFER_COMPLETED:
        return LIBUSB_SUCCESS;
    case LIBUSB_TRANSFER_TIMED_OUT:
        return LIBUSB_ERROR_TIMEOUT;
    case LIBUSB_TRANSFER_STALL:
        return LIBUSB_ERROR_PIPE;
    case LIBUSB_TRANSFER_NO_DEVICE:
        return LIBUSB_ERROR_NO_DEVICE;
    case LIBUSB_TRANSFER_OVERFLOW:
        return LIBUSB_ERROR_OVERFLOW;
    case LIBUSB_TRANSFER_CANCELLED:
        return LIBUSB_ERROR_INTERRUPTED;
    case LIBUSB_TRANSFER_ERROR:
        break;
    }
    return LIBUSB_ERROR_IO;
}

bool startLibusb(libusb_context **context)
{
    if (libusb_init(context) != LIBUSB_SUCCESS) {
        qDebug() << "libusb_init Error";
        *context = nullptr;
        return false;
    }
    libusb_set_option(*context, LIBUSB_OPTION_LOG_LEVEL, kLibusbLogLevel);
    return true;
}

} // namespace

USBPort::USBPort() = default;

USBPort::~USBPort()
{
    closeDataPort();
}

bool USBPort::setPort(QString strPort)
{
    if (strPort.isEmpty())
        return false;
    m_strPort = strPort;
    return true;
}

bool USBPort::openPort()
{
    return openLockPort() && openDataPort() && openEventPort();
}

bool USBPort::openLockPort()
{
    return true;
}

bool USBPort::openEventPort()
{
    return true;
}

QString USBPort::portKey(libusb_device *device)
{
    return QStringLiteral("%1;%2;")
        .arg(libusb_get_bus_number(device))
        .arg(libusb_get_device_address(device));
}

void USBPort::cancelEventTransfers()
{
    std::lock_guard<std::mutex> lock(m_flightMutex);
    for (libusb_transfer *transfer : m_eventTransfers)
        libusb_cancel_transfer(transfer);
}

bool USBPort::openDataPort()
{
    qDebug() << "openDataPort";
    if (m_strPort.isEmpty())
        return false;
    std::lock_guard<std::mutex> gate(m_gate);
    cancelEventTransfers();
    std::unique_lock<std::shared_mutex> owner(m_handleLock);
    return openLocked();
}

bool USBPort::openLocked()
{
    // A second open must not orphan the first handle with its claimed
    // interface: that would keep the device busy until the process ends.
    closeLocked();

    if (!startLibusb(&m_pContext))
        return false;

    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(m_pContext, &list);
    if (count < 0) {
        qDebug() << "libusb_get_device_list Get Device Error" << errorText(static_cast<int>(count));
        closeLocked();
        return false;
    }

    libusb_device *found = nullptr;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor;
        const int rc = libusb_get_device_descriptor(list[i], &descriptor);
        if (rc != LIBUSB_SUCCESS) {
            qDebug() << "libusb_get_device_descriptor() error!, errstr =" << errorText(rc);
            break;
        }
        if (portKey(list[i]) == m_strPort) {
            found = list[i];
            break;
        }
    }
    auto fail = [&]() {
        closeLocked();
        libusb_free_device_list(list, 1);
        return false;
    };
    if (!found)
        return fail();

    libusb_device_handle *handle = nullptr;
    int rc = libusb_open(found, &handle);
    if (rc != LIBUSB_SUCCESS) {
        qDebug() << "libusb_open() failed." << errorText(rc);
        return fail();
    }
    m_hDevice = handle;

    if (libusb_kernel_driver_active(handle, kInterface) != 0) {
        rc = libusb_detach_kernel_driver(handle, kInterface);
        if (rc == LIBUSB_SUCCESS)
            m_nDetached = 1;
        else
            qDebug() << "libusb_detach_kernel_driver() failed." << errorText(rc);
    }

    libusb_config_descriptor *config = nullptr;
    rc = libusb_get_config_descriptor(found, 0, &config);
    if (rc != LIBUSB_SUCCESS) {
        qDebug() << "libusb_get_config_descriptor() fialed." << errorText(rc);
        return fail();
    }
    rc = libusb_set_configuration(handle, config->bConfigurationValue);
    libusb_free_config_descriptor(config);
    if (rc != LIBUSB_SUCCESS) {
        qDebug() << "libusb_set_configuration() fialed." << errorText(rc);
        return fail();
    }

    rc = libusb_claim_interface(handle, kInterface);
    if (rc != LIBUSB_SUCCESS) {
        qDebug() << "libusb_claim_interface() fialed." << errorText(rc);
        return fail();
    }
    rc = libusb_set_interface_alt_setting(handle, kInterface, 0);
    if (rc != LIBUSB_SUCCESS) {
        qDebug() << "libusb_set_interface_alt_setting() fialed." << errorText(rc);
        return fail();
    }
    if (resetLocked() != 0)
        return fail();

    const struct
    {
        const char *label;
        unsigned char endpoint;
    } endpoints[] = {
        {"BulkInLockPort: 0x81", getPort(Lock, In)},   {"BulkOutLockPort: 0x01", getPort(Lock, Out)},
        {"BulkInDataPort: 0x82", getPort(Data, In)},   {"BulkOutDataPort: 0x02", getPort(Data, Out)},
        {"BulkInEventPort: 0x83", getPort(Event, In)}, {"BulkOutEventPort: 0x03", getPort(Event, Out)},
    };
    for (const auto &ep : endpoints)
        qDebug() << ep.label << libusb_get_max_iso_packet_size(found, ep.endpoint);

    libusb_free_device_list(list, 1);
    return true;
}

int USBPort::closePort()
{
    closeLockPort();
    closeDataPort();
    closeEventPort();
    return 1;
}

int USBPort::closeLockPort()
{
    return 1;
}

int USBPort::closeEventPort()
{
    return 1;
}

int USBPort::closeDataPort()
{
    std::lock_guard<std::mutex> gate(m_gate);
    cancelEventTransfers();
    std::unique_lock<std::shared_mutex> owner(m_handleLock);
    closeLocked();
    return 1;
}

void USBPort::closeLocked()
{
    if (libusb_device_handle *handle = m_hDevice.exchange(nullptr)) {
        libusb_release_interface(handle, kInterface);
        if (m_nDetached == 1)
            libusb_attach_kernel_driver(handle, kInterface);
        libusb_close(handle);
    }
    if (m_pContext) {
        libusb_exit(m_pContext);
        m_pContext = nullptr;
    }
}

bool USBPort::isOpen() const
{
    return m_hDevice.load() != nullptr;
}

int USBPort::resetDevice()
{
    std::lock_guard<std::mutex> gate(m_gate);
    cancelEventTransfers();
    std::unique_lock<std::shared_mutex> owner(m_handleLock);
    return resetLocked();
}

int USBPort::resetLocked()
{
    libusb_device_handle *handle = m_hDevice.load();
    if (!handle)
        return RC_NOT_CONNECTED;
    const int rc = libusb_reset_device(handle);
    if (rc != LIBUSB_SUCCESS) {
        qDebug() << "libusb_reset_device() fialed.";
        qDebug() << errorText(rc);
        return RC_NOT_CONNECTED;
    }
    return 0;
}

unsigned char USBPort::getPort(PortType type, Channel channel)
{
    if (type < Lock || type > Event)
        return 0;
    const unsigned char number = static_cast<unsigned char>(type);
    return channel == In ? static_cast<unsigned char>(LIBUSB_ENDPOINT_IN | number) : number;
}

int USBPort::read(PortType type, char *buffer, int length, int timeout)
{
    return transfer(type, In, buffer, length, timeout);
}

int USBPort::write(PortType type, const char *buffer, int length, int timeout)
{
    // libusb takes a non-const buffer for both directions; an OUT transfer
    // only reads from it.
    return transfer(type, Out, const_cast<char *>(buffer), length, timeout);
}

int USBPort::transfer(PortType type, Channel channel, char *buffer, int length, int timeout)
{
    std::shared_lock<std::shared_mutex> user(m_handleLock, std::defer_lock);
    {
        std::lock_guard<std::mutex> gate(m_gate);
        user.lock();
    }
    libusb_device_handle *handle = m_hDevice.load();
    if (!handle)
        return RC_NOT_CONNECTED;
    const char *label = channel == In ? "libusb_bulk_transfer() read return : "
                                      : "libusb_bulk_transfer() write return : ";
    if (length < 0 || (length > 0 && !buffer)) {
        qDebug() << label << LIBUSB_ERROR_INVALID_PARAM;
        return RC_IO_ERROR;
    }

    // One synchronous bulk transfer, made of libusb's asynchronous calls so
    // that an owner waiting for the handle can cancel a poll on the event
    // pipe instead of waiting it out.
    libusb_transfer *t = libusb_alloc_transfer(0);
    if (!t) {
        qDebug() << label << LIBUSB_ERROR_NO_MEM;
        return RC_IO_ERROR;
    }
    int completed = 0;
    libusb_fill_bulk_transfer(t, handle, getPort(type, channel),
                              reinterpret_cast<unsigned char *>(buffer), length, transferDone,
                              &completed, static_cast<unsigned int>(qMax(timeout, 0)));
    handOver(t);
    int rc = libusb_submit_transfer(t);
    if (rc != LIBUSB_SUCCESS) {
        libusb_free_transfer(t);
        qDebug() << label << rc;
        qDebug() << "status: " << errorText(rc);
        return RC_IO_ERROR;
    }
    if (type == Event) {
        std::lock_guard<std::mutex> lock(m_flightMutex);
        m_eventTransfers.insert(t);
    }
    while (!__atomic_load_n(&completed, __ATOMIC_ACQUIRE)) {
        const int r = libusb_handle_events_completed(m_pContext, &completed);
        if (r < 0 && r != LIBUSB_ERROR_INTERRUPTED)
            libusb_cancel_transfer(t);
    }
    takeOver(t);
    if (type == Event) {
        std::lock_guard<std::mutex> lock(m_flightMutex);
        m_eventTransfers.erase(t);
    }
    rc = transferError(t->status);
    const int transferred = t->actual_length;
    libusb_free_transfer(t);

    if (rc == LIBUSB_SUCCESS)
        return transferred;
    if (rc == LIBUSB_ERROR_TIMEOUT && channel == In)
        return RC_IO_TIMEOUT;
    qDebug() << label << rc;
    qDebug() << "status: " << errorText(rc);
    return RC_IO_ERROR;
}

bool USBPort::verifyPidVid(const libusb_device_descriptor &descriptor, QString &model)
{
#ifndef USBPORT_PRODUCTION_MODELS_ONLY
    const bool allModels = g_pConfigFile && g_pConfigFile->m_nSupportAllModel == 1;
    if (allModels && descriptor.idVendor == kDebugModel.vendorId) {
        if (descriptor.idProduct != kDebugModel.productId)
            return false;
        model = QString::fromLatin1(kDebugModel.model);
        return true;
    }
#endif
    for (const SupportedModel &m : kModels) {
        if (descriptor.idVendor == m.vendorId && descriptor.idProduct == m.productId) {
            model = QString::fromLatin1(m.model);
            return true;
        }
    }
    return false;
}

int USBPort::enumScannerDevices(QList<tagUSB_DEVICE_DESCRIPTION> &devices)
{
    qDebug() << "enumScannerDevices";
    libusb_context *context = nullptr;
    if (!startLibusb(&context))
        return RC_IO_ERROR;

    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    if (count < 0) {
        qDebug() << "libusb_get_device_list Get Device Error";
    } else {
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor descriptor;
            const int rc = libusb_get_device_descriptor(list[i], &descriptor);
            if (rc != LIBUSB_SUCCESS) {
                qDebug() << "libusb_get_device_descriptor() error!, errstr =" << errorText(rc);
                break;
            }
            QString model;
            if (verifyPidVid(descriptor, model) && !model.isEmpty())
                devices.append({portKey(list[i]), model});
        }
        libusb_free_device_list(list, 1);
    }
    libusb_exit(context);
    return devices.size();
}
