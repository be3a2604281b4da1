// Setting up 64 devices from a plan, from the start of apply to its summary,
// beside the windows' flow for one device (a search, a network SET, the wait
// for its answer).  Opens sockets, so it runs only inside the sandbox:
//   scripts/sandbox build/bench/bench_apply
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "plan/Host.h"
#include "cli/Plancmds.h"
#include "SimProcess.h"
#include "TempDir.h"

namespace {
constexpr int kDevices = 64;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A plan giving every device a new main address; two sets taken in turn, so
// that every run changes every device.
std::string Plan(int run) {
    std::string csv = "MAC,IPADRM\n";
    char line[64];
    for (int i = 0; i < kDevices; ++i) {
        std::snprintf(line, sizeof line, "02-00-00-00-00-%02X,192.168.1.%d\n", i + 1, (run % 2 ? 170 : 100) + i);
        csv += line;
    }
    return csv;
}

void BM_ApplyPlan(benchmark::State& state) {
    SimProcess sim({"--count", std::to_string(kDevices)});
    TempDir dir;
    if (!sim.Ready()) {
        state.SkipWithError("no simulator (run inside scripts/sandbox)");
        return;
    }
    ApplyArgs args;
    args.Path = dir.Path + "plan.csv";
    args.NoVerify = state.range(0) == 0;
    Options options;
    options.Yes = true;
    int run = 0;
    for (auto _ : state) {
        std::ofstream(args.Path) << Plan(run++);
        std::ostringstream out, err;
        const auto start = std::chrono::steady_clock::now();
        const int code = RunApply(args, options, out, err);
        state.SetIterationTime(Seconds(start));
        if (code != 0) {
            state.SkipWithError(("apply ended with " + std::to_string(code) + ": " + err.str()).c_str());
            return;
        }
    }
    state.counters["per_device_s"] =
        benchmark::Counter(static_cast<double>(kDevices), benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
}
BENCHMARK(BM_ApplyPlan)->ArgName("verify")->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(2);

// What the windows need for one device: the search dialog's search, then the
// Network Setup dialog's SET and its wait.
void BM_WindowsOneDevice(benchmark::State& state) {
    SimProcess sim({"--count", std::to_string(kDevices)});
    TempDir dir;
    HeadlessHost host(dir.Path);
    if (!sim.Ready() || !host.BringUp()) {
        state.SkipWithError("no simulator or no link (run inside scripts/sandbox)");
        return;
    }
    int run = 0;
    for (auto _ : state) {
        host.Table.DeleteRow(NO_ROW);
        const auto start = std::chrono::steady_clock::now();
        host.Search();
        const int row = host.Table.FindRow("02-00-00-00-00-01");
        host.Table.CopyRow(row, host.Table.EditRec);
        std::snprintf(host.Table.EditRec.IPADRM, sizeof host.Table.EditRec.IPADRM, "192.168.1.%d", run++ % 2 ? 90 : 91);
        if (row < 0 || !host.Control.RequestSet(row, KIND_NETWORK, false) ||
            host.WaitAnswer(row) != StatusWait::Acknowledged) {
            state.SkipWithError("the device did not take the SET");
            return;
        }
        state.SetIterationTime(Seconds(start));
    }
}
BENCHMARK(BM_WindowsOneDevice)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(2);
}  // namespace

BENCHMARK_MAIN();
