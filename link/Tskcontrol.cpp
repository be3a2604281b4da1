#include "link/Tskcontrol.h"

#include <arpa/inet.h>

#include <cstring>

#include "link/Protocol.h"

TtskCtrl::TtskCtrl(TmTable& table, CommSettingsStore& settings, TdrvUDP& driver)
    : Table(table), Settings(settings), Driver(driver) {}

TtskCtrl::~TtskCtrl() {
    TimerOn = false;
    StopWorker();
}

void TtskCtrl::timCtrlTimer() {
    TimerOn = false;
    switch (State) {
        case CTRL_START:
            if (!StartComm()) {
                State = CTRL_FAILED;
                return;  // the timer stays off for the rest of the run
            }
            LinkPort = LINK_PORT;
            TimerInterval = 50;
            State = CTRL_CREATE;
            break;
        case CTRL_CREATE:
            WorkerThread = std::make_unique<TQmx42>(Table, Driver, static_cast<uint16_t>(LinkPort & 0xFFFF));
            State = CTRL_RESUME;
            break;
        case CTRL_RESUME:
            WorkerThread->Resume();
            State = CTRL_WAIT;
            break;
        case CTRL_WAIT:
            if (WorkerThread->State() != ST_OPEN) State = CTRL_READY;
            break;
        default:
            break;
    }
    TimerOn = true;
}

bool TtskCtrl::StartComm() {
    Settings.ReadCommSettings();
    const bool first = LocalAddress.empty();
    std::string address;
    if (!FindLocalAddress(address, AddressByName, AddressByInterface)) return false;
    LocalAddress = address;
    if (first) Settings.WriteCommSettings();
    return true;
}

bool TtskCtrl::RequestQuery(int row, int kind) {
    if (State != CTRL_READY) return false;
    if (row != NO_ROW) Table.AwaitAnswer(row);
    else Table.EndWaits();
    Table.SetNoAddUnknown(kind == KIND_DATE);
    // An enquiry for one device goes only where that device was heard.
    WorkerThread->EnqueueQuery(kind, row != NO_ROW ? Table.RowOutlets(row) : Outlets{});
    return true;
}

bool TtskCtrl::RequestSet(int row, int kind, bool broadcast) {
    if (State != CTRL_READY) return false;
    // A device given a new main address may acknowledge from there.
    in_addr moved{};
    char main[sizeof Table.EditRec.IPADRM];
    std::memcpy(main, Table.EditRec.IPADRM, sizeof main - 1);
    main[sizeof main - 1] = '\0';
    StripBlanks(main, sizeof main - 1);
    const bool moves = kind == KIND_NETWORK && !broadcast && ::inet_pton(AF_INET, main, &moved) == 1;
    Table.AwaitAnswer(row, moves ? moved.s_addr : 0);
    const uint16_t length = Table.BuildSet(row, kind, broadcast);
    if (length == 0) return false;
    WorkerThread->EnqueueSet(length, broadcast ? Outlets{} : Table.RowOutlets(row));
    return true;
}

void TtskCtrl::StopWorker() {
    if (WorkerThread) {
        WorkerThread->Terminate();
        WorkerThread->WaitFor();
    }
    WorkerThread.reset();
}
