// klv70-sim: stands in for a number of KLV-70 devices on one UDP socket.  It
// answers enquiries and SET frames as the devices do, and runs only inside a
// private network namespace (scripts/sandbox), never on a real network.
#include <arpa/inet.h>
#include <net/if.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Device.h"

namespace {
volatile sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

struct Config {
    int Count = 3;
    std::string MacBase = "02-00-00-00-00-01";
    std::set<int> Partial, Refusing, Silent;
    std::set<int> Keeping;               // acknowledge a SET, keep their values
    std::set<int> RefusingNetwork;       // take the information, refuse network settings
    std::set<int> NoDate;                // do not answer a date enquiry
    std::set<int> AckFromNew;            // acknowledge a new main address from that address
    std::set<int> Vanishing;             // acknowledge a SET, then answer nothing more
    int DelayMs = 0;
    bool Broadcast = false;
    std::string Address = "10.77.0.2";
    std::string Interface;  // hear only what arrives on this interface
    uint16_t Port = 8020;
    bool Verbose = false;
    bool HearAll = false;  // one socket on every address: alone in its namespace
    std::vector<std::string> Values;  // --value I:KEY=TEXT, as given
};

std::set<int> IndexList(const std::string& text) {
    std::set<int> out;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        const size_t dash = part.find('-');
        if (dash == std::string::npos) {
            out.insert(std::atoi(part.c_str()));
        } else {
            for (int i = std::atoi(part.substr(0, dash).c_str()); i <= std::atoi(part.substr(dash + 1).c_str()); ++i)
                out.insert(i);
        }
    }
    return out;
}

// --value I:KEY=TEXT: device I reports TEXT for KEY (MAC: as its MAC); \xHH
// in TEXT stands for that byte, so that hostile texts can be made.
bool SetValue(std::vector<SimDevice>& devices, const std::string& given) {
    const size_t colon = given.find(':'), eq = given.find('=');
    if (colon == std::string::npos || eq == std::string::npos || eq < colon) return false;
    const size_t index = static_cast<size_t>(std::atoi(given.c_str()));
    if (index >= devices.size()) return false;
    std::string text;
    for (size_t i = eq + 1; i < given.size(); ++i) {
        if (given.compare(i, 2, "\\x") == 0 && i + 3 < given.size()) {
            text += static_cast<char>(std::strtol(given.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            text += given[i];
        }
    }
    const std::string key = given.substr(colon + 1, eq - colon - 1);
    if (key == "MAC") devices[index].Mac = text;
    else devices[index].Values[key] = text;
    return true;
}

void Usage() {
    std::fprintf(stderr,
                 "usage: klv70-sim [--count N] [--mac-base MAC] [--partial LIST] [--nak LIST]\n"
                 "                 [--silent LIST] [--delay MS] [--reply unicast|broadcast]\n"
                 "                 [--keep LIST] [--nak-network LIST] [--no-date LIST] [--ack-from-new LIST]\n"
                 "                 [--vanish LIST] [--address A] [--interface NAME] [--port N] [--hear-all]\n"
                 "                 [--verbose] [--value I:KEY=TEXT]...\n"
                 "LIST: device indexes from 0, as 0,2,5-9.  Partial devices report only\n"
                 "IPADRM, MASK, NAME, MODEL, TARCID, SERIAL and the date; --nak devices refuse\n"
                 "every SET, --silent ones never answer one, --keep ones acknowledge a SET but\n"
                 "keep their values, --nak-network ones refuse network SETs alone, --no-date\n"
                 "ones never answer a date enquiry, --ack-from-new ones acknowledge a SET that\n"
                 "gives them a new main address from that address (when it is one of this host's),\n"
                 "--vanish ones acknowledge a SET and then answer nothing more, as a device that\n"
                 "does not come back from its reboot.\n"
                 "--hear-all listens on every address (directed\n"
                 "broadcasts and unicast too), for devices alone in their namespace, as behind\n"
                 "a router.  Runs only inside scripts/sandbox.\n");
}

// The interfaces a private namespace of scripts/sandbox has: lo and vN only.
bool InsideSandbox() {
    struct if_nameindex* names = if_nameindex();
    if (names == nullptr) return false;
    bool ok = true;
    for (struct if_nameindex* i = names; i->if_index != 0; ++i) {
        const std::string n = i->if_name;
        const bool veth = n.size() >= 2 && n[0] == 'v' && n.find_first_not_of("0123456789", 1) == std::string::npos;
        if (n != "lo" && !veth) ok = false;
    }
    if_freenameindex(names);
    return ok;
}

int OpenSocket(in_addr_t address, uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const int bytes = 4 * 1024 * 1024;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUFFORCE, &bytes, sizeof bytes);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        std::perror("klv70-sim: bind");
        ::close(fd);
        return -1;
    }
    return fd;
}

bool ParseArgs(int argc, char** argv, Config& c) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--verbose") c.Verbose = true;
        else if (a == "--hear-all") c.HearAll = true;
        else if (v == nullptr) return false;
        else if (a == "--count") c.Count = std::atoi(v), ++i;
        else if (a == "--mac-base") c.MacBase = v, ++i;
        else if (a == "--partial") c.Partial = IndexList(v), ++i;
        else if (a == "--nak") c.Refusing = IndexList(v), ++i;
        else if (a == "--silent") c.Silent = IndexList(v), ++i;
        else if (a == "--keep") c.Keeping = IndexList(v), ++i;
        else if (a == "--nak-network") c.RefusingNetwork = IndexList(v), ++i;
        else if (a == "--no-date") c.NoDate = IndexList(v), ++i;
        else if (a == "--ack-from-new") c.AckFromNew = IndexList(v), ++i;
        else if (a == "--vanish") c.Vanishing = IndexList(v), ++i;
        else if (a == "--delay") c.DelayMs = std::atoi(v), ++i;
        else if (a == "--reply") c.Broadcast = std::string(v) == "broadcast", ++i;
        else if (a == "--address") c.Address = v, ++i;
        else if (a == "--interface") c.Interface = v, ++i;
        else if (a == "--port") c.Port = static_cast<uint16_t>(std::atoi(v)), ++i;
        else if (a == "--value") c.Values.push_back(v), ++i;
        else return false;
    }
    return c.Count >= 0;
}
}  // namespace

int main(int argc, char** argv) {
    Config cfg;
    if (!ParseArgs(argc, argv, cfg)) {
        Usage();
        return 64;
    }
    if (!InsideSandbox()) {
        std::fprintf(stderr, "klv70-sim: refusing to run outside a private network namespace (use scripts/sandbox)\n");
        return 3;
    }
    std::vector<SimDevice> devices;
    for (int i = 0; i < cfg.Count; ++i) {
        devices.push_back(MakeDevice(cfg.MacBase, i, cfg.Partial.count(i) != 0));
        devices.back().Refuses = cfg.Refusing.count(i) != 0;
        devices.back().Silent = cfg.Silent.count(i) != 0;
        devices.back().KeepsValues = cfg.Keeping.count(i) != 0;
        devices.back().RefusesNetwork = cfg.RefusingNetwork.count(i) != 0;
        devices.back().KeepsDate = cfg.NoDate.count(i) != 0;
        devices.back().VanishesAfterSet = cfg.Vanishing.count(i) != 0;
    }
    for (const std::string& given : cfg.Values) {
        if (!SetValue(devices, given)) {
            Usage();
            return 64;
        }
    }

    // Two sockets: one bound to the broadcast address hears the enquiries and
    // SETs; answers leave from one bound to the devices' own address, so that
    // no socket of the simulator competes with the program for a unicast reply.
    // Devices behind a router hear directed broadcasts (10.99.0.255) and their
    // own address; with no program beside them one socket does for both ways.
    const int fd = OpenSocket(cfg.HearAll ? htonl(INADDR_ANY) : INADDR_BROADCAST, cfg.Port);
    const int out = cfg.HearAll ? fd : OpenSocket(inet_addr(cfg.Address.c_str()), cfg.Port);
    if (fd < 0 || out < 0) return 1;
    // Devices behind one network card only: they hear what comes in there,
    // and their answers go out there, to arrive on the program's card.
    for (const int s : {fd, out}) {
        if (!cfg.Interface.empty() && ::setsockopt(s, SOL_SOCKET, SO_BINDTODEVICE, cfg.Interface.c_str(),
                                                   static_cast<socklen_t>(cfg.Interface.size())) != 0) {
            std::perror("klv70-sim: SO_BINDTODEVICE");
            return 1;
        }
    }
    ::signal(SIGTERM, OnSignal);
    ::signal(SIGINT, OnSignal);
    std::fprintf(stderr, "klv70-sim: %d devices at %s port %u\n", cfg.Count, cfg.Address.c_str(), cfg.Port);

    uint8_t buf[2048];
    while (gStop == 0) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) continue;
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = ::recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 5 || buf[0] != 0x02) continue;
        std::vector<Frame> replies;
        std::vector<std::string> movedTo;  // beside replies: the new main address to answer from, if any
        if (std::memcmp(buf + 1, "ENQ:", 4) == 0) {
            const uint8_t* end = static_cast<const uint8_t*>(std::memchr(buf, 0xFF, static_cast<size_t>(n)));
            const std::string enquiry(reinterpret_cast<char*>(buf + 1), end ? static_cast<size_t>(end - buf - 1) : 0);
            for (const SimDevice& d : devices)
                for (Frame& f : d.Answer(enquiry)) replies.push_back(std::move(f));
        } else if (std::memcmp(buf + 1, "SET:", 4) == 0) {
            for (size_t i = 0; i < devices.size(); ++i) {
                SimDevice& d = devices[i];
                const std::string before = d.Values["IPADRM"];
                replies.push_back(d.TakeSet(buf, static_cast<size_t>(n)));
                const bool moves = cfg.AckFromNew.count(static_cast<int>(i)) != 0 && d.Values["IPADRM"] != before;
                movedTo.resize(replies.size());
                if (moves) movedTo.back() = d.Values["IPADRM"];
            }
        } else {
            continue;
        }
        if (cfg.Verbose) {
            const void* end = std::memchr(buf, 0xFF, static_cast<size_t>(n));
            const int shown = end ? static_cast<int>(static_cast<const uint8_t*>(end) - buf - 1) : 0;
            std::fprintf(stderr, "klv70-sim: %.*s\n", std::min(shown, 40), buf + 1);
        }
        if (cfg.DelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(cfg.DelayMs));
        sockaddr_in to = from;
        if (cfg.Broadcast) {
            to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
            to.sin_port = htons(cfg.Port);
        }
        for (size_t i = 0; i < replies.size(); ++i) {
            const Frame& f = replies[i];
            if (f.empty()) continue;
            int from = out;
            if (i < movedTo.size() && !movedTo[i].empty()) {
                const int moved = OpenSocket(inet_addr(movedTo[i].c_str()), 0);
                if (moved >= 0) from = moved;
            }
            ::sendto(from, f.data(), f.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
            if (from != out) ::close(from);
        }
    }
    ::close(fd);
    if (out != fd) ::close(out);
    return 0;
}
