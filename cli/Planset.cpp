// The windows' checks and EditRec filling for plan rows.
#include <cstring>

#include "Netcheck.h"
#include "Plancheck.h"
#include "Plancsv.h"
#include "Protocol.h"
#include "Strings.h"

namespace {
const int kNetworkRows[NET_ROWS] = {KEY_IPADRM, KEY_IPADRB, KEY_GPID,  KEY_GWAY,   KEY_MASK,   KEY_TRAP1,
                                    KEY_TRAP2,  KEY_TERM,   KEY_LOG,   KEY_OPTIP,  KEY_OPTIP2, KEY_OPTIP3,
                                    KEY_OPT1,   KEY_OPT2,   KEY_OPT3,  KEY_TOUT};
const int kInfoKeys[4] = {KEY_CONT, KEY_NAME, KEY_LOC, KEY_UNIQ};

// The planned value of a key, or the device's own where the plan leaves it.
std::string Value(const PlannedDevice& d, int key) {
    const auto it = d.Values.find(key);
    return it != d.Values.end() ? it->second : PlanCell(d.Current, key);
}
}  // namespace

std::vector<std::string> KindProblems(const PlannedDevice& d, int kind) {
    std::vector<std::string> out;
    for (const auto& [key, value] : d.Values)
        if (value.size() > static_cast<size_t>(KeyFields[key].Width))
            out.push_back(std::string(KeyFields[key].Name) + " is longer than the device keeps");
    if (kind == KIND_NETWORK) {
        NetworkField fields[NET_ROWS];
        for (int i = 0; i < NET_ROWS; ++i) fields[i] = {Value(d, kNetworkRows[i]), HasKey(d.Current, kNetworkRows[i])};
        for (int id : ValidateNetworkSettings(fields)) out.push_back(MessageText(id));
    } else if (HasKey(d.Current, KEY_UNIQ) && StrToIntDef(Value(d, KEY_UNIQ), -1) == -1) {
        out.push_back(MessageText(MSG_BAD_UNIQUE_ID));
    }
    return out;
}

void FillEditRec(const PlannedDevice& d, int kind, TDeviceRec& edit) {
    std::memset(&edit, 0, sizeof edit);
    const int* keys = kind == KIND_NETWORK ? kNetworkRows : kInfoKeys;
    const int count = kind == KIND_NETWORK ? NET_ROWS : 4;
    for (int i = 0; i < count; ++i) {
        const std::string v = Value(d, keys[i]);
        std::memcpy(FieldOf(edit, keys[i]), v.data(), std::min(v.size(), static_cast<size_t>(KeyFields[keys[i]].Width)));
    }
}
