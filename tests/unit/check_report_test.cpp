#include "check_report.h"

#include <gtest/gtest.h>

#include <set>

#include "fake_registry.h"

namespace {

class FakeMachine final : public check::Machine {
public:
    bool Exists(const std::wstring& path) const override { return present.count(path) > 0; }
    std::wstring FindJava(const std::wstring&) const override { return L""; }
    std::vector<check::Runtime> UnsearchedRuntimes() const override { return {}; }
    std::set<std::wstring> present;
};

const std::string kBase = "SOFTWARE\\JavaSoft\\Java Runtime Environment";

std::wstring VerdictOf(const check::Result& result) {
    return result.report.substr(result.report.find(L"Verdict: "));
}

// The fallbacks the launcher survives without a word still leave the user
// without a known Java: each is a problem, never an OK.
TEST(CheckReport, EveryWayToEndWithoutAChosenJavaIsAProblem) {
    FakeMachine machine;
    FakeRegistry registry;
    registry.AddKey(kBase + "\\1.3.1");
    check::Result result = check::Check(registry, machine, L"C:\\Gateway", L"64-bit");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(VerdictOf(result), L"Verdict: PROBLEM - no Java of version 1.4 or higher is registered where the "
                                 L"launcher looks.\r\n");

    registry.SetString(kBase + "\\1.4.2", "JavaHome", "");
    result = check::Check(registry, machine, L"C:\\Gateway", L"64-bit");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.report.find(L"  JavaHome of 1.4.2: (empty or unreadable)\r\n"), std::wstring::npos);
    EXPECT_EQ(VerdictOf(result), L"Verdict: PROBLEM - the chosen version's JavaHome is empty or unreadable, so the "
                                 L"launcher would fall back to plain \"java\" (not found).\r\n");

    FakeRegistry noValue;
    noValue.AddKey(kBase + "\\1.4.2");
    result = check::Check(noValue, machine, L"C:\\Gateway", L"64-bit");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(VerdictOf(result).find(L"the search fails with \"Unsupported value type\""), std::wstring::npos);
    EXPECT_EQ(noValue.OpenHandles(), 0);
}

}  // namespace
