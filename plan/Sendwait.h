// One SET sent and its answer waited for as the setup windows wait: the one
// way the set- commands and apply send, with one vocabulary of results.
#pragma once

#include <string>

#include "link/Record.h"

class HeadlessHost;

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

// Sends the SET of a kind built from edit to the device of a row (to every
// device when broadcast) and waits for its answer.
SendOutcome SendAndWait(HeadlessHost& host, int row, int kind, const TDeviceRec& edit, bool broadcast);
