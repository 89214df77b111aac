// Fuzzes what reads outside data: the splash's picture reader on any bytes, and
// the runtime search with the registry module on any registry the platform's
// contracts allow: any version names, any JavaHome of any type and size, values
// that grow between queries, keys that refuse to open, listings that fail. Under
// the sanitizers it checks that no key stays open, no key it did not open is
// closed, and the search ends in one of its outcomes.
//   build/fuzz/locator_fuzz -max_total_time=60 NEW-DIR tests/fuzz/corpus

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "gif_image.h"
#include "messages.h"
#include "mod_main.h"
#include "stand_ins.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    splash::DecodeGif(bytes, size);

    FuzzedDataProvider input(bytes, size);
    const std::string base = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
    FakeRegistry registry;
    if (input.ConsumeIntegralInRange(0, 15) != 0) registry.AddKey(base);
    for (int count = input.ConsumeIntegralInRange(0, 12); count > 0 && input.remaining_bytes() > 0; --count) {
        std::string name = input.ConsumeRandomLengthString(300);
        for (char& c : name) c = c == '\0' || c == '\\' ? '_' : c;  // what a key name cannot hold
        const std::string key = base + "\\" + name;
        registry.AddKey(key);
        if (input.ConsumeIntegralInRange(0, 15) == 0) registry.denied.insert(key);
        if (input.ConsumeIntegralInRange(0, 15) == 0) continue;  // no JavaHome at all
        const std::uint32_t type = input.ConsumeIntegralInRange<std::uint32_t>(0, 12);
        const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, input.ConsumeBool() ? 64 : 5000);
        std::vector<std::uint8_t> data = input.ConsumeBytes<std::uint8_t>(length);
        data.resize(length, input.ConsumeIntegral<std::uint8_t>());
        registry.SetValue(key, "JavaHome", type, data);
        registry.values[{key, "JavaHome"}].growth = input.ConsumeIntegralInRange<std::size_t>(0, 2048);
        registry.values[{key, "JavaHome"}].growths = input.ConsumeIntegralInRange(0, 5);
    }
    if (input.ConsumeIntegralInRange(0, 7) == 0) {
        registry.failEnumeration[base] = {input.ConsumeIntegralInRange<std::uint32_t>(0, 13),
                                          input.ConsumeIntegral<registry::Status>() | 1};
    }
    if (input.ConsumeIntegralInRange(0, 15) == 0) registry.denied.insert(base);

    RecordingUi ui;
    bool ended = false;
    try {
        LocateJavaHome(registry, ui);
    } catch (const ProcessEnded&) {
        ended = true;
    }
    const std::vector<std::wstring>& boxes = ui.boxes;
    const bool oneOutcome = ended ? boxes.size() == 1 && (boxes[0] == messages::kJavaNotInstalled ||
                                                           boxes[0] == messages::kNoSuitableJava)
                                  : boxes.empty() || (boxes.size() == 2 && boxes[1] == messages::kSearchFailed &&
                                                      JavaHomePath.empty());
    if (!registry.open.empty() || registry.rootCloses + registry.strayCloses != 0 || !oneOutcome) std::abort();
    return 0;
}
