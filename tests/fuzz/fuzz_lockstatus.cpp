// The lock pipe's replies and the data pipe's status blocks, as the device
// sends them: any bytes, of any length.
#include "commandblock.h"
#include "fuzzsupport.h"
#include "locktask.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silence();
    const char *bytes = reinterpret_cast<const char *>(data);

    // Lock pipe: the reply text ends at the first zero byte.
    const QString text = LockTask::replyText(bytes, size);
    FUZZ_CHECK(size_t(text.size()) <= size);
    const LockTask::Reply reply = LockTask::parseLockReply(text);
    if (reply.status != LockTask::Status::Success)
        FUZZ_CHECK(reply.lockId.isEmpty());
    else
        FUZZ_CHECK(text.contains(reply.lockId));
    LockTask::unlockSucceeded(text);
    // The id the device gave is what the unlock names.
    if (reply.status == LockTask::Status::Success)
        FUZZ_CHECK(LockTask::unlockTask(reply.lockId).contains(reply.lockId.toLatin1()));

    // Data pipe: a status block, whole or cut short.
    const tagSTS_HEADER status = CommandBlock::decodeStatusBlock(bytes, size);
    const CommandBlock::StatusMeaning meaning = CommandBlock::statusMeaning(status);
    FUZZ_CHECK(meaning.result <= 0);
    if (size >= size_t(CommandBlock::kStatusBlockSize)) {
        FUZZ_CHECK(status.status == data[8]);
    }
    return 0;
}
