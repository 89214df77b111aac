// The search alone against the in-memory registry: N version keys, of which
// only the last one enumerated qualifies. It reports the platform calls a
// search makes, which must be N plus a constant, and the time per key, which
// grows a little beyond 1,000 keys as the in-memory registry outgrows the
// caches.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "fake_registry.h"
#include "mod_main.h"
#include "recording_ui.h"

namespace {

void LocateJavaHomeAmongVersions(benchmark::State& state) {
    const std::string key = "SOFTWARE\\JavaSoft\\Java Runtime Environment\\";
    FakeRegistry registry;
    char name[32];
    for (long i = 1; i < state.range(0); ++i) {
        std::snprintf(name, sizeof name, "1.3.0_%05ld", i);
        registry.SetString(key + name, "JavaHome", "C:\\old");
    }
    registry.SetString(key + "1.4.2_19", "JavaHome", "C:\\jre");
    RecordingUi ui;
    const long callsBefore = registry.Calls();
    for (auto _ : state) {
        LocateJavaHome(registry, ui);
        benchmark::DoNotOptimize(JavaHomePath.data());
    }
    if (JavaHomePath != L"C:\\jre") state.SkipWithError("the wrong runtime was chosen");
    const double keys = static_cast<double>(state.range(0));
    state.counters["calls"] =
        static_cast<double>(registry.Calls() - callsBefore) / static_cast<double>(state.iterations());
    state.counters["calls-keys"] = state.counters["calls"] - keys;
    state.counters["per-key"] = benchmark::Counter(keys, benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
    state.SetComplexityN(state.range(0));
}

BENCHMARK(LocateJavaHomeAmongVersions)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity();

}  // namespace

BENCHMARK_MAIN();
