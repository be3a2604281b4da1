#include "plan/Sendwait.h"

#include "plan/Host.h"

const char* SendResultName(SendResult result) {
    switch (result) {
        case SendResult::Ack: return "ACK";
        case SendResult::Nak: return "NAK";
        case SendResult::Silent: return "SILENT";
        case SendResult::LinkDown: return "LINK_DOWN";
        case SendResult::Sent: return "SENT";
        case SendResult::NotSent: return "NOT_SENT";
    }
    return "";
}

SendOutcome SendAndWait(HeadlessHost& host, int row, int kind, const TDeviceRec& edit, bool broadcast) {
    const uint32_t failures = host.Control.Worker() ? host.Control.Worker()->Failures() : 0;
    host.Table.EditRec = edit;
    if (!host.Control.RequestSet(row, kind, broadcast)) return {SendResult::NotSent, {}};
    if (broadcast) {
        // Nobody answers a SET to all: it counts as sent once it has left on a
        // link that stayed up.
        if (host.WaitSent(failures)) return {SendResult::Sent, {}};
        const std::string down = host.LinkDown();
        return {SendResult::NotSent, down.empty() ? "the frame did not leave" : down};
    }
    switch (host.WaitAnswer(row)) {
        case StatusWait::Acknowledged: return {SendResult::Ack, {}};
        case StatusWait::Refused: return {SendResult::Nak, {}};
        default: break;
    }
    if (std::string down = host.LinkDown(); !down.empty()) return {SendResult::LinkDown, std::move(down)};
    return {SendResult::Silent, {}};
}
