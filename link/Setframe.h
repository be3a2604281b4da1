// SET frames as they go out, and the bytes that may not stand inside one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/Record.h"

constexpr size_t SET_FRAME_MAX = 510;  // what a request-queue slot carries

// Eight bytes at a time: a word of a byte string, and whether it holds a 0 byte.
constexpr uint64_t WORD_ONES = 0x0101010101010101ull, WORD_HIGHS = 0x8080808080808080ull;
inline uint64_t Word(const uint8_t* p) {
    uint64_t x;
    std::memcpy(&x, p, 8);
    return x;
}
inline bool ZeroByte(uint64_t v) { return ((v - WORD_ONES) & ~v & WORD_HIGHS) != 0; }

// Whether any of n bytes would end an item or a frame on the wire or in a
// device file: 0xFF, STX or ETX.
bool HoldsDelimiter(const void* bytes, size_t n);

// A MAC that can stand for one device and travel in a frame and a file.
bool UsableMac(const char* mac);

// Why a SET frame could not be built.
enum class SetFrameFault { None, Empty, TooLong, BadByte, BadMac };

struct SetFrameResult {
    uint16_t Length = 0;  // 0 unless Fault is None
    SetFrameFault Fault = SetFrameFault::None;
    size_t Needed = 0;    // the bytes the whole frame would take, ETX included
};

// The SET frame of a kind for a device: its MAC (or the broadcast MAC) and,
// for every key of the kind that the device reports, the value in edit.  The
// windows and the checks before a SET both build it here, so a frame that
// could not go out is known before anything is sent.  out holds FRAME_MAX bytes.
SetFrameResult BuildSetFrame(const TDeviceRec& device, const TDeviceRec& edit, int kind, bool broadcast, uint8_t* out);

