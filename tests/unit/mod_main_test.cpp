#include "mod_main.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app_error.h"
#include "fake_registry.h"
#include "recording_ui.h"

namespace {

using Boxes = std::vector<std::wstring>;

const std::string kBase = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
const std::wstring kNotInstalled =
    L"You have not Installed Java Runtime Environment on your computer.\r\n"
    L"Download and install Java Runtime Environment Version 1.4 or higher version.\r\n"
    L"Please refer installtion guide of Tessaly Handset Gateway for further help";
const std::wstring kNotAvailable = L"Java Runtime Environment version 1.4 or higher version is not avaiable";
const std::wstring kSearchFailed = L"Error While Searching JVM on Your Machine";

class LocateJavaHomeTest : public ::testing::Test {
protected:
    void SetUp() override { JavaHomePath = L"stale from an earlier call"; }
    void TearDown() override {
        EXPECT_EQ(fake.OpenHandles(), 0);
        EXPECT_EQ(fake.RootCloses(), 0);
        EXPECT_EQ(fake.StrayCloses(), 0);
    }

    // Adds version keys in enumeration order, each with JavaHome C:\jre<name>.
    void AddVersions(const std::vector<std::string>& names) {
        for (const std::string& name : names) fake.SetString(kBase + "\\" + name, "JavaHome", "C:\\jre" + name);
    }

    // True when the locator returned; false when it ended the process.
    bool Locate() {
        try {
            LocateJavaHome(fake, ui);
            return true;
        } catch (const ProcessEnded&) {
            return false;
        }
    }

    FakeRegistry fake;
    RecordingUi ui;
};

TEST_F(LocateJavaHomeTest, FirstVersionInEnumerationOrderWhoseFirstThreeCharactersReach14Wins) {
    const std::pair<std::vector<std::string>, std::wstring> cases[] = {
        {{"1.3.1", "1.4.2_03", "1.5.0"}, L"C:\\jre1.4.2_03"},
        {{"1.3", "1.4", "1.4.2_03", "1.5.0_06"}, L"C:\\jre1.4"},  // not the newest
        {{"1.10", "1", "10"}, L"C:\\jre10"},                       // 1.10 reads 1.1
        {{"1.3.1_20", "9"}, L"C:\\jre9"},
        {{"1.4", "abc"}, L"C:\\jre1.4"},  // names after the choice are never read
        {{"1.5 "}, L"C:\\jre1.5 "},      // the key is opened by its name as listed
    };
    for (const auto& [names, expected] : cases) {
        fake = FakeRegistry();
        AddVersions(names);
        EXPECT_TRUE(Locate());
        EXPECT_EQ(JavaHomePath, expected);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LocateJavaHomeTest, WithoutJavaRuntimeKeyTellsUserToInstallAndEnds) {
    EXPECT_FALSE(Locate());
    fake.DenyAccess(kBase);
    EXPECT_FALSE(Locate());
    EXPECT_EQ(ui.boxes, (Boxes{kNotInstalled, kNotInstalled}));
    EXPECT_EQ(JavaHomePath, L"");
}

TEST_F(LocateJavaHomeTest, WithoutQualifyingVersionSaysNotAvailableAndEnds) {
    fake.AddKey(kBase);
    EXPECT_FALSE(Locate());
    AddVersions({"1.3", "1.3.1_20", "1"});
    EXPECT_FALSE(Locate());
    // A listing that fails at once finds nothing either.
    AddVersions({"1.4"});
    fake.FailEnumerationAt(kBase, 0, 5);
    EXPECT_FALSE(Locate());
    EXPECT_EQ(ui.boxes, (Boxes{kNotAvailable, kNotAvailable, kNotAvailable}));
}

TEST_F(LocateJavaHomeTest, ErrorsAreShownThenSearchGivesUpWithEmptyPath) {
    AddVersions({"1.3", "abc", "1.4"});
    EXPECT_TRUE(Locate());
    EXPECT_EQ(ui.boxes, (Boxes{L"Type mismatch", kSearchFailed}));
    EXPECT_EQ(JavaHomePath, L"");

    fake = FakeRegistry();
    fake.AddKey(kBase + "\\1.4");
    JavaHomePath = L"stale";
    ui.boxes.clear();
    EXPECT_TRUE(Locate());
    EXPECT_EQ(ui.boxes, (Boxes{L"Unsupported value type", kSearchFailed}));
    EXPECT_EQ(JavaHomePath, L"");
}

TEST_F(LocateJavaHomeTest, EmptyOrUnreadableHomeFallsBackSilently) {
    AddVersions({"1.4"});
    fake.SetString(kBase + "\\1.4", "JavaHome", "");
    EXPECT_TRUE(Locate());
    EXPECT_EQ(JavaHomePath, L"");

    fake.DenyAccess(kBase + "\\1.4");
    JavaHomePath = L"stale";
    EXPECT_TRUE(Locate());
    EXPECT_EQ(JavaHomePath, L"");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LocateJavaHomeTest, HomeIsStoredExactlyAsTheRegistryGivesIt) {
    const std::string version = kBase + "\\1.4";
    const auto locate = [&] {
        EXPECT_TRUE(Locate());
        return JavaHomePath;
    };
    fake.SetString(version, "JavaHome", "C:\\Java\\");
    EXPECT_EQ(locate(), L"C:\\Java\\");
    fake.SetString(version, "JavaHome", "   ");
    EXPECT_EQ(locate(), L"   ");
    fake.SetValue(version, "JavaHome", registry::kExpandString, {'%', 'J', '%', 0});
    EXPECT_EQ(locate(), L"%J%");
    fake.SetValue(version, "JavaHome", registry::kDword, {42, 0, 0, 0});
    EXPECT_EQ(locate(), L"42");
    fake.SetValue(version, "JavaHome", registry::kBinary, {'C', ':', '\\', 'j', 0, 'x'});
    EXPECT_EQ(locate(), L"C:\\j");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(ReadVersionNumber, ReadsPlainDecimalsWhateverTheRegionalSettings) {
    EXPECT_EQ(ReadVersionNumber(L"1.4.2_03"), 1.4);  // exactly the threshold
    EXPECT_EQ(ReadVersionNumber(L"1.10"), 1.1);
    EXPECT_EQ(ReadVersionNumber(L"10"), 10.0);
    EXPECT_EQ(ReadVersionNumber(L" 1."), 1.0);
    EXPECT_EQ(ReadVersionNumber(L"1. "), 1.0);
    EXPECT_EQ(ReadVersionNumber(L"+1."), 1.0);
    EXPECT_EQ(ReadVersionNumber(L"-1."), -1.0);
    EXPECT_EQ(ReadVersionNumber(L".5"), 0.5);
    for (const wchar_t* text : {L"1,4", L"abc", L"", L"   ", L"1.x", L"1-4", L"+", L".", L"..1", L"1e1", L"+-1",
                                L"\uFF11.4", L"1 4"}) {
        try {
            ReadVersionNumber(text);
            ADD_FAILURE() << "read as a number";
        } catch (const AppError& error) {
            EXPECT_EQ(error.number, 13);
            EXPECT_EQ(error.description, L"Type mismatch");
        }
    }
}

}  // namespace
