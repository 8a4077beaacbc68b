// The GLib side of the emulator: no Qt header may be included here, since
// GLib uses `signals` as an identifier.
#include "emulatedbus.h"

#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

namespace emu {

namespace {

const char kPreload[] = "libumockdev-preload.so.0";

// One URB the client has submitted and not yet reaped.
struct Urb
{
    UMockdevIoctlData *urbData = nullptr; // the client's usbdevfs_urb, resolved
    UMockdevIoctlData *bufferData = nullptr;
    unsigned long clientAddress = 0;
    uint64_t transfer = 0;
    ScannerEmulator::Client owner = 0;
    bool in = false;
    bool discarded = false;
    std::optional<Completion> done;
};

struct Binding
{
    std::shared_ptr<ScannerEmulator> model;
    std::string devnode;
    std::string syspath;
    UMockdevIoctlBase *handler = nullptr;
    gulong signals[2] = {0, 0};
    std::mutex mutex;
    std::vector<Urb> urbs;
    std::vector<UMockdevIoctlClient *> clients;
    bool unplugged = false;
};

ScannerEmulator::Client clientId(UMockdevIoctlClient *client)
{
    return static_cast<ScannerEmulator::Client>(reinterpret_cast<uintptr_t>(client));
}

void dropUrb(Urb &urb)
{
    if (urb.bufferData)
        g_object_unref(urb.bufferData);
    if (urb.urbData)
        g_object_unref(urb.urbData);
    urb.bufferData = nullptr;
    urb.urbData = nullptr;
}

void sweepClients(Binding &b);

void disconnectHandler(Binding &b)
{
    for (gulong id : b.signals) {
        if (id)
            g_signal_handler_disconnect(b.handler, id);
    }
    g_object_unref(b.handler);
    b.handler = nullptr;
}

void complete(UMockdevIoctlClient *client, long result, int error)
{
    umockdev_ioctl_client_complete(client, result, error);
}

// Completes with a model result: >= 0 is the ioctl's result, < 0 its errno.
void completeWith(UMockdevIoctlClient *client, int rc)
{
    if (rc < 0)
        complete(client, -1, -rc);
    else
        complete(client, rc, 0);
}

template <typename T>
T *resolveArg(UMockdevIoctlClient *client, UMockdevIoctlData **out)
{
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    GError *error = nullptr;
    *out = umockdev_ioctl_data_resolve(arg, 0, sizeof(T), &error);
    if (!*out) {
        g_clear_error(&error);
        return nullptr;
    }
    return reinterpret_cast<T *>((*out)->data);
}

void submitUrb(Binding &b, UMockdevIoctlClient *client)
{
    UMockdevIoctlData *urbData = nullptr;
    auto *urb = resolveArg<usbdevfs_urb>(client, &urbData);
    if (!urb) {
        complete(client, -1, EFAULT);
        return;
    }
    const unsigned number = urb->endpoint & 0x7F;
    if (urb->type != USBDEVFS_URB_TYPE_BULK || number < 1 || number > 3 || urb->buffer_length < 0) {
        g_object_unref(urbData);
        complete(client, -1, urb->type != USBDEVFS_URB_TYPE_BULK ? EINVAL : ENOENT);
        return;
    }
    GError *error = nullptr;
    UMockdevIoctlData *bufferData = umockdev_ioctl_data_resolve(
        urbData, offsetof(usbdevfs_urb, buffer), static_cast<gsize>(urb->buffer_length), &error);
    if (!bufferData) {
        g_clear_error(&error);
        g_object_unref(urbData);
        complete(client, -1, EFAULT);
        return;
    }
    Urb entry;
    entry.urbData = urbData;
    entry.bufferData = bufferData;
    entry.clientAddress = urbData->client_addr;
    entry.in = (urb->endpoint & 0x80) != 0;
    entry.owner = clientId(client);
    const Pipe pipe = static_cast<Pipe>(number);
    const size_t length = static_cast<size_t>(urb->buffer_length);
    const ScannerEmulator::Client owner = clientId(client);
    if (entry.in) {
        entry.transfer = b.model->submit(pipe, Direction::In, {}, length, owner);
    } else {
        const Bytes out(bufferData->data, bufferData->data + length);
        entry.transfer = b.model->submit(pipe, Direction::Out, out, 0, owner);
    }
    // A device that is gone refuses new URBs outright, as the kernel does.
    Completion first = b.model->poll(entry.transfer);
    if (first.state == Completion::State::Failed && first.error == ENODEV) {
        dropUrb(entry);
        complete(client, -1, ENODEV);
        return;
    }
    if (first.state != Completion::State::Pending)
        entry.done = std::move(first);
    b.urbs.push_back(std::move(entry));
    complete(client, 0, 0);
}

void reapUrb(Binding &b, UMockdevIoctlClient *client)
{
    auto ready = b.urbs.end();
    for (auto it = b.urbs.begin(); it != b.urbs.end(); ++it) {
        if (!it->done && !it->discarded) {
            Completion c = b.model->poll(it->transfer);
            if (c.state != Completion::State::Pending)
                it->done = std::move(c);
        }
        if (it->done || it->discarded) {
            ready = it;
            break;
        }
    }
    if (ready == b.urbs.end()) {
        complete(client, -1, b.model->vanished() ? ENODEV : EAGAIN);
        return;
    }
    Urb urb = std::move(*ready);
    b.urbs.erase(ready);

    auto *u = reinterpret_cast<usbdevfs_urb *>(urb.urbData->data);
    if (urb.discarded) {
        u->status = -ENOENT;
        u->actual_length = 0;
    } else if (urb.done->state == Completion::State::Failed) {
        u->status = -urb.done->error;
        u->actual_length = 0;
    } else {
        u->status = 0;
        u->actual_length = static_cast<int>(urb.done->length);
        if (urb.in && !urb.done->data.empty())
            std::memcpy(urb.bufferData->data, urb.done->data.data(), urb.done->data.size());
    }
    UMockdevIoctlData *slot = nullptr;
    if (!resolveArg<void *>(client, &slot)) {
        dropUrb(urb);
        complete(client, -1, EFAULT);
        return;
    }
    umockdev_ioctl_data_set_ptr(slot, 0, urb.urbData);
    complete(client, 0, 0);
    g_object_unref(slot);
    dropUrb(urb);
}

void discardUrb(Binding &b, UMockdevIoctlClient *client)
{
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    unsigned long address = 0;
    std::memcpy(&address, arg->data, std::min(sizeof address, static_cast<size_t>(arg->data_len)));
    for (Urb &urb : b.urbs) {
        if (urb.clientAddress != address || urb.done || urb.discarded)
            continue;
        if (b.model->cancel(urb.transfer)) {
            urb.discarded = true;
            complete(client, 0, 0);
            return;
        }
        break;
    }
    complete(client, -1, EINVAL);
}

gboolean handleIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer user)
{
    auto &b = *static_cast<Binding *>(user);
    std::lock_guard<std::mutex> lock(b.mutex);
    sweepClients(b);
    ScannerEmulator &model = *b.model;
    const unsigned long request = umockdev_ioctl_client_get_request(client);

    // URBs still in flight when the device went are handed back failed; after
    // that every request fails with ENODEV.
    if (model.vanished() && request != USBDEVFS_REAPURB && request != USBDEVFS_REAPURBNDELAY &&
        request != USBDEVFS_DISCARDURB) {
        complete(client, -1, ENODEV);
        return TRUE;
    }

    UMockdevIoctlData *data = nullptr;
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES:
        // No bulk continuation: libusb then sends each message as one URB.
        if (auto *caps = resolveArg<uint32_t>(client, &data)) {
            *caps = USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
            complete(client, 0, 0);
        } else {
            complete(client, -1, EFAULT);
        }
        break;
    case USBDEVFS_GETDRIVER:
        if (auto *gd = resolveArg<usbdevfs_getdriver>(client, &data)) {
            std::string name;
            const int rc = model.getDriver(static_cast<int>(gd->interface), name);
            if (rc == 0) {
                std::memset(gd->driver, 0, sizeof gd->driver);
                std::strncpy(gd->driver, name.c_str(), sizeof gd->driver - 1);
            }
            completeWith(client, rc);
        } else {
            complete(client, -1, EFAULT);
        }
        break;
    case USBDEVFS_IOCTL:
        if (auto *io = resolveArg<usbdevfs_ioctl>(client, &data)) {
            if (io->ioctl_code == static_cast<int>(USBDEVFS_DISCONNECT))
                completeWith(client, model.disconnectDriver(io->ifno));
            else if (io->ioctl_code == static_cast<int>(USBDEVFS_CONNECT))
                completeWith(client, model.connectDriver(io->ifno));
            else
                complete(client, -1, ENOTTY);
        } else {
            complete(client, -1, EFAULT);
        }
        break;
    case USBDEVFS_SETCONFIGURATION:
        if (auto *value = resolveArg<int>(client, &data))
            completeWith(client, model.setConfiguration(*value));
        else
            complete(client, -1, EFAULT);
        break;
    case USBDEVFS_CLAIMINTERFACE:
        if (auto *value = resolveArg<unsigned>(client, &data))
            completeWith(client, model.claimInterface(static_cast<int>(*value), clientId(client)));
        else
            complete(client, -1, EFAULT);
        break;
    case USBDEVFS_RELEASEINTERFACE:
        if (auto *value = resolveArg<unsigned>(client, &data))
            completeWith(client, model.releaseInterface(static_cast<int>(*value), clientId(client)));
        else
            complete(client, -1, EFAULT);
        break;
    case USBDEVFS_SETINTERFACE:
        if (auto *si = resolveArg<usbdevfs_setinterface>(client, &data))
            completeWith(client, model.setInterface(static_cast<int>(si->interface),
                                                    static_cast<int>(si->altsetting), clientId(client)));
        else
            complete(client, -1, EFAULT);
        break;
    case USBDEVFS_DISCONNECT_CLAIM:
        if (auto *dc = resolveArg<usbdevfs_disconnect_claim>(client, &data)) {
            const std::string driver(dc->driver, strnlen(dc->driver, sizeof dc->driver));
            completeWith(client, model.disconnectClaim(
                                     static_cast<int>(dc->interface),
                                     (dc->flags & USBDEVFS_DISCONNECT_CLAIM_EXCEPT_DRIVER) != 0, driver,
                                     clientId(client)));
        } else {
            complete(client, -1, EFAULT);
        }
        break;
    case USBDEVFS_RESET:
        completeWith(client, model.resetDevice());
        break;
    case USBDEVFS_CLEAR_HALT:
        if (auto *ep = resolveArg<unsigned>(client, &data))
            completeWith(client, model.clearHalt(static_cast<uint8_t>(*ep)));
        else
            complete(client, -1, EFAULT);
        break;
    case USBDEVFS_SUBMITURB:
        submitUrb(b, client);
        break;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        reapUrb(b, client);
        break;
    case USBDEVFS_DISCARDURB:
        discardUrb(b, client);
        break;
    default:
        // Control transfers and the rest: nothing the product asks for.
        complete(client, -1, ENOTTY);
        break;
    }
    if (data)
        g_object_unref(data);
    return TRUE;
}

// Handles the client closed give back their claim, and their URBs die with
// them. umockdev marks a closed client disconnected but does not reliably
// say so by signal, so the list is swept before every request.
void sweepClients(Binding &b)
{
    for (auto c = b.clients.begin(); c != b.clients.end();) {
        if (umockdev_ioctl_client_get_connected(*c)) {
            ++c;
            continue;
        }
        const ScannerEmulator::Client id = clientId(*c);
        b.model->clientClosed(id);
        for (auto it = b.urbs.begin(); it != b.urbs.end();) {
            if (it->owner != id) {
                ++it;
                continue;
            }
            if (!it->done && !it->discarded)
                b.model->cancel(it->transfer);
            dropUrb(*it);
            it = b.urbs.erase(it);
        }
        g_object_unref(*c);
        c = b.clients.erase(c);
    }
}

void clientConnected(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer user)
{
    auto &b = *static_cast<Binding *>(user);
    std::lock_guard<std::mutex> lock(b.mutex);
    sweepClients(b);
    b.clients.push_back(static_cast<UMockdevIoctlClient *>(g_object_ref(client)));
    b.model->clientOpened(clientId(client));
}

} // namespace

struct EmulatedBus::Impl
{
    UMockdevTestbed *testbed = nullptr;
    std::vector<std::unique_ptr<Binding>> devices;
    std::string error;

    void remove(Binding &b)
    {
        if (b.unplugged)
            return;
        b.model->vanish();
        umockdev_testbed_uevent(testbed, b.syspath.c_str(), "remove");
        umockdev_testbed_remove_device(testbed, b.syspath.c_str());
        b.unplugged = true;
    }

    // Unplugged, handler detached, pending requests dropped.
    void detach(Binding &binding);
};

namespace {

// umockdev puts each device's ioctl socket under the testbed root, which
// lies in GLib's temporary directory. A deep TMPDIR (as every test gets its
// own) makes the socket path longer than a socket address can hold, so the
// testbeds of this process go to a short directory of their own. GLib reads
// TMPDIR once, at its first use, so it is switched only around that.
UMockdevTestbed *newTestbed()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const char *tmp = getenv("TMPDIR");
        if (!tmp || std::strlen(tmp) <= 40)
            return;
        static char shortDir[] = "/tmp/emu-XXXXXX";
        if (!mkdtemp(shortDir))
            return;
        std::atexit([] { rmdir(shortDir); });
        const std::string saved = tmp;
        setenv("TMPDIR", shortDir, 1);
        g_get_tmp_dir();
        setenv("TMPDIR", saved.c_str(), 1);
    });
    return umockdev_testbed_new();
}

} // namespace

void EmulatedBus::Impl::detach(Binding &b)
{
    remove(b);
    GError *error = nullptr;
    umockdev_testbed_detach_ioctl(testbed, b.devnode.c_str(), &error);
    g_clear_error(&error);
    {
        std::lock_guard<std::mutex> lock(b.mutex);
        for (Urb &urb : b.urbs)
            dropUrb(urb);
        b.urbs.clear();
        for (UMockdevIoctlClient *c : b.clients)
            g_object_unref(c);
        b.clients.clear();
    }
    disconnectHandler(b);
}

EmulatedBus::EmulatedBus() : d(new Impl)
{
    if (!preloadActive()) {
        d->error = std::string("the process does not run under ") + kPreload;
        return;
    }
    d->testbed = newTestbed();
    if (!d->testbed)
        d->error = "umockdev_testbed_new failed";
}

EmulatedBus::~EmulatedBus()
{
    if (!d->testbed)
        return;
    for (auto &b : d->devices)
        d->detach(*b);
    d->devices.clear();
    g_object_unref(d->testbed);
}

void EmulatedBus::release(const std::shared_ptr<ScannerEmulator> &device)
{
    for (auto it = d->devices.begin(); it != d->devices.end();) {
        if ((*it)->model == device) {
            d->detach(**it);
            it = d->devices.erase(it);
        } else {
            ++it;
        }
    }
}

bool EmulatedBus::preloadActive()
{
    void *handle = dlopen(kPreload, RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return false;
    dlclose(handle);
    return true;
}

void EmulatedBus::ensurePreload(int argc, char **argv)
{
    (void)argc;
    if (preloadActive() || getenv("EMU_PRELOAD_REEXEC"))
        return;
    std::string preload = kPreload;
    if (const char *old = getenv("LD_PRELOAD"); old && *old)
        preload += std::string(":") + old;
    setenv("LD_PRELOAD", preload.c_str(), 1);
    setenv("EMU_PRELOAD_REEXEC", "1", 1);
    execv("/proc/self/exe", argv);
    std::perror("re-exec under the umockdev preload");
}

bool EmulatedBus::isValid() const
{
    return d->testbed != nullptr;
}

std::string EmulatedBus::errorString() const
{
    return d->error;
}

bool EmulatedBus::plug(const std::shared_ptr<ScannerEmulator> &device)
{
    if (!d->testbed || !device)
        return false;
    const UsbIdentity id = device->identity();
    char devnode[64], syspath[128];
    std::snprintf(devnode, sizeof devnode, "/dev/bus/usb/%03u/%03u", id.busNumber, id.deviceAddress);
    std::snprintf(syspath, sizeof syspath, "/devices/pci0000:00/0000:00:14.0/usb%u/%u-%u",
                  id.busNumber, id.busNumber, id.deviceAddress);
    for (auto &b : d->devices) {
        if (b->devnode == devnode && !b->unplugged) {
            d->error = std::string("a device is already at ") + devnode;
            return false;
        }
    }

    auto b = std::make_unique<Binding>();
    b->model = device;
    b->devnode = devnode;
    b->syspath = std::string("/sys") + syspath;
    b->handler = umockdev_ioctl_base_new();
    b->signals[0] = g_signal_connect(b->handler, "handle-ioctl", G_CALLBACK(handleIoctl), b.get());
    b->signals[1] = g_signal_connect(b->handler, "client-connected", G_CALLBACK(clientConnected), b.get());

    GError *error = nullptr;
    if (!umockdev_testbed_attach_ioctl(d->testbed, devnode, b->handler, &error)) {
        d->error = error ? error->message : "attach_ioctl failed";
        g_clear_error(&error);
        disconnectHandler(*b);
        return false;
    }

    std::string hex;
    for (uint8_t byte : device->descriptors()) {
        char h[3];
        std::snprintf(h, sizeof h, "%02x", byte);
        hex += h;
    }
    char text[1024];
    std::snprintf(text, sizeof text,
                  "P: %s\nN: bus/usb/%03u/%03u\n"
                  "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DEVNAME=%s\n"
                  "E: BUSNUM=%03u\nE: DEVNUM=%03u\nE: PRODUCT=%x/%x/%x\n"
                  "A: busnum=%u\nA: devnum=%u\nA: idVendor=%04x\nA: idProduct=%04x\n"
                  "A: bcdDevice=%04x\nA: bConfigurationValue=1\nA: bNumConfigurations=1\n"
                  "A: bNumInterfaces= 1\nA: speed=480\n",
                  syspath, id.busNumber, id.deviceAddress, devnode, id.busNumber, id.deviceAddress,
                  id.vendorId, id.productId, id.bcdDevice, id.busNumber, id.deviceAddress,
                  id.vendorId, id.productId, id.bcdDevice);
    const std::string record = std::string(text) + "H: descriptors=" + hex + "\n";
    if (!umockdev_testbed_add_from_string(d->testbed, record.c_str(), &error)) {
        d->error = error ? error->message : "add_from_string failed";
        g_clear_error(&error);
        umockdev_testbed_detach_ioctl(d->testbed, devnode, nullptr);
        disconnectHandler(*b);
        return false;
    }
    // sysfs attributes end with a newline; libusb warns about those that do not.
    const std::string busnum = std::to_string(id.busNumber) + "\n";
    const std::string devnum = std::to_string(id.deviceAddress) + "\n";
    umockdev_testbed_set_attribute(d->testbed, b->syspath.c_str(), "busnum", busnum.c_str());
    umockdev_testbed_set_attribute(d->testbed, b->syspath.c_str(), "devnum", devnum.c_str());
    umockdev_testbed_set_attribute(d->testbed, b->syspath.c_str(), "bConfigurationValue", "1\n");
    umockdev_testbed_set_attribute(d->testbed, b->syspath.c_str(), "speed", "480\n");
    d->devices.push_back(std::move(b));
    return true;
}

int EmulatedBus::openHandles(const std::shared_ptr<ScannerEmulator> &device)
{
    int count = 0;
    for (auto &b : d->devices) {
        if (b->model != device)
            continue;
        std::lock_guard<std::mutex> lock(b->mutex);
        sweepClients(*b);
        count += static_cast<int>(b->clients.size());
    }
    return count;
}

void EmulatedBus::unplug(const std::shared_ptr<ScannerEmulator> &device)
{
    for (auto &b : d->devices) {
        if (b->model == device)
            d->remove(*b);
    }
}

} // namespace emu
