#include "Device.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "link/Protocol.h"

namespace {
const char* const kNetworkKeys[] = {"IPADRM", "IPADRB", "GPID", "TERM", "LOG", "GWAY", "MASK", "OPTIP",
                                    "OPTIP2", "OPTIP3", "OPT1", "OPT2", "OPT3", "TOUT", "TRAP1", "TRAP2"};
const char* const kInfoKeys[] = {"MODEL", "TARCID", "SERIAL", "CONT", "NAME", "LOC", "UNIQ"};
const char* const kDateKeys[] = {"YMDHM", "GMT"};

void Put(Frame& f, const std::string& text) { f.insert(f.end(), text.begin(), text.end()); }

Frame Header(const char* kind, const std::string& mac) {
    Frame f{STX};
    Put(f, std::string(kind) + ":" + mac);
    f.push_back(ITEM_END);
    return f;
}

template <size_t N>
std::vector<std::string> Items(const std::map<std::string, std::string>& values, const char* const (&keys)[N]) {
    std::vector<std::string> items;
    for (const char* key : keys) {
        auto it = values.find(key);
        if (it != values.end()) items.push_back(std::string(key) + ":" + it->second);
    }
    return items;
}
}  // namespace

std::string MacPlus(const std::string& base, int add) {
    unsigned b[6] = {};
    std::sscanf(base.c_str(), "%2x-%2x-%2x-%2x-%2x-%2x", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5]);
    uint64_t v = 0;
    for (unsigned x : b) v = (v << 8) | (x & 0xFF);
    v += static_cast<uint64_t>(add);
    char out[18];
    std::snprintf(out, sizeof out, "%02X-%02X-%02X-%02X-%02X-%02X", unsigned(v >> 40 & 0xFF), unsigned(v >> 32 & 0xFF),
                  unsigned(v >> 24 & 0xFF), unsigned(v >> 16 & 0xFF), unsigned(v >> 8 & 0xFF), unsigned(v & 0xFF));
    return out;
}

SimDevice MakeDevice(const std::string& macBase, int index, bool partial) {
    SimDevice d;
    d.Mac = MacPlus(macBase, index);
    char text[32];
    auto& v = d.Values;
    v["MODEL"] = "KLV-70";
    std::snprintf(text, sizeof text, "%03d", index % 1000);
    v["TARCID"] = text;
    std::snprintf(text, sizeof text, "%d", 10000 + index);
    v["SERIAL"] = text;
    std::snprintf(text, sizeof text, "192.168.%d.%d", 1 + index / 200, 10 + index % 200);
    v["IPADRM"] = text;
    v["MASK"] = "255.255.255.0";
    std::snprintf(text, sizeof text, "Unit %d", index + 1);
    v["NAME"] = text;
    v["YMDHM"] = "2026.12.07.09.30";
    v["GMT"] = "+9";
    if (partial) return d;
    const std::string net = "192.168." + std::to_string(1 + index / 200) + ".";
    v["IPADRB"] = net + std::to_string(210 + index % 40);
    v["GPID"] = "1";
    v["TERM"] = "5000";
    v["LOG"] = "5001";
    std::snprintf(text, sizeof text, "192.168.%d.1", 1 + index / 200);
    v["GWAY"] = text;
    v["OPTIP"] = net + "2";
    v["OPTIP2"] = net + "3";
    v["OPTIP3"] = net + "4";
    v["OPT1"] = v["OPT2"] = v["OPT3"] = "0";
    v["TOUT"] = "30";
    v["TRAP1"] = net + "5";
    v["TRAP2"] = net + "6";
    v["CONT"] = "admin";
    v["LOC"] = "Rack 1";
    v["UNIQ"] = std::to_string(index);
    return d;
}

// Items that do not fit in one datagram go on in the next answer, as a
// device with long texts sends them.
std::vector<Frame> SimDevice::Answer(const std::string& enquiry) const {
    if (Vanished) return {};
    std::string info;
    std::vector<std::string> items;
    if (enquiry == "ENQ:NETWORK") {
        info = "INFO:NETWORK";
        items = Items(Values, kNetworkKeys);
    } else if (enquiry == "ENQ:DEVINFO") {
        info = "INFO:DEVINFO";
        items = Items(Values, kInfoKeys);
    } else if (enquiry == "ENQ:DATE" && !KeepsDate) {
        info = "INFO:DATE";
        items = Items(Values, kDateKeys);
    } else {
        return {};
    }
    constexpr size_t kDatagram = 512;
    std::vector<Frame> frames;
    Frame f;
    for (size_t i = 0; i <= items.size(); ++i) {
        const bool last = i == items.size();
        if (!f.empty() && (last || f.size() + items[i].size() + 2 > kDatagram)) {
            f.push_back(ETX);
            frames.push_back(f);
            f.clear();
        }
        if (last) break;
        if (f.empty()) {
            f = Header("MAC", Mac);
            Put(f, info);
            f.push_back(ITEM_END);
        }
        Put(f, items[i]);
        f.push_back(ITEM_END);
    }
    if (frames.empty()) {
        f = Header("MAC", Mac);
        Put(f, info);
        f.push_back(ITEM_END);
        f.push_back(ETX);
        frames.push_back(f);
    }
    return frames;
}

Frame SimDevice::TakeSet(const uint8_t* data, size_t length) {
    if (length < 24 || std::memcmp(data, "\x02SET:", 5) != 0) return {};
    const std::string target(reinterpret_cast<const char*>(data + 5), MAC_LEN);
    if (target != Mac && target != BROADCAST_MAC) return {};
    if (Silent || Vanished) return {};
    // A network SET carries the main address, as every device reports one.
    const std::string_view frame(reinterpret_cast<const char*>(data), length);
    const bool refuses = Refuses || (RefusesNetwork && frame.find("\xFFIPADRM:") != std::string_view::npos);
    Frame reply = Header(refuses ? "NAK" : "ACK", Mac);
    reply.push_back(ETX);
    Vanished = VanishesAfterSet && !refuses;
    if (refuses || KeepsValues) return reply;
    // Items from offset 23, each key ':' value 0xFF; the value is taken as sent
    // (TERM and LOG may carry NUL padding, which a device drops).
    size_t start = 23;
    for (size_t i = start; i < length; ++i) {
        if (data[i] != ITEM_END) continue;
        const std::string item(reinterpret_cast<const char*>(data + start), i - start);
        start = i + 1;
        const size_t colon = item.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = item.substr(0, colon);
        if (Values.count(key) == 0) continue;  // a key this device does not have is ignored
        std::string value = item.substr(colon + 1);
        value = value.substr(0, value.find('\0'));
        Values[key] = value;
    }
    return reply;
}
