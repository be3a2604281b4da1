// One SET sent and its answer waited for as the setup windows wait: the one
// way the set- commands and apply send, with one vocabulary of results.
#pragma once

#include <optional>
#include <string>

#include "link/Record.h"
#include "link/Waits.h"

class HeadlessHost;
class TmTable;
class TtskCtrl;

enum class SendResult {
    Ack,       // the device took it
    Nak,       // the device refused it
    Silent,    // no answer within the windows' wait
    LinkDown,  // the link failed while waiting
    Sent,      // a SET to every device left on a link that stayed up; nobody answers it
    NotSent,   // it did not go out: Why says the link's words, or is empty when the SET was not built
};

struct SendOutcome {
    SendResult Result;
    std::string Why;
};

// "ACK", "NAK", "SILENT", "LINK_DOWN", "SENT", "NOT_SENT".
const char* SendResultName(SendResult result);

// "" while the control task's link is up; otherwise why not, in the driver's
// own words.  The control task accepts requests also after a failed open, so
// only the worker knows.
std::string LinkDownReason(const TtskCtrl& control);

// The wait for one device's answer, paced by whoever runs it: a loop that
// sleeps, or a window's timer.
class SetWait {
public:
    SetWait(TmTable& table, TtskCtrl& control) : Table(table), Control(control) {}
    // Sends the SET of a kind built from edit to the device of a row; an
    // outcome at once when it did not go out.
    std::optional<SendOutcome> Start(int row, int kind, const TDeviceRec& edit);
    // Every StatusWait::TICK_MS after Start: nothing while the answer is awaited.
    std::optional<SendOutcome> Tick();

private:
    TmTable& Table;
    TtskCtrl& Control;
    StatusWait Wait;
    int Row = NO_ROW;
};

// Sends the SET of a kind built from edit to the device of a row (to every
// device when broadcast) and waits for its answer.
SendOutcome SendAndWait(HeadlessHost& host, int row, int kind, const TDeviceRec& edit, bool broadcast);
