#include "check_report.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "command_line.h"
#include "stand_ins.h"

namespace {

const std::string kBase = "SOFTWARE\\JavaSoft\\Java Runtime Environment\\", kVersion = kBase + "1.4.2";
const std::wstring kFolder = L"C:\\Gateway", kJava = L"C:\\jre\\bin\\java.exe";

struct FakeMachine final : check::Machine {
    bool Exists(const std::wstring& path) const override { return present.count(path) > 0; }
    std::wstring FindJava(const std::wstring&) const override { return L""; }
    std::set<std::wstring> present{kJava};
};

TEST(CheckReport, OkOnlyWhenTheLaunchWouldStartJavaWithEveryFile) {
    using Stage = std::function<void(FakeRegistry&, FakeMachine&)>;
    const std::pair<Stage, std::wstring> rows[] = {
        {[](FakeRegistry&, FakeMachine&) {}, L"OK - the launcher would start Java 1.4.2 (64-bit view) from " + kJava},
        {[](FakeRegistry& r, FakeMachine&) { r = {}; }, L"PROBLEM - no Java Runtime Environment is registered where "},
        {[](FakeRegistry& r, FakeMachine&) { r = {}; r.AddKey(kBase + "1.3.1"); }, L"no Java of version 1.4 "},
        {[](FakeRegistry& r, FakeMachine&) { r = {}; r.AddKey("32:SOFTWARE\\JavaSoft\\JDK\\1.8"); },
         L"PROBLEM - no Java Runtime Environment is registered where the launcher looks; Java is registered elsewhere"},
        {[](FakeRegistry& r, FakeMachine&) { r = {}, r.SetString("32:" + kVersion, "JavaHome", "C:\\jre"); },
         L"OK - the launcher would start Java 1.4.2 (32-bit view) from " + kJava},
        {[](FakeRegistry& r, FakeMachine&) { r.SetString(kVersion, "JavaHome", ""); }, L"JavaHome is empty or "},
        {[](FakeRegistry& r, FakeMachine&) { r.values.clear(); }, L"the search fails with \"Unsupported value type\""},
        {[](FakeRegistry&, FakeMachine& m) { m.present.erase(kJava); }, kJava + L" does not exist, so the launch "},
        {[](FakeRegistry&, FakeMachine& m) { m.present.erase(kFolder + L"\\DarAvizAru\\lib\\jdc.jar"); },
         L"PROBLEM - 1 file(s) of the application are missing, first C:\\Gateway\\DarAvizAru\\lib\\jdc.jar."},
    };
    for (const auto& [stage, verdict] : rows) {
        FakeRegistry registry;
        FakeMachine machine;
        registry.SetString(kVersion, "JavaHome", "C:\\jre");
        for (const std::wstring_view entry : launch::kClassPath) machine.present.insert(kFolder + std::wstring(entry));
        stage(registry, machine);
        const check::Result result = check::Check(registry, machine, kFolder, L"64-bit", registry::kView32);
        const std::wstring line = result.report.substr(result.report.find(L"\r\nVerdict: ") + 2);
        EXPECT_TRUE(line.find(verdict) != std::wstring::npos && result.exitCode == (verdict[0] == L'O' ? 0 : 1)) << line;
    }
}

}  // namespace
