#include "plan/Proposal.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "rules/Netcheck.h"
#include "files/Plancsv.h"
#include "link/Protocol.h"
#include "rules/Setvalues.h"
#include "rules/Strings.h"

namespace {
// What the Network window says of these three values, the others left aside.
// Without a gateway only the address and the mask are judged.
std::vector<int> CheckCommonValues(const std::string& first, const std::string& mask, const std::string& gateway) {
    NetworkField fields[NET_ROWS];
    fields[NET_MAIN] = {first, true};
    fields[NET_GATEWAY] = {gateway, true};
    fields[NET_MASK] = {mask, true};
    std::vector<int> ids;
    const auto judged = [&](int id) {
        return !gateway.empty() || id == NetworkFields[NET_MAIN].Message || id == NetworkFields[NET_MASK].Message;
    };
    for (const NetRefusal& r : ValidateNetworkSettings(fields))
        if (judged(r.Message)) ids.push_back(r.Message);
    return ids;
}

std::string Dotted(uint32_t host) {
    in_addr a{htonl(host)};
    char text[INET_ADDRSTRLEN];
    return ::inet_ntop(AF_INET, &a, text, sizeof text);
}

void Put(TDeviceRec& row, int key, const std::string& value) {
    char* field = FieldOf(row, key);
    std::memset(field, 0, static_cast<size_t>(KeyFields[key].Width) + 1);
    std::memcpy(field, value.data(), std::min(value.size(), static_cast<size_t>(KeyFields[key].Width)));
}
}  // namespace

std::vector<std::string> CheckProposal(const std::string& first, const std::string& mask, const std::string& gateway) {
    // What the address edits could not hold (a hex mask, say) never reaches
    // the checks.
    SetValues form{{"IPADRM", first}, {"MASK", mask}};
    if (!gateway.empty()) form["GWAY"] = gateway;
    std::vector<std::string> texts;
    for (const SetProblem& p : CheckForm(KIND_NETWORK, form).Problems) texts.push_back(p.Text);
    if (texts.empty())
        for (int id : CheckCommonValues(first, mask, gateway)) texts.push_back(MessageText(id));
    return texts;
}

Proposal ProposeAddresses(std::vector<TDeviceRec>& rows, const std::string& first, const std::string& mask,
                          const std::string& gateway) {
    Proposal result;
    result.Problems = CheckProposal(first, mask, gateway);
    if (!result.Problems.empty()) return result;

    const uint32_t subnetMask = ntohl(ParseIpText(mask));
    uint32_t next = ntohl(ParseIpText(first));
    const uint32_t network = next & subnetMask;
    const uint32_t broadcast = network | ~subnetMask;
    std::set<uint32_t> taken;
    for (const TDeviceRec& r : rows)
        if (HasKey(r, KEY_IPADRM)) taken.insert(ntohl(ParseIpText(PlanCell(r, KEY_IPADRM))));
    if (!gateway.empty()) taken.insert(ntohl(ParseIpText(gateway)));
    const auto usable = [&](uint32_t a) {
        const uint32_t last = a & 0xFF;
        return a != network && a != broadcast && last != 0 && last != 255 && taken.count(a) == 0;
    };

    bool exhausted = false;
    for (TDeviceRec& r : rows) {
        if (!HasKey(r, KEY_IPADRM)) continue;  // it could not be sent one
        while (!exhausted && !usable(next)) {
            exhausted = next == broadcast;
            ++next;
        }
        if (exhausted) {
            ++result.NotFitting;
            continue;
        }
        Put(r, KEY_IPADRM, Dotted(next));
        exhausted = next == broadcast;
        ++next;
        if (HasKey(r, KEY_MASK)) Put(r, KEY_MASK, mask);
        if (!gateway.empty() && HasKey(r, KEY_GWAY)) Put(r, KEY_GWAY, gateway);
    }
    return result;
}
