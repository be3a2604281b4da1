// How long a search takes to see every device: from the network enquiry until
// all N rows are in the table, against the simulator.  Opens sockets, so it
// runs only inside the sandbox:  scripts/sandbox build/bench/bench_search
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "plan/Host.h"
#include "SimProcess.h"
#include "TempDir.h"

namespace {
// The simulator with as many devices as the argument, and a link that is up.
struct Rig {
    explicit Rig(benchmark::State& state)
        : Count(static_cast<int>(state.range(0))), Sim({"--count", std::to_string(Count)}), Host(Dir.Path) {
        Up = Sim.Ready() && Host.BringUp();
        if (!Up) state.SkipWithError("no simulator or no link (run inside scripts/sandbox)");
    }
    int Count;
    SimProcess Sim;
    TempDir Dir;
    HeadlessHost Host;
    bool Up = false;
};

void BM_SearchAllRows(benchmark::State& state) {
    Rig rig(state);
    if (!rig.Up) return;
    const int n = rig.Count;
    HeadlessHost& host = rig.Host;
    for (auto _ : state) {
        host.Table.DeleteRow(NO_ROW);
        const auto start = std::chrono::steady_clock::now();
        host.Control.RequestQuery(NO_ROW, KIND_NETWORK);
        while (host.Table.Count() < n) {
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(30)) {
                state.SkipWithError("not every device was found");
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    // One datagram a 50 ms step would take N / 20 seconds to take them in.
    state.counters["one_a_step_s"] = n / 20.0;
}
BENCHMARK(BM_SearchAllRows)->Arg(16)->Arg(64)->Arg(256)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// A whole search as a script waits for it: the quick one (over once answers
// stop) beside the window's nine-second one, and how many devices each found.
void WholeSearch(benchmark::State& state, bool quick) {
    Rig rig(state);
    if (!rig.Up) return;
    const int n = rig.Count;
    HeadlessHost& host = rig.Host;
    int found = n;
    for (auto _ : state) {
        host.Table.DeleteRow(NO_ROW);
        const auto start = std::chrono::steady_clock::now();
        if (quick) host.QuickSearch();
        else host.Search();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        found = std::min(found, host.Table.Count());
    }
    state.counters["devices"] = n;
    state.counters["found_least"] = found;  // the fewest any run found
}
void BM_QuickSearch(benchmark::State& state) { WholeSearch(state, true); }
void BM_FullSearch(benchmark::State& state) { WholeSearch(state, false); }
BENCHMARK(BM_QuickSearch)->Arg(16)->Arg(64)->Arg(256)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FullSearch)->Arg(16)->Arg(64)->Arg(256)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
}  // namespace

BENCHMARK_MAIN();
