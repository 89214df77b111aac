// The registry module and the runtime search, against the in-memory registry.
#include <gtest/gtest.h>

#include <functional>

#include "messages.h"
#include "mod_main.h"
#include "stand_ins.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Stage = std::function<void(FakeRegistry&)>;
const std::string kBase = "SOFTWARE\\JavaSoft\\Java Runtime Environment";

// Version keys in enumeration order, in the own registry view or "32:", each with JavaHome C:\<view>jre<name>.
Stage Versions(const std::vector<std::string>& names, Stage more = [](FakeRegistry&) {}, const std::string& view = "") {
    return [=](FakeRegistry& fake) {
        fake.AddKey(view + kBase);
        for (const std::string& name : names)
            fake.SetString(view + kBase + "\\" + name, "JavaHome", "C:\\" + view + "jre" + name);
        more(fake);
    };
}
Stage Other(const std::vector<std::string>& names) { return Versions(names, [](FakeRegistry&) {}, "32:"); }
// The one version 1.4, whose JavaHome is of this type and holds these bytes, and grows as told.
Stage Home(std::uint32_t type, Bytes data, std::size_t growth = 0, int growths = 0) {
    return [=](FakeRegistry& fake) { fake.SetValue(kBase + "\\1.4", "JavaHome", type, data, growth, growths); };
}

TEST(LocateJavaHome, TakesTheFirstQualifyingVersionOrTellsTheUserWhatIsWrong) {
    const std::wstring m1(messages::kJavaNotInstalled), m2(messages::kNoSuitableJava), e2(messages::kSearchFailed);
    const std::wstring unsupported = L"Unsupported value type", x1025(1025, 'x');
    // The registry; the boxes shown; the JavaHomePath left, or "ended" when the process ended after the boxes.
    const std::tuple<Stage, std::vector<std::wstring>, std::wstring> rows[] = {
        {Versions({"1.3.1", "1.4.2_03", "1.5.0"}), {}, L"C:\\jre1.4.2_03"},
        {Versions({"1.5", "1.3", "1.4"}, [](FakeRegistry& f) { f.AddKey(kBase + "\\1.3\\9"); }), {}, L"C:\\jre1.5"},
        {Versions({"1.10", "1", "10", "abc"}), {}, L"C:\\jre10"},  // 1.10 reads 1.1; later names are not read
        {Versions({"1.3.1_20", "9 ", "1.6_\xE9"}), {}, L"C:\\jre9 "},
        {[](FakeRegistry&) {}, {m1}, L"ended"},
        {Versions({"1.4"}, [](FakeRegistry& f) { f.denied.insert(kBase); }), {m1}, L"ended"},
        {Versions({}), {m2}, L"ended"},
        {Versions({"1.3", "1.3.1_20", "1"}), {m2}, L"ended"},
        {Versions({"1.3", "1.4"}, [](FakeRegistry& f) { f.failEnumeration[kBase] = {1, 1011}; }), {m2}, L"ended"},
        {Versions({"1.4"}, [](FakeRegistry& f) { f.failEnumeration[kBase] = {0, 5}; }), {m2}, L"ended"},
        {Versions({"1.3", "1,4", "1.4"}), {L"Type mismatch", e2}, L""},
        {Versions({"-1.", " .", "1e1"}), {L"Type mismatch", e2}, L""},
        {[](FakeRegistry& f) { f.AddKey(kBase + "\\1.4"); }, {unsupported, e2}, L""},
        {Versions({"1.4"}, [](FakeRegistry& f) { f.denied.insert(kBase + "\\1.4"); }), {}, L""},
        {Versions({"1.4"}, [](FakeRegistry& f) { f.thrower = kBase + "\\1.4"; }), {L"Internal error", e2}, L""},
        // The 32-bit view, after the own one has nothing to start
        {Other({"1.3", "1.5", "1.4"}), {}, L"C:\\32:jre1.5"},
        {Versions({"1.3"}, Other({"1.4"})), {}, L"C:\\32:jre1.4"},
        {Other({}), {m2}, L"ended"},
        {Versions({"1,4"}, Other({"1.4"})), {L"Type mismatch", e2}, L""},
        {Other({"x"}), {L"Type mismatch", e2}, L""},
        {Home(registry::kString, {0}), {}, L""},
        {Home(registry::kString, {}), {}, L""},
        {Home(registry::kString, {'C', ':', '\\', 0}), {}, L"C:\\"},
        {Home(registry::kString, {' ', 0xE9, 0, 'b', 0, 0}), {}, L" \xE9"},  // a folder ends at its first NUL
        {Home(registry::kString, {'C', ':', 'x'}), {}, L"C:x"},                // written without its NUL
        {Home(registry::kString, Bytes(1025, 'x')), {}, x1025},  // more than the first buffer holds
        {Home(registry::kString, Bytes(2000, 'x'), 10, 1), {}, std::wstring(10, 'g') + std::wstring(2000, 'x')},
        {Home(registry::kString, Bytes(2000, 'x'), 5000, 9), {unsupported, e2}, L""},  // it keeps growing
        {Home(registry::kExpandString, {'%', 'J', '%', 0}), {}, L"%J%"},
        {Home(registry::kMultiString, {'a', 0, 'b', 0, 0}), {}, L"a"},
        {Home(registry::kMultiString, {0}), {}, L""},
        {Home(registry::kDword, {0xFF, 0xFF, 0xFF, 0xFF}), {}, L"-1"},
        {Home(registry::kDword, {1, 2}), {}, L"513"},
        {Home(registry::kBinary, {'C', ':', 0, 'x'}), {}, L"C:"},
        {Home(registry::kNone, {'C', 0}), {unsupported, e2}, L""},
        {Home(registry::kQword, {'C', 0, 0, 0, 0, 0, 0, 0}), {unsupported, e2}, L""},
    };
    for (const auto& [stage, boxes, javaHome] : rows) {
        FakeRegistry fake;
        RecordingUi ui;
        stage(fake);
        JavaHomePath = L"stale, from an earlier call";
        try {
            LocateJavaHome(fake, ui, registry::kView32);
        } catch (const ProcessEnded&) {
            JavaHomePath = L"ended";
        }
        EXPECT_EQ(std::tie(ui.boxes, JavaHomePath), std::tie(boxes, javaHome));
        EXPECT_TRUE(fake.open.empty() && fake.wrongCloses == 0);
    }
}

}  // namespace
