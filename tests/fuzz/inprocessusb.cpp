#include "inprocessusb.h"

#include <libusb.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace inprocessusb {
namespace {

struct FakeObject
{
    int tag;
};
FakeObject g_context{1};
FakeObject g_device{2};
FakeObject g_handle{3};
libusb_device *g_list[2] = {reinterpret_cast<libusb_device *>(&g_device), nullptr};
TransferHandler g_handler;
int g_open = 0;

} // namespace

void setTransferHandler(TransferHandler handler)
{
    g_handler = std::move(handler);
}

int openHandles()
{
    return g_open;
}

} // namespace inprocessusb

using namespace inprocessusb;

extern "C" {

int libusb_init(libusb_context **ctx)
{
    if (ctx)
        *ctx = reinterpret_cast<libusb_context *>(&g_context);
    return LIBUSB_SUCCESS;
}

void libusb_exit(libusb_context *) {}

int libusb_set_option(libusb_context *, enum libusb_option, ...)
{
    return LIBUSB_SUCCESS;
}

ssize_t libusb_get_device_list(libusb_context *, libusb_device ***list)
{
    *list = g_list;
    return 1;
}

void libusb_free_device_list(libusb_device **, int) {}

int libusb_get_device_descriptor(libusb_device *, struct libusb_device_descriptor *desc)
{
    std::memset(desc, 0, sizeof *desc);
    desc->bLength = LIBUSB_DT_DEVICE_SIZE;
    desc->bDescriptorType = LIBUSB_DT_DEVICE;
    desc->bcdUSB = 0x0200;
    desc->idVendor = 0x4E91;
    desc->idProduct = 0x0314;
    desc->bNumConfigurations = 1;
    return LIBUSB_SUCCESS;
}

uint8_t libusb_get_bus_number(libusb_device *)
{
    return 1;
}

uint8_t libusb_get_device_address(libusb_device *)
{
    return 2;
}

int libusb_get_config_descriptor(libusb_device *, uint8_t, struct libusb_config_descriptor **config)
{
    auto *c = new libusb_config_descriptor();
    c->bLength = LIBUSB_DT_CONFIG_SIZE;
    c->bDescriptorType = LIBUSB_DT_CONFIG;
    c->bNumInterfaces = 1;
    c->bConfigurationValue = 1;
    *config = c;
    return LIBUSB_SUCCESS;
}

void libusb_free_config_descriptor(struct libusb_config_descriptor *config)
{
    delete config;
}

int libusb_get_max_iso_packet_size(libusb_device *, unsigned char)
{
    return 512;
}

int libusb_open(libusb_device *, libusb_device_handle **handle)
{
    *handle = reinterpret_cast<libusb_device_handle *>(&g_handle);
    ++g_open;
    return LIBUSB_SUCCESS;
}

void libusb_close(libusb_device_handle *)
{
    --g_open;
}

int libusb_kernel_driver_active(libusb_device_handle *, int)
{
    return 0;
}

int libusb_detach_kernel_driver(libusb_device_handle *, int)
{
    return LIBUSB_SUCCESS;
}

int libusb_attach_kernel_driver(libusb_device_handle *, int)
{
    return LIBUSB_SUCCESS;
}

int libusb_set_configuration(libusb_device_handle *, int)
{
    return LIBUSB_SUCCESS;
}

int libusb_claim_interface(libusb_device_handle *, int)
{
    return LIBUSB_SUCCESS;
}

int libusb_release_interface(libusb_device_handle *, int)
{
    return LIBUSB_SUCCESS;
}

int libusb_set_interface_alt_setting(libusb_device_handle *, int, int)
{
    return LIBUSB_SUCCESS;
}

int libusb_reset_device(libusb_device_handle *)
{
    return LIBUSB_SUCCESS;
}

int libusb_bulk_transfer(libusb_device_handle *, unsigned char endpoint, unsigned char *data,
                         int length, int *transferred, unsigned int)
{
    int moved = 0;
    const int rc = g_handler ? g_handler(endpoint, data, length, &moved) : LIBUSB_ERROR_NO_DEVICE;
    if (transferred)
        *transferred = moved;
    return rc;
}

// The port moves its bytes with libusb's asynchronous calls, so that a
// waiting poll can be cancelled. Here a transfer is done at once, in the
// submitting thread, and its callback runs before submit returns: the loop
// that handles events until completion then never turns.
struct libusb_transfer *libusb_alloc_transfer(int)
{
    return static_cast<libusb_transfer *>(std::calloc(1, sizeof(libusb_transfer)));
}

void libusb_free_transfer(struct libusb_transfer *transfer)
{
    std::free(transfer);
}

int libusb_submit_transfer(struct libusb_transfer *t)
{
    int moved = 0;
    const int rc =
        g_handler ? g_handler(t->endpoint, t->buffer, t->length, &moved) : LIBUSB_ERROR_NO_DEVICE;
    t->actual_length = moved;
    switch (rc) {
    case LIBUSB_SUCCESS:
        t->status = LIBUSB_TRANSFER_COMPLETED;
        break;
    case LIBUSB_ERROR_TIMEOUT:
        t->status = LIBUSB_TRANSFER_TIMED_OUT;
        break;
    case LIBUSB_ERROR_NO_DEVICE:
        t->status = LIBUSB_TRANSFER_NO_DEVICE;
        break;
    case LIBUSB_ERROR_PIPE:
        t->status = LIBUSB_TRANSFER_STALL;
        break;
    case LIBUSB_ERROR_OVERFLOW:
        t->status = LIBUSB_TRANSFER_OVERFLOW;
        break;
    default:
        t->status = LIBUSB_TRANSFER_ERROR;
        break;
    }
    if (t->callback)
        t->callback(t);
    return LIBUSB_SUCCESS;
}

int libusb_cancel_transfer(struct libusb_transfer *)
{
    return LIBUSB_ERROR_NOT_FOUND;
}

int libusb_handle_events_completed(libusb_context *, int *)
{
    return LIBUSB_SUCCESS;
}

const char *libusb_strerror(int)
{
    return "in-process transfer failure";
}

} // extern "C"
