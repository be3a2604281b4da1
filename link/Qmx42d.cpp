#include "Qmx42d.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
// Enough kernel buffer for a burst of a full table's answers while the
// receive thread drains it into the ring.
constexpr int RCVBUF_BYTES = 4 * 1024 * 1024;
}  // namespace

TdrvUDP::TdrvUDP(size_t ringSlots)
    : Slots(ringSlots < 2 ? 2 : ringSlots),
      RxRing(new uint8_t[Slots * SLOT_BYTES]()),
      RxLength(new uint32_t[Slots]()),
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
    // Best effort: only a privileged process may pass the system's limit.
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &RCVBUF_BYTES, sizeof RCVBUF_BYTES) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &RCVBUF_BYTES, sizeof RCVBUF_BYTES);

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
            msghdr msg{};
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
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
            if (n > 0) Store(buf, static_cast<size_t>(n));
        }
    }
}

void TdrvUDP::Store(const uint8_t* data, size_t length) {
    if (length == 0 || length > SLOT_BYTES) return;
    std::lock_guard<std::mutex> g(DrvMutex);
    std::memcpy(RxRing.get() + WriteIndex * SLOT_BYTES, data, length);
    RxLength[WriteIndex] = static_cast<uint32_t>(length);
    WriteIndex = (WriteIndex + 1) % Slots;
    if (WriteIndex == ReadIndex) ReadIndex = (ReadIndex + 1) % Slots;  // full: drop the oldest
}

uint32_t TdrvUDP::Read(uint8_t* buffer) {
    std::lock_guard<std::mutex> g(DrvMutex);
    if (ReadIndex == WriteIndex) return 0;
    const uint32_t n = RxLength[ReadIndex];
    std::memcpy(buffer, RxRing.get() + ReadIndex * SLOT_BYTES, n);
    RxLength[ReadIndex] = 0;
    ReadIndex = (ReadIndex + 1) % Slots;
    return n;
}

size_t TdrvUDP::Waiting() const {
    std::lock_guard<std::mutex> g(DrvMutex);
    return (WriteIndex + Slots - ReadIndex) % Slots;
}

bool TdrvUDP::Send(LinkParams& params) {
    int error = 0;
    {
        std::lock_guard<std::mutex> g(SockMutex);
        if (Sock < 0) return false;
        sockaddr_in dst{};
        dst.sin_family = AF_INET;
        dst.sin_port = htons(Port);
        dst.sin_addr.s_addr = Destination.load();
        const ssize_t n = ::sendto(Sock, params.Data, params.Length, 0,
                                   reinterpret_cast<sockaddr*>(&dst), sizeof dst);
        if (n >= 0 || errno == EAGAIN || errno == EWOULDBLOCK) return true;
        error = errno;
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
