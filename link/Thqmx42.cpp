#include "link/Thqmx42.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "link/Protocol.h"
#include "link/Waits.h"


TQmx42::TQmx42(TmTable& table, TdrvUDP& driver, uint16_t port) : Table(table), Driver(driver) {
    Params.Notify = this;
    Params.Port = port;
}

TQmx42::~TQmx42() {
    Terminate();
    WaitFor();
}

void TQmx42::Resume() {
    if (Thread.joinable()) return;
    Thread = std::thread(&TQmx42::Execute, this);
}

void TQmx42::Terminate() {
    std::lock_guard<std::mutex> g(RunMutex);
    Terminated = true;
    Wake.notify_all();
}

int TQmx42::WaitFor() {
    if (Thread.joinable()) Thread.join();
    return 1;
}

void TQmx42::Execute() {
    pthread_setname_np(pthread_self(), "QMX42");
    using Clock = std::chrono::steady_clock;
    auto next = Clock::now();
    for (;;) {
        // A step that came late is not made up for: steps run back to back
        // would shorten the retry wait and the pacing of frames sent.
        next = std::max(next + std::chrono::milliseconds(ScaledMs(STEP_MS)), Clock::now());
        {
            std::unique_lock<std::mutex> lk(RunMutex);
            if (Wake.wait_until(lk, next, [this] { return Terminated; })) break;
        }
        Step();
    }
    Driver.Close();
}

void TQmx42::LinkFailed(const char* text) {
    {
        std::lock_guard<std::mutex> g(FailureMutex);
        Failure = text != nullptr ? text : "";
    }
    ++Failures_;
    LinkLost = true;
}

std::string TQmx42::LastFailure() const {
    std::lock_guard<std::mutex> g(FailureMutex);
    return Failure;
}

void TQmx42::Step() {
    if (LinkLost.exchange(false)) {
        State_ = ST_WAIT;
        RetryTicks = 0;
    }
    switch (State_.load()) {
        case ST_OPEN:
            if (Driver.Open(Params)) {
                {
                    std::lock_guard<std::mutex> g(FailureMutex);
                    Failure.clear();
                }
                std::lock_guard<std::mutex> g(ReqMutex);
                WriteIndex = ReadIndex = 0;  // what was queued while the link was down is stale
                State_ = ST_RUN;
            } else {
                State_ = ST_WAIT;
                RetryTicks = 0;
                LinkLost = false;  // the failed open reported itself; that is this failure
            }
            break;
        case ST_RUN:
            ProcessAnswers();
            SendNext();
            break;
        default:
            if (++RetryTicks >= RETRY_STEPS) State_ = ST_OPEN;
            break;
    }
}

// An answer or acknowledgement holds more than its header.
FrameView TQmx42::PollAnswer(uint32_t& length, Origin& from) {
    length = Driver.Read(RxBuf, &from);
    const FrameView frame = ReadFrame(RxBuf, length);
    if (frame.ItemsLength == 0 || !frame.Stx) return {};
    if (frame.Word == FrameWord::Ack) Table.SetStatus(STATUS_ACK, frame.Mac, &from);
    if (frame.Word == FrameWord::Nak) Table.SetStatus(STATUS_NAK, frame.Mac, &from);
    return frame.Word == FrameWord::Mac ? frame : FrameView{};
}

// Takes every datagram that was waiting when the step began, not one a step:
// a broadcast enquiry makes every device answer at once, and one a step would
// lose all beyond the ring.  What arrives meanwhile waits for the next step,
// so a flood cannot hold the step away from sending and from ending.
void TQmx42::ProcessAnswers() {
    for (size_t waiting = Driver.Waiting(); waiting > 0; --waiting) {
        uint32_t length = 0;
        Origin from;
        const FrameView answer = PollAnswer(length, from);
        if (length == 0) return;
        if (answer.Word == FrameWord::Mac) Table.MergeAnswer(answer, &from);
    }
}

void TQmx42::SendNext() {
    std::lock_guard<std::mutex> g(ReqMutex);
    if (ReadIndex == WriteIndex) return;
    const Slot& s = ReqQueue[ReadIndex];
    std::memcpy(TxBuf, s.Frame, s.Length);
    Params.Length = s.Length;
    Params.Data = TxBuf;
    Params.Via = s.Via;
    Driver.Send(Params);
    ReadIndex = (ReadIndex + 1) % QUEUE_SLOTS;
}

void TQmx42::Enqueue(const uint8_t* frame, uint16_t length, const Outlets& via) {
    if (length == 0 || length > sizeof(Slot::Frame)) return;
    std::lock_guard<std::mutex> g(ReqMutex);
    Slot& s = ReqQueue[WriteIndex];
    s.Length = length;
    std::memcpy(s.Frame, frame, length);
    s.Via = via;
    WriteIndex = (WriteIndex + 1) % QUEUE_SLOTS;
    if (WriteIndex == ReadIndex) ReadIndex = (ReadIndex + 1) % QUEUE_SLOTS;  // full: drop the oldest
}

void TQmx42::EnqueueQuery(int kind, const Outlets& via) {
    uint8_t frame[32];
    const size_t n = QueryFrame(kind, frame);
    Enqueue(frame, static_cast<uint16_t>(n), via);
}

void TQmx42::EnqueueSet(uint16_t length, const Outlets& via) { Enqueue(Table.SendBuf(), length, via); }

int TQmx42::Queued() const {
    std::lock_guard<std::mutex> g(ReqMutex);
    return (WriteIndex + QUEUE_SLOTS - ReadIndex) % QUEUE_SLOTS;
}
