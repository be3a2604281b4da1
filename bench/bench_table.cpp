// The per-frame costs of the table beside a plain copy of a datagram.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "link/Table.h"

namespace {
using Bytes = std::vector<uint8_t>;

// An answer carrying every key the table stores, each at its field's width,
// cut to one datagram.
Bytes FullAnswer(const std::string& mac) {
    Bytes b{STX};
    const std::string head = "MAC:" + mac;
    b.insert(b.end(), head.begin(), head.end());
    b.push_back(ITEM_END);
    for (int key = KEY_MODEL; key < KEY_COUNT; ++key) {
        const std::string item = std::string(KeyFields[key].Name) + ":" + std::string(KeyFields[key].Width, '7');
        if (b.size() + item.size() + 2 > FRAME_MAX) continue;
        b.insert(b.end(), item.begin(), item.end());
        b.push_back(ITEM_END);
    }
    b.push_back(ETX);
    return b;
}

std::string Mac(int i) {
    char t[18];
    std::snprintf(t, sizeof t, "02-00-00-00-%02X-%02X", (i >> 8) & 0xFF, i & 0xFF);
    return t;
}

void BM_Memcpy512(benchmark::State& state) {
    uint8_t src[512], dst[512];
    std::memset(src, 7, sizeof src);
    for (auto _ : state) {
        benchmark::DoNotOptimize(src);
        std::memcpy(dst, src, sizeof dst);
        benchmark::DoNotOptimize(dst);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy512);

void BM_TakeAnswerExistingRow(benchmark::State& state) {
    TmTable table;
    const Bytes a = FullAnswer(Mac(1));
    table.TakeAnswer(a.data(), static_cast<uint16_t>(a.size()));
    for (auto _ : state) benchmark::DoNotOptimize(table.TakeAnswer(a.data(), static_cast<uint16_t>(a.size())));
    state.counters["bytes"] = static_cast<double>(a.size());
}
BENCHMARK(BM_TakeAnswerExistingRow);

// A new row each time, in a table already holding state.range(0) rows: with
// the MAC index the cost does not grow with the rows held.  What remains
// above the existing-row case is writing a whole record where that one only
// compares.
void BM_TakeAnswerNewRow(benchmark::State& state) {
    const int held = static_cast<int>(state.range(0));
    TmTable table;
    std::vector<Bytes> answers;
    for (int i = 0; i < 256; ++i) answers.push_back(FullAnswer(Mac(i)));
    for (int i = 0; i < held; ++i) table.TakeAnswer(answers[i].data(), static_cast<uint16_t>(answers[i].size()));
    int next = held;
    for (auto _ : state) {
        if (next == 256 || next == held + 48) {
            state.PauseTiming();
            while (table.Count() > held) table.DeleteRow(table.Count());
            next = held;
            state.ResumeTiming();
        }
        const Bytes& a = answers[static_cast<size_t>(next++)];
        benchmark::DoNotOptimize(table.TakeAnswer(a.data(), static_cast<uint16_t>(a.size())));
    }
}
BENCHMARK(BM_TakeAnswerNewRow)->Arg(0)->Arg(128)->Arg(199);

void BM_BuildSetLongestNetwork(benchmark::State& state) {
    TmTable table;
    Bytes a{STX};
    const std::string head = "MAC:" + Mac(1);
    a.insert(a.end(), head.begin(), head.end());
    a.push_back(ITEM_END);
    for (const int* k = SetKeysOf(KIND_NETWORK); *k >= 0; ++k) {
        const std::string item = std::string(KeyFields[*k].Name) + ":";
        a.insert(a.end(), item.begin(), item.end());
        a.push_back(ITEM_END);
    }
    table.TakeAnswer(a.data(), static_cast<uint16_t>(a.size()));
    for (const int* k = SetKeysOf(KIND_NETWORK); *k >= 0; ++k)
        std::memset(FieldOf(table.EditRec, *k), '1', static_cast<size_t>(KeyFields[*k].Width));
    uint16_t n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(n = table.BuildSet(0, KIND_NETWORK, false));
    state.counters["bytes"] = n;
}
BENCHMARK(BM_BuildSetLongestNetwork);
}  // namespace

BENCHMARK_MAIN();
