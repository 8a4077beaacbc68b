// The event pipe as the device answers it: frames with HTTP/1.1 texts and
// JSON bodies, through the product's button-event channel on its own
// USBPort (in-process libusb), plus the frame and text readers directly.
//
// Input: one record per event-pipe read: a kind byte (frame, time-out,
// transfer error, empty read), then for a frame its bytes (u16 length).
// Writes are taken as sent. The channel registers, long-polls for as long
// as there are records, and withdraws its registration.
#include "buttoneventcodec.h"
#include "fuzzsupport.h"
#include "inprocessusb.h"
#include "oxbuttonevent.h"
#include "usbport.h"

#include <libusb.h>

#include <algorithm>

namespace {

void readTexts(const QByteArray &frame)
{
    using namespace ButtonEventCodec;
    replyType(frame);
    const QString text = replyText(frame);
    QString head, body;
    splitHeaderBody(text, head, body);
    FUZZ_CHECK(head.size() + body.size() <= text.size());
    status(head);
    hasTimeoutMarker(head);
    const PollReply poll = parsePollReply(text);
    if (poll.status != 200)
        FUZZ_CHECK(poll.event.isEmpty() && poll.eventSeqNum == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silence();
    fuzz::Stream input(data, size);
    int polls = 0;
    inprocessusb::setTransferHandler([&](uint8_t ep, unsigned char *buf, int length, int *moved) {
        if (ep != (LIBUSB_ENDPOINT_IN | 3)) {
            *moved = length;
            return 0;
        }
        if (input.empty())
            return int(LIBUSB_ERROR_TIMEOUT);
        switch (input.u8() % 4) {
        case 1:
            return int(LIBUSB_ERROR_TIMEOUT);
        case 2:
            return int(LIBUSB_ERROR_IO);
        case 3:
            return 0;
        default:
            break;
        }
        const QByteArray frame = input.piece();
        readTexts(frame);
        if (frame.size() > length)
            return int(LIBUSB_ERROR_OVERFLOW);
        std::copy(frame.begin(), frame.end(), buf);
        *moved = frame.size();
        return 0;
    });

    USBPort port;
    FUZZ_CHECK(port.setPort("1;2;") && port.openPort());
    OxButtonEvent channel;
    channel.setPort(&port);
    if (channel.eventRegistration({{QString(), QStringLiteral("scan")}}) == 0) {
        // The console's thread polls until a failure; here also until the
        // records run out.
        QString event;
        while (!input.empty() && polls++ < 1000) {
            const int rc = channel.getReplyEvent(event);
            FUZZ_CHECK(rc <= 0);
            if (rc < 0)
                break;
        }
    }
    FUZZ_CHECK(channel.eventUnregister() <= 0);
    port.closePort();
    FUZZ_CHECK(inprocessusb::openHandles() == 0);
    inprocessusb::setTransferHandler(nullptr);
    return 0;
}
