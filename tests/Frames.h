// Frames for tests, built the way a device builds them.
#pragma once

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Support.h"
#include "link/Tskcontrol.h"

using Bytes = std::vector<uint8_t>;

inline Bytes MakeFrame(const std::string& kind, const std::string& mac, const std::vector<std::string>& items,
                       bool close = true) {
    std::string text = "\x02" + kind + ":" + mac + "\xFF";
    for (const std::string& item : items) text += item + "\xFF";
    if (close) text += "\x03";
    return Bytes(text.begin(), text.end());
}

inline Bytes Answer(const std::string& mac, const std::vector<std::string>& items) {
    return MakeFrame("MAC", mac, items);
}

template <class Table>
bool Take(Table& table, const Bytes& b) {
    return table.TakeAnswer(b.data(), static_cast<uint16_t>(b.size()));
}

// Ticks a control task as a host would until it stops moving or is ready.
inline bool TickUntilReady(TtskCtrl& control) {
    for (int i = 0; i < 200 && control.CtrlState() != CTRL_READY && control.TimerEnabled(); ++i) {
        control.timCtrlTimer();
        if (control.CtrlState() == CTRL_WAIT) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return control.CtrlState() == CTRL_READY;
}

inline std::string MacOf(int i) {
    char text[18];
    std::snprintf(text, sizeof text, "02-00-00-00-%02X-%02X", (i >> 8) & 0xFF, i & 0xFF);
    return text;
}

inline std::string Text(const uint8_t* p, size_t n) { return std::string(reinterpret_cast<const char*>(p), n); }

// One datagram from a socket of its own, as another host on the network sends.
inline void SendRaw(const Bytes& b, const char* to = "127.0.0.1", uint16_t port = 8020) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in dst{};
    dst.sin_family = AF_INET;
    dst.sin_port = htons(port);
    dst.sin_addr.s_addr = inet_addr(to);
    ::sendto(fd, b.data(), b.size(), 0, reinterpret_cast<sockaddr*>(&dst), sizeof dst);
    ::close(fd);
}

// A device that reported every network key and every information key.
inline Bytes FullDevice(const std::string& mac, const std::string& ip = "192.168.0.10") {
    return Answer(mac, {"MODEL:KLV-70", "TARCID:001", "SERIAL:12345", "IPADRM:" + ip, "IPADRB:192.168.0.11",
                        "GPID:1", "TERM:5000", "LOG:5001", "GWAY:192.168.0.1", "MASK:255.255.255.0",
                        "OPTIP:192.168.0.20", "OPTIP2:192.168.0.21", "OPTIP3:192.168.0.22", "OPT1:1", "OPT2:2",
                        "OPT3:3", "TOUT:30", "TRAP1:192.168.0.100", "TRAP2:192.168.0.101", "CONT:c",
                        "NAME:n", "LOC:l", "UNIQ:7", "YMDHM:2026.12.07.09.30", "GMT:+9"});
}

// The rows of a table that has taken these answers, in order.
inline std::vector<TDeviceRec> RowsOf(const std::vector<Bytes>& answers) {
    TmTable table;
    for (const Bytes& b : answers) Take(table, b);
    return table.Rows();
}
