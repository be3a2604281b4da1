#include "plan/Sendwait.h"

#include <chrono>
#include <thread>

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

std::string LinkDownReason(const TtskCtrl& control) {
    const TQmx42* worker = control.Worker();
    if (control.CtrlState() != CTRL_READY || worker == nullptr) return "the network link could not be started";
    if (worker->State() == ST_RUN) return {};
    const std::string said = worker->LastFailure();
    return said.empty() ? "the network link is not open" : said;
}

std::optional<SendOutcome> SetWait::Start(int row, int kind, const TDeviceRec& edit) {
    Table.EditRec = edit;
    Row = row;
    Wait.Start();
    if (!Control.RequestSet(row, kind, false)) return SendOutcome{SendResult::NotSent, {}};
    return std::nullopt;
}

std::optional<SendOutcome> SetWait::Tick() {
    switch (Wait.Tick(Table, Row)) {
        case StatusWait::Waiting: return std::nullopt;
        case StatusWait::Acknowledged: return SendOutcome{SendResult::Ack, {}};
        case StatusWait::Refused: return SendOutcome{SendResult::Nak, {}};
        default: break;
    }
    if (std::string down = LinkDownReason(Control); !down.empty()) return SendOutcome{SendResult::LinkDown, std::move(down)};
    return SendOutcome{SendResult::Silent, {}};
}

SendOutcome SendAndWait(HeadlessHost& host, int row, int kind, const TDeviceRec& edit, bool broadcast) {
    if (broadcast) {
        const uint32_t failures = host.Control.Worker() ? host.Control.Worker()->Failures() : 0;
        host.Table.EditRec = edit;
        if (!host.Control.RequestSet(row, kind, broadcast)) return {SendResult::NotSent, {}};
        // Nobody answers a SET to all: it counts as sent once it has left on a
        // link that stayed up.
        if (host.WaitSent(failures)) return {SendResult::Sent, {}};
        const std::string down = host.LinkDown();
        return {SendResult::NotSent, down.empty() ? "the frame did not leave" : down};
    }
    SetWait wait(host.Table, host.Control);
    std::optional<SendOutcome> outcome = wait.Start(row, kind, edit);
    while (!outcome) {
        std::this_thread::sleep_for(std::chrono::milliseconds(StatusWait::TICK_MS));
        outcome = wait.Tick();
    }
    return *outcome;
}
