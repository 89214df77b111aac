// TessalyCheck under Wine against staged registries, in both registry views.

#include <fstream>

#include "harness.h"

namespace wine_test {
namespace {

const char* const kJars[] = {"slf4j-api-1.1.0.jar", "slf4j-log4j12-1.1.0.jar", "daravizaru.jar", "jdc.jar",
                             "log4j-1.2.8.jar"};

struct Checked {
    std::string report;  // CR LF made LF
    int exitCode = -1;

    bool Has(const std::string& text) const { return report.find(text) != std::string::npos; }
};

class CheckUnderWine : public LauncherUnderWine {
protected:
    void SetUp() override {
        LauncherUnderWine::SetUp();
        app = root / "app";
        fs::create_directories(app / "DarAvizAru" / "lib");
        for (const char* jar : kJars) std::ofstream(app / "DarAvizAru" / "lib" / jar);
        fs::copy_file(gBuild / "TessalyCheck.exe", app / "TessalyCheck.exe");
        folder = WindowsPath(app);
    }

    // Runs the check from the launcher's folder, or on the folder given.
    Checked Check(const std::vector<std::string>& args = {}, const std::string& env = "") const {
        std::vector<std::string> command{(app / "TessalyCheck.exe").string()};
        command.insert(command.end(), args.begin(), args.end());
        Checked checked;
        for (const char c : Output(WineCommand(command, env) + "; echo \"exit $?\"")) {
            if (c != '\r') checked.report += c;
        }
        const std::size_t last = checked.report.rfind("exit ");
        checked.exitCode = std::stoi(checked.report.substr(last + 5));
        checked.report.erase(last);
        return checked;
    }

    fs::path app;
    std::string folder;
};

TEST_F(CheckUnderWine, HealthyInstallationIsOkAndShowsTheExactLaunch) {
    SetJavaHome("1.3.1", WindowsPath(root / "gone"));
    const std::string home = InstallJava(root / "jre");
    SetJavaHome("1.4.2_19", home);
    AddVersion("1.5.0");

    const Checked checked = Check();
    EXPECT_EQ(checked.exitCode, 0) << checked.report;
    EXPECT_TRUE(checked.Has("Launcher folder: " + folder + "\n"));
    EXPECT_TRUE(checked.Has("  1.3.1     reads \"1.3\" as 1.3        skipped (below 1.4)\n")) << checked.report;
    EXPECT_TRUE(checked.Has("  1.4.2_19  reads \"1.4\" as 1.4        selected\n"));
    EXPECT_TRUE(checked.Has("  1.5.0     reads \"1.5\" as 1.5        not looked at (after the selection)\n"));
    EXPECT_TRUE(checked.Has("  " + home + "\\bin\\java.exe: present\n"));
    EXPECT_TRUE(checked.Has("  Start: \"" + home + "\\bin\\java.exe\" -classpath " + QuotedClassPath(folder) +
                            " pdu_next.Frame11 autostart\n  In the folder: " + folder + "\n"));
    EXPECT_TRUE(checked.Has("  present  " + folder + "\\DarAvizAru\\lib\\jdc.jar\n"));
    EXPECT_TRUE(checked.Has("Verdict: OK - the launcher would start Java 1.4.2_19 from " + home + "\\bin\\java.exe"));
}

TEST_F(CheckUnderWine, RuntimesUnderOtherKeysAndTheOtherViewAreListedAsNotSearched) {
    Wine({"reg", "add", "HKLM\\SOFTWARE\\JavaSoft\\JRE\\17", "/v", "JavaHome", "/d", "C:\\jre-17", "/f"});
    Wine({"reg", "add", kJre + "\\1.6.0_45", "/v", "JavaHome", "/d", "C:\\jre6", "/f", "/reg:32"});

    // Given the folder, written as a user might: with a trailing backslash.
    const Checked checked = Check({folder + "\\"});
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_TRUE(checked.Has("Launcher folder: " + folder + "\n"));
    EXPECT_TRUE(checked.Has("  The key does not exist.\n"));
    EXPECT_TRUE(checked.Has("  Show the message \"You have not Installed Java Runtime Environment on your computer. / "
                            "Download and install"));
    EXPECT_TRUE(checked.Has("  Then stop, without starting Java.\n"));
    EXPECT_TRUE(checked.Has("  HKLM\\SOFTWARE\\JavaSoft\\JRE\\17 (64-bit view), home C:\\jre-17: "
                            "not searched by the launcher\n"));
    EXPECT_TRUE(checked.Has("  HKLM\\SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.6.0_45 (32-bit view), "
                            "home C:\\jre6: not searched by the launcher\n"));
    EXPECT_TRUE(checked.Has("Verdict: PROBLEM - no Java Runtime Environment is registered where the launcher "
                            "looks; Java is registered elsewhere"));
}

TEST_F(CheckUnderWine, StaleKeyAndMissingJarAreProblems) {
    const std::string home = WindowsPath(root / "removed jre");
    SetJavaHome("1.4.2", home);
    Checked checked = Check();
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_TRUE(checked.Has("  " + home + "\\bin\\java.exe: MISSING\n"));
    EXPECT_TRUE(checked.Has("Verdict: PROBLEM - " + home + "\\bin\\java.exe does not exist"));

    InstallJava(root / "removed jre");
    fs::remove(app / "DarAvizAru" / "lib" / "jdc.jar");
    checked = Check();
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_TRUE(checked.Has("  MISSING  " + folder + "\\DarAvizAru\\lib\\jdc.jar\n"));
    EXPECT_TRUE(checked.Has("Verdict: PROBLEM - 1 file(s) of the application are missing, first " + folder +
                            "\\DarAvizAru\\lib\\jdc.jar.\n"));
}

TEST_F(CheckUnderWine, BadVersionNameStopsTheSearchAndPlainJavaIsLookedUp) {
    const std::string onPath = InstallJava(root / "on path") + "\\bin";
    // Wine lists subkeys by name: "1,4" comes first and is no number.
    AddVersion("1,4");
    SetJavaHome("1.5", InstallJava(root / "jre"));
    const Checked checked = Check({}, "WINEPATH=" + ShellQuoted(onPath));
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_TRUE(checked.Has("  1,4  reads \"1,4\" as no number  no number: the search stops here with an error\n"))
        << checked.report;
    EXPECT_TRUE(checked.Has("  1.5  reads \"1.5\" as 1.5        not looked at (after the search stopped)\n"));
    EXPECT_TRUE(checked.Has("  Show the message \"Type mismatch\"\n"
                            "  Show the message \"Error While Searching JVM on Your Machine\"\n"
                            "  Start: java -classpath "));
    EXPECT_TRUE(checked.Has("Plain \"java\" on the search path: " + onPath + "\\java.exe\n"));
    EXPECT_TRUE(checked.Has("Verdict: PROBLEM - the search fails with \"Type mismatch\", so the launcher would "
                            "fall back to plain \"java\" (" + onPath + "\\java.exe)."));
}

}  // namespace
}  // namespace wine_test
