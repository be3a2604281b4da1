// The device link as every face hosts it: the transport driver, the device
// table, the program's files and the control task, wired to each other once.
#pragma once

#include <string>

#include "files/File.h"
#include "link/Qmx42d.h"
#include "link/Table.h"
#include "link/Tskcontrol.h"

struct DeviceLink {
    // programDir as TmFile takes it; TmFile's std::runtime_error passes through.
    explicit DeviceLink(const std::string& programDir = {})
        : Files(programDir), Control(Table, Files, Driver) {}

    // In the program's start-up order, so destroyed with the control task
    // first: the worker thread has stopped before the table it writes goes.
    TdrvUDP Driver;
    TmTable Table;
    TmFile Files;
    TtskCtrl Control;
};
