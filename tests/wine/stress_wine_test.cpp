// The launcher at the edges of what a registry and a disk may hold: ten
// thousand versions, a JavaHome of 64 KiB, a Java folder beyond 260 characters.

#include <cstdio>

#include "harness.h"

namespace wine_test {
namespace {

const std::string kVersionKey = "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\Java Runtime Environment\\";
const std::string kLaunchFailed = "The Java application could not be started.\\r\\n\\r\\nError ";

// A JavaHome line of a .reg file.
std::string JavaHomeEntry(const std::string& home) {
    std::string escaped;
    for (const char c : home) escaped += c == '\\' ? "\\\\" : std::string(1, c);
    return "\"JavaHome\"=\"" + escaped + "\"\n";
}

TEST_F(LauncherUnderWine, TenThousandVersionsStartTheOnlyQualifyingOneListedLast) {
    const std::string home = InstallJava(root / "jre");
    std::string entries;
    char name[32];
    for (int i = 1; i < 10000; ++i) {
        std::snprintf(name, sizeof name, "1.3.0_%05d]\n", i);
        entries += kVersionKey + name + JavaHomeEntry("C:\\old");
    }
    // Wine lists keys by name: this one comes last.
    ImportRegistry(entries + kVersionKey + "1.4.2_19]\n" + JavaHomeEntry(home));
    const Report report = Launch(WindowsPath(InstallLauncher(root / "app")));
    ExpectBoxes(report, {});
    EXPECT_EQ(report.exitCode, 0);
    const std::vector<Child> children = Children(1);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0].argv.at(0), home + "\\bin\\java.exe");
}

TEST_F(LauncherUnderWine, JavaHomeOf64KiBIsReadWholeThenTheLaunchFailsWithItsBox) {
    const std::string home = "C:\\" + std::string(64 * 1024 - 3, 'j');
    ImportRegistry(kVersionKey + "1.4]\n" + JavaHomeEntry(home));
    const fs::path exe = InstallLauncher(root / "app");
    const Report report = Launch(WindowsPath(exe));
    ASSERT_EQ(report.boxes.size(), 1u);
    EXPECT_EQ(report.boxes[0].text.rfind(kLaunchFailed, 0), 0u) << report.boxes[0].text;
    EXPECT_EQ(report.exitCode, 2);
    EXPECT_TRUE(Children().empty());
    // The check reads it with the launcher's own code and prints it.
    fs::copy_file(gBuild / "TessalyCheck.exe", root / "app" / "TessalyCheck.exe");
    const std::string checked = Wine({(root / "app" / "TessalyCheck.exe").string()});
    EXPECT_NE(checked.find("JavaHome of 1.4: " + home + "\r\n"), std::string::npos);
}

// Wine cannot start a program from a path beyond 260 characters (error 123,
// with or without \\?\), so the launcher's own folder cannot be that long
// here; the Java it starts can.
TEST_F(LauncherUnderWine, JavaFolderBeyond260CharactersStartsWholeOrFailsWithTheBox) {
    fs::path folder = root;
    for (const char c : std::string("abcdef")) folder /= std::string(50, c);
    const std::string home = InstallJava(folder);
    ASSERT_GT(home.size(), 300u);
    SetJavaHome("1.4", home);
    const Report report = Launch(WindowsPath(InstallLauncher(root / "app")));
    if (report.exitCode == 0) {
        ExpectBoxes(report, {});
        const std::vector<Child> children = Children(1);
        ASSERT_EQ(children.size(), 1u);
        EXPECT_EQ(children[0].argv.at(0), home + "\\bin\\java.exe");
    } else {
        ASSERT_EQ(report.boxes.size(), 1u);
        EXPECT_EQ(report.boxes[0].text.rfind(kLaunchFailed, 0), 0u) << report.boxes[0].text;
        EXPECT_EQ(report.exitCode, 2);
        EXPECT_TRUE(Children().empty());
    }
}

}  // namespace
}  // namespace wine_test
