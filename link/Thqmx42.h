// The worker thread: the only place where frames go out and answers come in.
// A fixed 50 ms step keeps the link open, takes what has arrived, merges it
// into the device table and sends at most one queued frame.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "link/Qmx42d.h"
#include "link/Table.h"

constexpr uint32_t ST_OPEN = 0;
constexpr uint32_t ST_RUN = 1;
constexpr uint32_t ST_WAIT = 255;

class TQmx42 : public LinkNotify {
public:
    static constexpr int QUEUE_SLOTS = 50;
    static constexpr int RETRY_STEPS = 120;
    static constexpr int STEP_MS = 50;

    // Created suspended: no thread runs until Resume.  Tests drive Step alone.
    TQmx42(TmTable& table, TdrvUDP& driver, uint16_t port);
    ~TQmx42() override;
    TQmx42(const TQmx42&) = delete;
    TQmx42& operator=(const TQmx42&) = delete;

    void Resume();
    void Terminate();
    int WaitFor();  // 1 once the thread has ended (also when it never ran)

    // via: the interfaces the frame leaves by; none named: every interface.
    void EnqueueQuery(int kind, const Outlets& via = {});
    // The SET the table has just built (TmTable::SendBuf).
    void EnqueueSet(uint16_t length, const Outlets& via = {});
    int Queued() const;

    void Step();
    uint32_t State() const { return State_.load(); }
    void LinkFailed(const char* text) override;
    // The driver's text of the last failure, empty once the link is open again,
    // and how many failures there have been: whoever shows the link's state
    // reads them, from any thread.
    std::string LastFailure() const;
    uint32_t Failures() const { return Failures_.load(); }

private:
    struct Slot {
        uint16_t Length;
        uint8_t Frame[SET_FRAME_MAX];
        Outlets Via;
    };
    void Execute();
    void Enqueue(const uint8_t* frame, uint16_t length, const Outlets& via);
    // The frame taken, when it is a device's answer to merge.
    FrameView PollAnswer(uint32_t& length, Origin& from);
    void ProcessAnswers();
    void SendNext();

    TmTable& Table;
    TdrvUDP& Driver;
    LinkParams Params;
    std::atomic<uint32_t> State_{ST_OPEN};
    std::atomic<bool> LinkLost{false};
    mutable std::mutex FailureMutex;
    std::string Failure;
    int RetryTicks = 0;

    std::atomic<uint32_t> Failures_{0};

    mutable std::mutex ReqMutex;
    Slot ReqQueue[QUEUE_SLOTS]{};
    int WriteIndex = 0;
    int ReadIndex = 0;

    uint8_t TxBuf[SET_FRAME_MAX]{};
    uint8_t RxBuf[TdrvUDP::SLOT_BYTES]{};

    std::mutex RunMutex;
    std::condition_variable Wake;
    bool Terminated = false;
    std::thread Thread;
};
