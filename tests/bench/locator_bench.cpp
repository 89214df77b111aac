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

namespace {

// Counts the calls the search makes of the platform.
class CountingRegistry final : public registry::RegistryApi {
public:
    explicit CountingRegistry(registry::RegistryApi& real) : real_(real) {}
    long calls = 0;

    registry::Status RegOpenKeyExA(registry::Key key, const char* subKey, std::uint32_t options,
                                   std::uint32_t access, registry::Key* result) override {
        ++calls;
        return real_.RegOpenKeyExA(key, subKey, options, access, result);
    }
    registry::Status RegEnumKeyA(registry::Key key, std::uint32_t index, char* name, std::uint32_t size) override {
        ++calls;
        return real_.RegEnumKeyA(key, index, name, size);
    }
    registry::Status RegQueryValueExA(registry::Key key, const char* valueName, std::uint32_t* reserved,
                                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override {
        ++calls;
        return real_.RegQueryValueExA(key, valueName, reserved, type, data, size);
    }
    registry::Status RegCloseKey(registry::Key key) override {
        ++calls;
        return real_.RegCloseKey(key);
    }
    void RtlMoveMemory(void* destination, const void* source, std::size_t length) override {
        ++calls;
        real_.RtlMoveMemory(destination, source, length);
    }

private:
    registry::RegistryApi& real_;
};

class SilentUi final : public Ui {
public:
    void ShowMessage(std::wstring_view) override {}
    [[noreturn]] void EndProcess() override { throw 0; }
};

void LocateJavaHomeAmongVersions(benchmark::State& state) {
    const std::string key = "SOFTWARE\\JavaSoft\\Java Runtime Environment\\";
    FakeRegistry registry;
    char name[32];
    for (long i = 1; i < state.range(0); ++i) {
        std::snprintf(name, sizeof name, "1.3.0_%05ld", i);
        registry.SetString(key + name, "JavaHome", "C:\\old");
    }
    registry.SetString(key + "1.4.2_19", "JavaHome", "C:\\jre");
    SilentUi ui;
    CountingRegistry counted(registry);
    for (auto _ : state) {
        LocateJavaHome(counted, ui);
        benchmark::DoNotOptimize(JavaHomePath.data());
    }
    if (JavaHomePath != L"C:\\jre") state.SkipWithError("the wrong runtime was chosen");
    const double keys = static_cast<double>(state.range(0));
    state.counters["calls"] = static_cast<double>(counted.calls) / static_cast<double>(state.iterations());
    state.counters["calls-keys"] = state.counters["calls"] - keys;
    state.counters["per-key"] = benchmark::Counter(keys, benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
    state.SetComplexityN(state.range(0));
}

BENCHMARK(LocateJavaHomeAmongVersions)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity();

}  // namespace

BENCHMARK_MAIN();
