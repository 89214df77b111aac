#include <gtest/gtest.h>

#include <functional>

#include "messages.h"
#include "mod_main.h"
#include "stand_ins.h"

namespace {

using Boxes = std::vector<std::wstring>;
const std::string kBase = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
const std::wstring kM1(messages::kJavaNotInstalled), kM2(messages::kNoSuitableJava), kE2(messages::kSearchFailed);

// Version keys in enumeration order, each with the JavaHome C:\jre<name>.
void Versions(FakeRegistry& fake, const std::vector<std::string>& names) {
    fake.AddKey(kBase);
    for (const std::string& name : names) fake.SetString(kBase + "\\" + name, "JavaHome", "C:\\jre" + name);
}

// A 1.4 key whose JavaHome is of this type and holds these bytes.
std::function<void(FakeRegistry&)> Home14(std::uint32_t type, std::vector<std::uint8_t> data) {
    return [=](FakeRegistry& fake) { fake.SetValue(kBase + "\\1.4", "JavaHome", type, data); };
}

TEST(LocateJavaHome, TakesTheFirstQualifyingVersionOrTellsTheUserWhatIsWrong) {
    const struct {
        std::function<void(FakeRegistry&)> setUp;
        Boxes boxes;
        bool ended;  // the process ended after the boxes
        std::wstring javaHome;
    } rows[] = {
        {[](auto& f) { Versions(f, {"1.3.1", "1.4.2_03", "1.5.0"}); }, {}, false, L"C:\\jre1.4.2_03"},
        {[](auto& f) { Versions(f, {"1.3", "1.4", "1.4.2_03", "1.5.0_06"}); }, {}, false, L"C:\\jre1.4"},
        {[](auto& f) { Versions(f, {"1.10", "1", "10"}); }, {}, false, L"C:\\jre10"},  // 1.10 reads 1.1
        {[](auto& f) { Versions(f, {"1.3.1_20", "9"}); }, {}, false, L"C:\\jre9"},
        {[](auto& f) { Versions(f, {"1.4", "abc"}); }, {}, false, L"C:\\jre1.4"},  // later names are not read
        {[](auto& f) { Versions(f, {"1.5 ", "1.6_\xE9"}); }, {}, false, L"C:\\jre1.5 "},
        {[](auto& f) { Versions(f, {"1.3", "1.6_\xE9"}); }, {}, false, L"C:\\jre1.6_\u00E9"},
        {[](auto&) {}, {kM1}, true, L""},
        {[](auto& f) { Versions(f, {"1.4"}); f.denied.insert(kBase); }, {kM1}, true, L""},
        {[](auto& f) { Versions(f, {}); }, {kM2}, true, L""},
        {[](auto& f) { Versions(f, {"1.3", "1.3.1_20", "1"}); }, {kM2}, true, L""},
        {[](auto& f) { Versions(f, {"1.4"}); f.failEnumeration[kBase] = {0, 5}; }, {kM2}, true, L""},
        {[](auto& f) { Versions(f, {"1.3", "abc", "1.4"}); }, {L"Type mismatch", kE2}, false, L""},
        {[](auto& f) { Versions(f, {"1,4"}); }, {L"Type mismatch", kE2}, false, L""},
        {[](auto& f) { f.AddKey(kBase + "\\1.4"); }, {L"Unsupported value type", kE2}, false, L""},
        {Home14(registry::kString, {0}), {}, false, L""},
        {[](auto& f) { Versions(f, {"1.4"}); f.denied.insert(kBase + "\\1.4"); }, {}, false, L""},
        {Home14(registry::kString, {'C', ':', '\\', 'J', '\\', 0}), {}, false, L"C:\\J\\"},
        {Home14(registry::kString, {' ', ' ', 0}), {}, false, L"  "},
        {Home14(registry::kExpandString, {'%', 'J', '%', 0}), {}, false, L"%J%"},
        {Home14(registry::kDword, {42, 0, 0, 0}), {}, false, L"42"},
        {Home14(registry::kBinary, {'C', ':', 0, 'x'}), {}, false, L"C:"},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        FakeRegistry fake;
        RecordingUi ui;
        rows[i].setUp(fake);
        JavaHomePath = L"stale, from an earlier call";
        bool ended = false;
        try {
            LocateJavaHome(fake, ui);
        } catch (const ProcessEnded&) {
            ended = true;
        }
        EXPECT_EQ(ui.boxes, rows[i].boxes) << "row " << i;
        EXPECT_EQ(ended, rows[i].ended) << "row " << i;
        EXPECT_EQ(JavaHomePath, rows[i].javaHome) << "row " << i;
        EXPECT_TRUE(fake.open.empty()) << "row " << i;
    }
}

TEST(ReadVersionNumber, ReadsPlainDecimalsWhateverTheRegionalSettings) {
    const std::pair<const wchar_t*, double> numbers[] = {{L"1.4.2_03", 1.4}, {L"1.10", 1.1}, {L"10", 10},
                                                         {L" 1.", 1},        {L"+1.", 1},     {L"-1.", -1},
                                                         {L".5", 0.5}};
    for (const auto& [text, number] : numbers) EXPECT_EQ(ReadVersionNumber(text), number) << text;
    for (const wchar_t* text : {L"1,4", L"abc", L"", L"   ", L"1.x", L"+", L".", L"..1", L"1e1", L"\uFF11.4"}) {
        EXPECT_EQ(ErrorOf([&] { ReadVersionNumber(text); }), L"13 Type mismatch") << text;
    }
}

}  // namespace
