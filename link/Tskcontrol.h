// The control task: brings the device link up, paced by a timer that its host
// drives, and is the only door through which the user interface asks for traffic.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "link/Netlib.h"
#include "link/Qmx42d.h"
#include "link/Table.h"
#include "link/Thqmx42.h"
#include "link/Waits.h"

constexpr int CTRL_START = 0;
constexpr int CTRL_CREATE = 1;
constexpr int CTRL_RESUME = 4;
constexpr int CTRL_WAIT = 9;
constexpr int CTRL_READY = 10;
constexpr int CTRL_FAILED = 255;

constexpr uint16_t LINK_PORT = 8020;

// The communication settings as the control task loads and stores them.
class CommSettingsStore {
public:
    virtual ~CommSettingsStore() = default;
    virtual void ReadCommSettings() = 0;
    virtual void WriteCommSettings() = 0;
};

class TtskCtrl {
public:
    TtskCtrl(TmTable& table, CommSettingsStore& settings, TdrvUDP& driver);
    ~TtskCtrl();
    TtskCtrl(const TtskCtrl&) = delete;
    TtskCtrl& operator=(const TtskCtrl&) = delete;

    // One step of the state machine; the host calls it when Interval() ms have
    // passed while TimerEnabled() holds.
    void timCtrlTimer();
    int Interval() const { return ScaledMs(TimerInterval); }
    bool TimerEnabled() const { return TimerOn; }

    bool RequestQuery(int row, int kind);
    bool RequestSet(int row, int kind, bool broadcast);
    // A search begins (Table.h: BeginSearch).
    void BeginSearch() { Table.BeginSearch(); }
    int Answered() const { return Table.HeardInSearch(); }
    void StopWorker();

    int CtrlState() const { return State; }
    TQmx42* Worker() const { return WorkerThread.get(); }
    uint32_t LinkPort = 0;
    std::string LocalAddress;

    // Tests replace how the host's address is found.
    AddressSource AddressByName = AddressOfHostName;
    AddressSource AddressByInterface = AddressOfInterfaces;

private:
    bool StartComm();

    TmTable& Table;
    CommSettingsStore& Settings;
    TdrvUDP& Driver;
    std::unique_ptr<TQmx42> WorkerThread;
    int State = CTRL_START;
    int TimerInterval = 1000;
    bool TimerOn = true;
};
