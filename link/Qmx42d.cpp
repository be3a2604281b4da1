#include "link/Qmx42d.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {
// Enough kernel buffer for a burst of a full table's answers while the
// receive thread drains it into the ring.
constexpr int RCVBUF_BYTES = 4 * 1024 * 1024;

// A send queue that is full (frames to addresses nobody answers wait there
// for their neighbours) is waited out for a moment, within the worker's
// step; a frame that still cannot go is not counted as sent.
template <typename Send>
bool Sent(int fd, Send send) {
    for (int tries = 0;; ++tries) {
        if (send() >= 0) return true;
        if ((errno != EAGAIN && errno != EWOULDBLOCK) || tries == 2) return false;
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, 10);
    }
}

bool SendTo(int fd, const LinkParams& params, const sockaddr_in& dst) {
    return Sent(fd, [&] {
        return ::sendto(fd, params.Data, params.Length, 0, reinterpret_cast<const sockaddr*>(&dst), sizeof dst);
    });
}
}  // namespace

TdrvUDP::TdrvUDP(size_t ringSlots)
    : Slots(ringSlots < 2 ? 2 : ringSlots),
      RxRing(new uint8_t[Slots * SLOT_BYTES]()),
      RxLength(new uint32_t[Slots]()),
      RxOrigin(new Origin[Slots]()),
      Destination(htonl(INADDR_BROADCAST)) {}

TdrvUDP::~TdrvUDP() { Close(); }

void TdrvUDP::ReportError(const char* what, int error) {
    std::string text = std::string(what) + " : " + (error != 0 ? std::strerror(error) : "");
    if (Notify != nullptr) Notify->LinkFailed(text.c_str());
}

bool TdrvUDP::Open(LinkParams& params) {
    Close();
    {
        std::lock_guard<std::mutex> g(DrvMutex);
        ReadIndex = WriteIndex = 0;
    }
    Notify = params.Notify;
    Port = params.Port;

    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0) {
        ReportError("QMT42:Could not create socket", errno);
        return false;
    }
    const auto fail = [&](const char* what) {
        const int error = errno;
        ::close(fd);
        ReportError(what, error);
        return false;
    };
    const int on = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) return fail("QMT42:setsockopt() error");
    if (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) return fail("QMT42:setsockopt() error");
    // Each datagram's arrival interface, so that a frame for one device
    // leaves only where that device is.
    if (::setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0) return fail("QMT42:setsockopt() error");
    // Best effort: only a privileged process may pass the system's limit.
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &RCVBUF_BYTES, sizeof RCVBUF_BYTES) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &RCVBUF_BYTES, sizeof RCVBUF_BYTES);
    // And for frames to targets still waiting for their neighbours.
    if (::setsockopt(fd, SOL_SOCKET, SO_SNDBUFFORCE, &RCVBUF_BYTES, sizeof RCVBUF_BYTES) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &RCVBUF_BYTES, sizeof RCVBUF_BYTES);

    const int wake = ::eventfd(0, EFD_CLOEXEC);
    if (wake < 0) return fail("QMX42:WSAAsyncSelect() error");

    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(Port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        ::close(wake);
        return fail("bind() error");
    }

    std::lock_guard<std::mutex> g(SockMutex);
    Sock = fd;
    WakeFd = wake;
    Receiver = std::thread(&TdrvUDP::RxLoop, this, fd, wake);
    return true;
}

void TdrvUDP::RxLoop(int fd, int wakeFd) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    // One byte more than a slot, so that an oversized datagram shows as such.
    uint8_t buf[SLOT_BYTES + 1];
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        for (;;) {
            iovec iov{buf, sizeof buf};
            sockaddr_in sender{};
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
            msghdr msg{};
            msg.msg_name = &sender;
            msg.msg_namelen = sizeof sender;
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
            msg.msg_control = control;
            msg.msg_controllen = sizeof control;
            const ssize_t n = ::recvmsg(fd, &msg, MSG_DONTWAIT);
            if (n < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK) break;
                if (errno == EINTR) continue;
                const int error = errno;
                {
                    std::lock_guard<std::mutex> g(SockMutex);
                    if (Sock == fd) {
                        ::close(fd);
                        Sock = -1;
                    }
                }
                ReportError("QMX42:recvfrom() error", error);
                return;
            }
            // Anyone on the network can send a datagram too long for a slot;
            // it is no frame of ours, so it is dropped and the link stays up.
            if ((msg.msg_flags & MSG_TRUNC) != 0 || static_cast<size_t>(n) > SLOT_BYTES) continue;
            if (n <= 0) continue;
            Origin from;
            from.Source = sender.sin_addr.s_addr;
            for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
                if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_PKTINFO) continue;
                in_pktinfo info;
                std::memcpy(&info, CMSG_DATA(c), sizeof info);
                from.IfIndex = static_cast<unsigned>(info.ipi_ifindex);
            }
            Store(buf, static_cast<size_t>(n), from);
        }
    }
}

void TdrvUDP::Store(const uint8_t* data, size_t length, const Origin& from) {
    if (length == 0 || length > SLOT_BYTES) return;
    std::lock_guard<std::mutex> g(DrvMutex);
    std::memcpy(RxRing.get() + WriteIndex * SLOT_BYTES, data, length);
    RxLength[WriteIndex] = static_cast<uint32_t>(length);
    RxOrigin[WriteIndex] = from;
    WriteIndex = (WriteIndex + 1) % Slots;
    if (WriteIndex == ReadIndex) ReadIndex = (ReadIndex + 1) % Slots;  // full: drop the oldest
}

uint32_t TdrvUDP::Read(uint8_t* buffer, Origin* from) {
    std::lock_guard<std::mutex> g(DrvMutex);
    if (ReadIndex == WriteIndex) return 0;
    const uint32_t n = RxLength[ReadIndex];
    std::memcpy(buffer, RxRing.get() + ReadIndex * SLOT_BYTES, n);
    if (from != nullptr) *from = RxOrigin[ReadIndex];
    RxLength[ReadIndex] = 0;
    ReadIndex = (ReadIndex + 1) % Slots;
    return n;
}

size_t TdrvUDP::Waiting() const {
    std::lock_guard<std::mutex> g(DrvMutex);
    return (WriteIndex + Slots - ReadIndex) % Slots;
}

void TdrvUDP::SetInterface(const std::string& name) {
    std::lock_guard<std::mutex> g(SockMutex);
    Interface = name;
}

void TdrvUDP::SetTargets(const std::vector<in_addr_t>& addresses) {
    std::lock_guard<std::mutex> g(SockMutex);
    Targets = addresses;
}

// A target's network may be down or unroutable while the local one is fine:
// its failures are not the link's, which the broadcasts alone decide.
void TdrvUDP::SendToTargets(int fd, const LinkParams& params) {
    for (const in_addr_t to : Targets) {
        sockaddr_in dst{};
        dst.sin_family = AF_INET;
        dst.sin_port = htons(Port);
        dst.sin_addr.s_addr = to;
        SendTo(fd, params, dst);
    }
}

namespace {
struct Card {
    unsigned Index;
    in_addr Address;
};

void AddOnce(std::vector<Card>& list, const Card& o) {
    for (const Card& known : list)
        if (known.Index == o.Index) return;
    list.push_back(o);
}

// The interfaces a broadcast leaves by: up, able to broadcast, IPv4, not
// loopback (unless loopback is all there is), or just the one named.  The
// system lists addresses, so an interface with two of them is taken once:
// a device would otherwise get (and apply) every frame twice.
std::vector<Card> BroadcastCards(const std::string& only) {
    std::vector<Card> out, loopback;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return out;
    for (const ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET || (i->ifa_flags & IFF_UP) == 0) continue;
        if (!only.empty() && only != i->ifa_name) continue;
        const Card o{::if_nametoindex(i->ifa_name), reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr};
        if ((i->ifa_flags & IFF_LOOPBACK) != 0) AddOnce(loopback, o);
        else if ((i->ifa_flags & IFF_BROADCAST) != 0 || !only.empty()) AddOnce(out, o);
    }
    ::freeifaddrs(list);
    return out.empty() ? loopback : out;
}

// A frame for one device leaves only by the interfaces it was heard on.
// Where none of them is among the cards (it was heard through loopback, or its card
// has gone), it leaves by every one, as for a device not heard yet.
std::vector<Card> CardsHeardOn(std::vector<Card> all, const Outlets& via) {
    std::vector<Card> some;
    for (const Card& o : all)
        if (via.Has(o.Index)) some.push_back(o);
    return some.empty() ? all : some;
}
}  // namespace

// On Linux a datagram to 255.255.255.255 leaves by the one interface the
// routing table picks, so devices behind a second network card would never
// hear it.  Each frame goes out once on every interface, named per datagram.
// The result: how many copies left; error holds the last failure.
int TdrvUDP::Broadcast(int fd, const LinkParams& params, int& error) {
    sockaddr_in dst{};
    dst.sin_family = AF_INET;
    dst.sin_port = htons(Port);
    dst.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    int sent = 0;
    const std::vector<Card> outlets = CardsHeardOn(BroadcastCards(Interface), params.Via);
    for (const Card& o : outlets) {
        iovec iov{const_cast<uint8_t*>(params.Data), params.Length};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
        msghdr msg{};
        msg.msg_name = &dst;
        msg.msg_namelen = sizeof dst;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        cmsghdr* c = CMSG_FIRSTHDR(&msg);
        c->cmsg_level = IPPROTO_IP;
        c->cmsg_type = IP_PKTINFO;
        c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = static_cast<int>(o.Index);
        info.ipi_spec_dst = o.Address;
        std::memcpy(CMSG_DATA(c), &info, sizeof info);
        if (Sent(fd, [&] { return ::sendmsg(fd, &msg, 0); })) ++sent;
        else error = errno;
    }
    if (outlets.empty() && Interface.empty()) {
        // No interface to name: leave it to the routing table.
        if (SendTo(fd, params, dst)) ++sent;
        else error = errno;
    } else if (outlets.empty()) {
        error = ENODEV;
    }
    return sent;
}

bool TdrvUDP::Send(LinkParams& params) {
    int error = 0;
    {
        std::lock_guard<std::mutex> g(SockMutex);
        if (Sock < 0) return false;
        SendToTargets(Sock, params);
        const in_addr_t to = Destination.load();
        if (to == htonl(INADDR_BROADCAST)) {
            if (Broadcast(Sock, params, error) > 0) return true;
        } else {
            sockaddr_in dst{};
            dst.sin_family = AF_INET;
            dst.sin_port = htons(Port);
            dst.sin_addr.s_addr = to;
            if (SendTo(Sock, params, dst)) return true;
            error = errno;
        }
    }
    Close();
    ReportError("QMT42:send() error", error);
    return false;
}

bool TdrvUDP::IsOpen() const {
    std::lock_guard<std::mutex> g(SockMutex);
    return Sock >= 0;
}

void TdrvUDP::StopReceiver() {
    std::thread receiver;
    int wake = -1;
    {
        std::lock_guard<std::mutex> g(SockMutex);
        receiver = std::move(Receiver);
        wake = WakeFd;
        WakeFd = -1;
    }
    if (wake >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake, &one, sizeof one);
    }
    if (receiver.joinable()) receiver.join();
    if (wake >= 0) ::close(wake);
}

void TdrvUDP::Close() {
    StopReceiver();
    std::lock_guard<std::mutex> g(SockMutex);
    if (Sock >= 0) ::close(Sock);
    Sock = -1;
}
