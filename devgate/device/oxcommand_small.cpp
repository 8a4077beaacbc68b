#include "oxcommand.h"

int OxCommand::checkInterfaceVersion()
{
    Exchange x;
    x.name = "checkInterfaceVersion";
    x.opcode = 0x01;
    x.length = 2;
    x.params.p[1] = 0x12;
    x.rule = RuleS;
    // The only command whose failed block write counts as a failed read, and
    // the only one that traces nothing there.
    x.blockFailResult = RC_READ_FAILED;
    x.traceBlockFailure = false;
    QByteArray version;
    return exchangeIn(x, version);
}
