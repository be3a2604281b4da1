// The device table: one row per device found, keyed by its MAC text.
//
// The worker thread merges answers while the user-interface thread reads and
// edits rows, so every access to the rows goes through a member that takes the
// table's one lock.  EditRec, SendBuf and SelectedRow belong to the
// user-interface thread alone.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/Macindex.h"
#include "link/Origin.h"
#include "link/Protocol.h"
#include "link/Record.h"
#include "link/Setframe.h"

// What UpdateChangeMask does with its bits: nothing (it only answers), raise
// them, or clear them.
enum class MaskUpdate { None, Raise, Clear };

// The four grid columns of one row, plus its identity.
struct GridRow {
    char MAC[18];
    char MODEL[257];
    char TARCID[4];
    char SERIAL[11];
    char IPADRM[16];
};

class TmTable {
public:
    TmTable();
    TmTable(const TmTable&) = delete;
    TmTable& operator=(const TmTable&) = delete;

    // Merges one answer or device-file frame; false when it was refused.
    bool TakeAnswer(const uint8_t* data, uint16_t length);
    // The worker's merge: TakeAnswer, and a merged "INFO:DATE" answer
    // acknowledges the date enquiry of its row, all under one lock.  With
    // `from` (a datagram off the network) the row remembers where its device
    // answers from, and an acknowledgement counts only from there.
    bool MergeAnswer(const FrameView& frame, const Origin* from = nullptr);
    bool MergeAnswer(const uint8_t* data, uint16_t length, const Origin* from = nullptr) {
        return MergeAnswer(ReadFrame(data, length), from);
    }
    void SetStatus(uint32_t code, const char* mac, const Origin* from = nullptr);
    // The interfaces the row's device was heard on in this run; none when it
    // has not answered (a row from a file), which means every interface.
    Outlets RowOutlets(int row) const;
    // Answers refused since the last call because every slot was taken.
    uint32_t TakeLeftOut();

    void SetRowStatus(int row, uint32_t code);
    // Clears the row's status for a SET or a date enquiry.  newSource: for a
    // network SET, the main address it gives the device (network order), from
    // which an acknowledgement counts too; 0 for none.
    void AwaitAnswer(int row, uint32_t newSource = 0);
    void EndWaits();
    // A search begins: ends every wait, and each device is believed at the
    // address this search hears it from, if it hears it from one alone.
    void BeginSearch();
    // Why the row's device cannot be told apart from another host or device:
    // answers for its MAC from two addresses, or with two serials, since the
    // last search began.  "" when there is no doubt.  A SET to it is refused.
    std::string RowDoubt(int row) const;
    // How many devices have answered since the last search began.
    int HeardInSearch() const;
    uint32_t RowStatus(int row) const;  // STATUS_NONE for a row that is not live
    int Count() const;
    int FindRow(const char* mac) const;
    bool CopyRow(int row, TDeviceRec& out) const;
    std::vector<TDeviceRec> Rows() const;
    std::vector<GridRow> GridRows() const;
    // Runs edit on a live row under the lock; false when the row is not live.
    bool EditRow(int row, const std::function<void(TDeviceRec&)>& edit);
    void DeleteRow(int row);  // table row + 1 (not the sorted grid row), or NO_ROW for all

    uint32_t ChangeMask() const;
    // Whether any change bit is raised, after the update.
    bool UpdateChangeMask(uint32_t bits, MaskUpdate how);
    // Every change bit raised since the last call.  ChangeMask only tells what
    // the latest answer changed, so a poller that looked only at it would miss
    // a new row followed at once by an unchanged answer.
    uint32_t TakeChanges();
    // How many frames have been merged so far, changed or not: answers still
    // arriving show here even when they repeat what the table holds.
    uint64_t Merged() const;

    void SetNoAddUnknown(bool value);
    bool NoAddUnknown() const;

    // Builds the SET frame of a kind for a row into SendBuf from EditRec and the
    // row's Has<KEY> flags; the frame length, 0 when there is nothing to send.
    // The frame itself is BuildSetFrame's, which changes nothing; what a built
    // SET leaves behind is NoteSetBuilt's.
    uint16_t BuildSet(int row, int kind, bool broadcast);
    const uint8_t* SendBuf() const { return SendBuf_; }

    TDeviceRec EditRec{};
    int SelectedRow = NO_ROW;

private:
    // A row a SET was built for counts its group id as present from then on,
    // and EditRec holds the addresses as they went out (without blanks), which
    // the window commits to the row once the device takes them.
    void NoteSetBuilt(int row, int kind);
    int FindRowLocked(const char* mac) const;
    bool TakeAnswerLocked(const FrameView& frame);
    bool UpdateChangeMaskLocked(uint32_t bits, MaskUpdate how);
    void ParseItems(const uint8_t* data, size_t length);
    bool ParseItem(const uint8_t* item, size_t length);

    // Where a row's device answers from; Heard: it has answered in this run.
    struct RowOrigin {
        bool Heard = false;
        bool Waiting = false;  // AwaitAnswer, and the device has not answered it yet
        uint32_t Source = 0;
        uint32_t NewSource = 0;  // while Waiting: the main address a network SET gives it
        uint32_t Search = 0;     // the search in which Source was first heard
        uint32_t Other = 0;      // another address its MAC answered from since then
        char Serials[2][11]{};   // two serials its MAC answered with since then
        Outlets Via;
    };
    void Hear(RowOrigin& o, const Origin& from);
    bool Doubtful(const RowOrigin& o) const { return o.Other != 0 || o.Serials[1][0] != 0; }
    bool FromDevice(int row, const Origin* from) const;

    mutable std::mutex Lock;
    std::unique_ptr<TDeviceRec[]> Rec;
    std::unique_ptr<RowOrigin[]> Origins;  // beside Rec, row for row
    MacIndex Macs;                         // Rec's rows by their MAC
    uint32_t LeftOut_ = 0;
    int Count_ = 0;
    int CurRow = 0;
    uint32_t ChangeMask_ = 0;
    uint32_t Pending_ = 0;
    uint64_t Merged_ = 0;
    bool NoAddUnknown_ = false;
    bool DateAnswered_ = false;
    bool SerialTaken_ = false;  // the answer being merged carried a SERIAL
    uint32_t Search_ = 1;  // the current search; rows not heard in it have Search 0 or older
    uint8_t SendBuf_[FRAME_MAX]{};
};
