// The difference between two device lists, such as a saved device file and
// what answers on the network now: devices gone, new, or changed key by key.
#pragma once

#include <string>
#include <vector>

#include "files/Devfile.h"
#include "link/Record.h"

struct DiffChange {
    std::string Key, Old, New;  // device texts, 8-bit as held in the record
};

struct DeviceDiff {
    enum Kind { Gone, New, Changed };
    Kind What;
    std::string Mac;
    std::vector<DiffChange> Changes;  // Changed only, in the device file's key order
};

// Devices of before that are not in after (Gone) or differ (Changed), in the
// order of before; then those only in after (New), in its order.  A key one
// side never reported counts as empty, except the date and its offset: a
// search does not ask for them, so they are compared only when both sides
// have them.
std::vector<DeviceDiff> DiffDevices(const std::vector<TDeviceRec>& before, const std::vector<TDeviceRec>& after);

const char* DiffKindName(DeviceDiff::Kind kind);  // "GONE", "NEW", "CHANGED"

// Every device of the device file at path, however many: a list in a window
// holds 256, a comparison must not stop there.  Outcome and Reason as
// LoadDeviceFile has them; LeftOut is always 0.
DeviceFileRead LoadDeviceRows(const std::string& path, std::vector<TDeviceRec>& rows);
