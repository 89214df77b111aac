// The search alone against the in-memory registry: N version keys, of which
// only the last one enumerated qualifies. It reports the platform calls a
// search makes, which must be N plus a constant, and the time per key, which
// grows a little beyond 1,000 keys as the in-memory registry outgrows the
// caches.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "mod_main.h"
#include "stand_ins.h"

namespace {

// A disk that has every file the search asks for, none of them a release file,
// and an environment that names no Java.
struct EveryFile final : Files, Environment {
    bool Exists(const std::wstring&) const override { return true; }
    std::optional<std::string> Start(const std::wstring&, std::size_t) const override { return std::nullopt; }
    std::optional<std::wstring> Variable(const std::wstring&) const override { return std::nullopt; }
};

// The in-memory registry, with every platform call counted.
class CountingRegistry final : public registry::RegistryApi {
public:
    registry::Status RegOpenKeyExA(registry::Key key, const char* subKey, std::uint32_t options,
                                   std::uint32_t access, registry::Key* result) override {
        ++calls;
        return inner.RegOpenKeyExA(key, subKey, options, access, result);
    }
    registry::Status RegEnumKeyA(registry::Key key, std::uint32_t index, char* name, std::uint32_t size) override {
        ++calls;
        return inner.RegEnumKeyA(key, index, name, size);
    }
    registry::Status RegQueryValueExA(registry::Key key, const char* name, std::uint32_t* reserved,
                                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override {
        ++calls;
        return inner.RegQueryValueExA(key, name, reserved, type, data, size);
    }
    registry::Status RegOpenKeyExW(registry::Key key, const wchar_t* subKey, std::uint32_t options,
                                   std::uint32_t access, registry::Key* result) override {
        ++calls;
        return inner.RegOpenKeyExW(key, subKey, options, access, result);
    }
    registry::Status RegEnumKeyExW(registry::Key key, std::uint32_t index, wchar_t* name, std::uint32_t* size,
                                   std::uint32_t* reserved, wchar_t* className, std::uint32_t* classSize,
                                   void* written) override {
        ++calls;
        return inner.RegEnumKeyExW(key, index, name, size, reserved, className, classSize, written);
    }
    registry::Status RegQueryValueExW(registry::Key key, const wchar_t* name, std::uint32_t* reserved,
                                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override {
        ++calls;
        return inner.RegQueryValueExW(key, name, reserved, type, data, size);
    }
    registry::Status RegCloseKey(registry::Key key) override {
        ++calls;
        return inner.RegCloseKey(key);
    }
    void RtlMoveMemory(void* destination, const void* source, std::size_t length) override {
        ++calls;
        inner.RtlMoveMemory(destination, source, length);
    }
    FakeRegistry inner;
    long calls = 0;
};

void LocateJavaHomeAmongVersions(benchmark::State& state) {
    const std::string key = "SOFTWARE\\JavaSoft\\Java Runtime Environment\\";
    CountingRegistry registry;
    char name[32];
    for (long i = 1; i < state.range(0); ++i) {
        std::snprintf(name, sizeof name, "1.3.0_%05ld", i);
        registry.inner.SetStrings(key + name + "@JavaHome=C:\\old");
    }
    registry.inner.SetStrings(key + "1.4.2_19@JavaHome=C:\\jre");
    RecordingUi ui;
    const EveryFile files;
    const long callsBefore = registry.calls;
    for (auto _ : state) {
        LocateJavaHome(registry, ui, registry::kView32, files, files);
        benchmark::DoNotOptimize(JavaHomePath.data());
    }
    if (JavaHomePath != L"C:\\jre") state.SkipWithError("the wrong runtime was chosen");
    const double keys = static_cast<double>(state.range(0));
    state.counters["calls"] =
        static_cast<double>(registry.calls - callsBefore) / static_cast<double>(state.iterations());
    state.counters["calls-keys"] = state.counters["calls"] - keys;
    state.counters["per-key"] = benchmark::Counter(keys, benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
    state.SetComplexityN(state.range(0));
}

// The shortest search against the longest: the Java Runtime Environment key
// decides with its one version, or nothing is registered anywhere, so every
// place is looked for in both views (and the current user's) before the box.
void LocateJavaHomeEverywhere(benchmark::State& state) {
    CountingRegistry registry;
    if (state.range(0) == 0) {
        registry.inner.SetStrings("SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.4@JavaHome=C:\\jre");
    }
    RecordingUi ui;
    const EveryFile files;
    for (auto _ : state) {
        try {
            LocateJavaHome(registry, ui, registry::kView32, files, files);
        } catch (const ProcessEnded&) {
        }
    }
    state.SetLabel(state.range(0) == 0 ? "decided by the Java Runtime Environment key" : "nothing registered anywhere");
    state.counters["calls"] = static_cast<double>(registry.calls) / static_cast<double>(state.iterations());
}

BENCHMARK(LocateJavaHomeEverywhere)->Arg(0)->Arg(1);
BENCHMARK(LocateJavaHomeAmongVersions)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity();

}  // namespace

BENCHMARK_MAIN();
