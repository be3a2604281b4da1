// The UDP transport: one socket bound to the link port on every local address,
// every frame broadcast to the same port, received datagrams kept in a ring
// from which the worker thread takes them.
#pragma once

#include <netinet/in.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/Origin.h"
#include "link/Record.h"

// Told of every transport failure; the worker takes the call itself as the sign
// that the link is lost.  Called from whichever thread met the failure.
class LinkNotify {
public:
    virtual ~LinkNotify() = default;
    virtual void LinkFailed(const char* text) = 0;
};

struct LinkParams {
    LinkNotify* Notify = nullptr;
    uint16_t Port = 0;
    uint32_t Length = 0;
    const uint8_t* Data = nullptr;
    Outlets Via;  // a broadcast leaves only by these interfaces; none named: by every one
};

class TdrvUDP {
public:
    // A ring of this many slots holds one datagram fewer; a whole search of a
    // full table (256 devices, several answers each) fits with room to spare.
    static constexpr size_t RING_SLOTS = 1025;
    static constexpr size_t SLOT_BYTES = FRAME_MAX;

    explicit TdrvUDP(size_t ringSlots = RING_SLOTS);
    ~TdrvUDP();
    TdrvUDP(const TdrvUDP&) = delete;
    TdrvUDP& operator=(const TdrvUDP&) = delete;

    bool Open(LinkParams& params);
    // At least SLOT_BYTES; 0 when the ring is empty.  from: where it came from.
    uint32_t Read(uint8_t* buffer, Origin* from = nullptr);
    bool Send(LinkParams& params);
    void Close();
    bool IsOpen() const;

    // Where frames go; 255.255.255.255 unless a test points it at loopback.
    void SetDestination(in_addr_t address) { Destination = address; }
    // A broadcast goes out of every IPv4 interface that is up and can
    // broadcast, or only out of the one named here.
    void SetInterface(const std::string& name);
    // Addresses every frame also goes to, besides the broadcasts (Targets.h).
    void SetTargets(const std::vector<in_addr_t>& addresses);

    // The receive path's store: one datagram into the ring under DrvMutex,
    // dropping the oldest when full.  Tests feed the ring through it.
    void Store(const uint8_t* data, size_t length, const Origin& from = {});
    size_t Waiting() const;

private:
    void RxLoop(int fd, int wakeFd);
    void ReportError(const char* what, int error);
    int Broadcast(int fd, const LinkParams& params, int& error);
    void StopReceiver();
    void SendToTargets(int fd, const LinkParams& params);

    const size_t Slots;
    std::unique_ptr<uint8_t[]> RxRing;  // Slots * SLOT_BYTES
    std::unique_ptr<uint32_t[]> RxLength;
    std::unique_ptr<Origin[]> RxOrigin;
    size_t WriteIndex = 0;
    size_t ReadIndex = 0;
    mutable std::mutex DrvMutex;

    mutable std::mutex SockMutex;  // the socket and the receive thread
    int Sock = -1;
    int WakeFd = -1;
    std::thread Receiver;
    LinkNotify* Notify = nullptr;
    uint16_t Port = 0;
    std::atomic<in_addr_t> Destination;
    std::string Interface;            // guarded by SockMutex
    std::vector<in_addr_t> Targets;  // guarded by SockMutex
};
