#include "check_report.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "command_line.h"
#include "stand_ins.h"

namespace {

const std::string kBase = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
const std::wstring kFolder = L"C:\\Gateway";

class FakeMachine final : public check::Machine {
public:
    FakeMachine() {
        present.insert(L"C:\\jre\\bin\\java.exe");
        for (const std::wstring_view entry : launch::kClassPath) present.insert(kFolder + std::wstring(entry));
    }
    bool Exists(const std::wstring& path) const override { return present.count(path) > 0; }
    std::wstring FindJava(const std::wstring&) const override { return L""; }
    std::vector<check::Runtime> UnsearchedRuntimes() const override { return unsearched; }
    std::set<std::wstring> present;
    std::vector<check::Runtime> unsearched;
};

TEST(CheckReport, OkOnlyWhenTheLaunchWouldStartJavaWithEveryFile) {
    using SetUp = std::function<void(FakeRegistry&, FakeMachine&)>;
    const SetUp java14 = [](FakeRegistry& r, FakeMachine&) { r.SetString(kBase + "\\1.4.2", "JavaHome", "C:\\jre"); };
    const std::pair<SetUp, std::wstring> rows[] = {
        {java14, L"OK - the launcher would start Java 1.4.2 from C:\\jre\\bin\\java.exe, and every file is in place."},
        {[](auto&, auto&) {}, L"PROBLEM - no Java Runtime Environment is registered where the launcher looks."},
        {[](auto&, auto& m) { m.unsearched.push_back({L"HKLM\\x (32-bit view)", L"C:\\j"}); },
         L"PROBLEM - no Java Runtime Environment is registered where the launcher looks; Java is registered "
         L"elsewhere (listed above), which it does not search."},
        {[](auto& r, auto&) { r.AddKey(kBase + "\\1.3.1"); },
         L"PROBLEM - no Java of version 1.4 or higher is registered where the launcher looks."},
        {[](auto& r, auto&) { r.SetString(kBase + "\\1.4.2", "JavaHome", ""); },
         L"PROBLEM - the chosen version's JavaHome is empty or unreadable, so the launcher would fall back to plain "
         L"\"java\" (not found)."},
        {[](auto& r, auto&) { r.AddKey(kBase + "\\1.4.2"); },
         L"PROBLEM - the search fails with \"Unsupported value type\", so the launcher would fall back to plain "
         L"\"java\" (not found)."},
        {[&](auto& r, auto& m) { java14(r, m); m.present.erase(L"C:\\jre\\bin\\java.exe"); },
         L"PROBLEM - C:\\jre\\bin\\java.exe does not exist, so the launch would fail: the registry names a removed "
         L"runtime."},
        {[&](auto& r, auto& m) { java14(r, m); m.present.erase(kFolder + L"\\DarAvizAru\\lib\\jdc.jar"); },
         L"PROBLEM - 1 file(s) of the application are missing, first C:\\Gateway\\DarAvizAru\\lib\\jdc.jar."},
    };
    for (const auto& [setUp, verdict] : rows) {
        FakeRegistry registry;
        FakeMachine machine;
        setUp(registry, machine);
        const check::Result result = check::Check(registry, machine, kFolder, L"64-bit");
        EXPECT_EQ(result.report.substr(result.report.find(L"Verdict: ")), L"Verdict: " + verdict + L"\r\n");
        EXPECT_EQ(result.exitCode, verdict[0] == L'O' ? 0 : 1) << verdict;
        EXPECT_TRUE(registry.open.empty());
    }
}

}  // namespace
