// The launch under Wine: which Java is started, how, and what the user is told.

#include "harness.h"

namespace wine_test {
namespace {

const std::string kSearchFailed = "Error While Searching JVM on Your Machine";

TEST_F(LauncherUnderWine, StartsFirstQualifyingJavaHiddenInTheProgramFolder) {
    const std::string home = InstallJava(root / "Program Files" / "Java" / "j2re1.4.2_19");
    const std::string newer = InstallJava(root / "jre1.5.0");
    for (const auto& [version, folder] : {std::pair{"1.3.1", newer}, {"1.4.2_19", home}, {"1.5.0", newer}}) {
        SetJavaHome(version, folder);
    }
    const fs::path exe = InstallLauncher(root / "Sms Launcher");
    const std::string folder = WindowsPath(root / "Sms Launcher");

    const Report report = Launch(WindowsPath(exe));
    ExpectBoxes(report, {});
    EXPECT_EQ(report.exitCode, 0);
    const std::vector<Child> children = Children(1);
    ASSERT_EQ(children.size(), 1u);
    const std::string program = home + "\\bin\\java.exe";
    EXPECT_EQ(children[0].argv, JavaArguments(program, folder));
    EXPECT_EQ(children[0].cmdline,
              "\"" + program + "\" -classpath " + QuotedClassPath(folder) + " pdu_next.Frame11 autostart");
    EXPECT_EQ(children[0].cwd, folder);
    EXPECT_EQ(children[0].show, "0");
}

TEST_F(LauncherUnderWine, EndsWithAMessageWhenNoSuitableJavaIsRegistered) {
    const std::string exe = WindowsPath(InstallLauncher(root / "app"));
    Report report = Launch(exe);
    ExpectBoxes(report, {"You have not Installed Java Runtime Environment on your computer.\\r\\n"
                         "Download and install Java Runtime Environment Version 1.4 or higher version.\\r\\n"
                         "Please refer installtion guide of Tessaly Handset Gateway for further help"});
    EXPECT_EQ(report.exitCode, 1);

    SetJavaHome("1.3", InstallJava(root / "jre1.3"));
    AddVersion("1.3.1_20");
    AddVersion("1.10");
    report = Launch(exe);
    ExpectBoxes(report, {"Java Runtime Environment version 1.4 or higher version is not avaiable"});
    EXPECT_EQ(report.exitCode, 1);
    EXPECT_TRUE(Children().empty());
}

TEST_F(LauncherUnderWine, SearchErrorsAreShownThenJavaComesFromTheSearchPath) {
    const std::string searchPath = "WINEPATH=" + ShellQuoted(InstallJava(root / "on path") + "\\bin");
    const fs::path exe = InstallLauncher(root / "app");
    const std::string folder = WindowsPath(root / "app");
    // Wine lists subkeys by name: "1,4" comes before "1.5" and is no number.
    AddVersion("1,4");
    SetJavaHome("1.5", InstallJava(root / "jre1.5"));
    Report report = Launch(WindowsPath(exe), searchPath);
    ExpectBoxes(report, {"Type mismatch", kSearchFailed});

    Wine({"reg", "delete", kJre + "\\1,4", "/f"});
    Wine({"reg", "delete", kJre + "\\1.5", "/v", "JavaHome", "/f"});
    report = Launch(WindowsPath(exe), searchPath);
    ExpectBoxes(report, {"Unsupported value type", kSearchFailed});

    // An empty home falls back without a word.
    SetJavaHome("1.5", "");
    report = Launch(WindowsPath(exe), searchPath);
    ExpectBoxes(report, {});

    const std::vector<Child> children = Children(3);
    ASSERT_EQ(children.size(), 3u);
    for (const Child& child : children) {
        EXPECT_EQ(child.argv, JavaArguments("java", folder));
        EXPECT_EQ(child.cmdline.rfind("java -classpath \"", 0), 0u) << child.cmdline;
        EXPECT_EQ(child.cwd, folder);
    }
}

TEST_F(LauncherUnderWine, MissingJavaExeFailsWithOneBoxAndNoChild) {
    fs::create_directories(root / "empty jre");
    SetJavaHome("1.6.0", WindowsPath(root / "empty jre"));
    const Report report = Launch(WindowsPath(InstallLauncher(root / "app")));
    ASSERT_EQ(report.boxes.size(), 1u);
    EXPECT_EQ(report.boxes[0].look, "Tessaly Web Gateway|buttons=1|icon=0");
    // The system's own wording of error 2 differs between Windows and Wine.
    EXPECT_EQ(report.boxes[0].text.rfind("The Java application could not be started.\\r\\n\\r\\nError 2: ", 0), 0u)
        << report.boxes[0].text;
    EXPECT_GT(report.boxes[0].text.size(), std::string("...Error 2: ").size() + 45);
    EXPECT_EQ(report.exitCode, 2);
    EXPECT_TRUE(Children().empty());
}

TEST_F(LauncherUnderWine, FoldersEndingInABackslashAreTakenAsTheyAre) {
    const fs::path drive = fs::path(std::getenv("WINEPREFIX")) / "dosdevices" / "r:";
    fs::remove(drive);
    fs::create_directory_symlink(root / "drive", drive);
    const std::string home = InstallJava(root / "jre") + "\\";
    SetJavaHome("1.4", home);
    InstallLauncher(root / "drive");
    const Report report = Launch("R:\\TessalyPushGateway.exe");
    fs::remove(drive);
    ExpectBoxes(report, {});
    const std::vector<Child> children = Children(1);
    ASSERT_EQ(children.size(), 1u);
    // A drive root keeps its backslash, so two stand in a row.
    EXPECT_EQ(children[0].argv, JavaArguments(home + "\\bin\\java.exe", "R:\\"));
    EXPECT_EQ(children[0].cwd, "R:\\");
}

TEST_F(LauncherUnderWine, FoldersOutsideTheAnsiCodePageAndGermanSettingsWork) {
    // Regional settings where the point groups digits and the comma is decimal.
    const auto numberFormat = [&](const char* decimal, const char* grouping) {
        for (const auto& [name, value] : {std::pair{"sDecimal", decimal}, {"sMonDecimalSep", decimal},
                                          {"sThousand", grouping}, {"sMonThousandSep", grouping}}) {
            Wine({"reg", "add", "HKCU\\Control Panel\\International", "/v", name, "/d", value, "/f"});
        }
    };
    SetJavaHome("1.3", InstallJava(root / "jre1.3"));
    SetJavaHome("1.5", InstallJava(root / "jre1.5"));
    const std::string folder = WindowsPath(root / "Программы" / "Шлюз");
    numberFormat(",", ".");
    // There "1.3" must still read 1.3, not 13.
    const Report report = Launch(WindowsPath(InstallLauncher(root / "Программы" / "Шлюз")));
    numberFormat(".", ",");
    ExpectBoxes(report, {});
    const std::vector<Child> children = Children(1);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0].argv, JavaArguments(WindowsPath(root / "jre1.5") + "\\bin\\java.exe", folder));
    EXPECT_EQ(children[0].cwd, folder);
}

TEST_F(LauncherUnderWine, DllsPlantedBesideTheLauncherAreNotLoaded) {
    SetJavaHome("1.4", InstallJava(root / "jre"));
    const fs::path exe = InstallLauncher(root / "Downloads");
    // The theme DLL is one that Windows loads by name once the program runs.
    // Wine prefers its own copy unless told otherwise, as Windows would not.
    fs::copy_file(gBuild / "planted.dll", root / "Downloads" / "uxtheme.dll");
    const Report report = Launch(WindowsPath(exe), "WINEDLLOVERRIDES='mscoree,mshtml=;uxtheme=n,b'");
    ExpectBoxes(report, {});
    // A planted load would be recorded before the launcher starts Java.
    const std::vector<Child> children = Children(1);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0].argv.at(0), WindowsPath(root / "jre") + "\\bin\\java.exe");
}

}  // namespace
}  // namespace wine_test
