// Runs the real launcher under Wine against a real registry, through the UI
// probe, with the stand-in java.exe recording how it was started.
// Usage: wine_tests WINDOWS-BUILD-DIR  (inside tools/with-wine)

#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path gBuild;
const std::string kJre = "HKLM\\SOFTWARE\\JavaSoft\\Java Runtime Environment";
const std::string kSearchFailed = "Error While Searching JVM on Your Machine";

struct Box {
    std::string look;  // caption|buttons=N|icon=0 or 1
    std::string text;
};

struct Report {
    std::vector<Box> boxes;
    int exitCode = -1;
};

struct Child {
    std::string cmdline, cwd, show;
    std::vector<std::string> argv;
};

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// How Wine's Z: drive names a Unix path.
std::string WindowsPath(const fs::path& path) {
    std::string text = "Z:" + path.string();
    for (char& c : text) c = c == '/' ? '\\' : c;
    return text;
}

// The class path as the launcher writes it, each entry in quotes.
std::string QuotedClassPath(const std::string& folder) {
    std::string joined;
    for (const char* entry : {"\\DarAvizAru\\lib\\slf4j-api-1.1.0.jar", "\\DarAvizAru\\lib\\slf4j-log4j12-1.1.0.jar",
                              "\\DarAvizAru\\lib\\daravizaru.jar", "\\DarAvizAru\\lib\\jdc.jar",
                              "\\DarAvizAru\\lib\\log4j-1.2.8.jar", "\\DarAvizAru"}) {
        joined += (joined.empty() ? "\"" : ";\"") + folder + entry + "\"";
    }
    return joined;
}

// The one argument java.exe gets from it: the quotes go.
std::string ClassPath(const std::string& folder) {
    std::string plain = QuotedClassPath(folder);
    plain.erase(std::remove(plain.begin(), plain.end(), '"'), plain.end());
    return plain;
}

// Runs a shell command; its standard output.
std::string Output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        while (const std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, got);
        pclose(pipe);
    }
    return output;
}

// The arguments java.exe must see for a program path and a program folder.
std::vector<std::string> JavaArguments(const std::string& program, const std::string& folder) {
    return {program, "-classpath", ClassPath(folder), "pdu_next.Frame11", "autostart"};
}

class LauncherUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = fs::path(std::getenv("WINEPREFIX")).parent_path() / "cases" / info->name();
        fs::remove_all(root);
        fs::create_directories(root);
        Wine({"reg", "delete", "HKLM\\SOFTWARE\\JavaSoft", "/f"});
    }

    // Runs a Wine command from the case folder; its output, or "" on failure.
    std::string Wine(const std::vector<std::string>& args, const std::string& env = "") {
        std::string command = "cd " + ShellQuoted(root.string()) + " && env TESSALY_STANDIN_LOG=" +
                              ShellQuoted(WindowsPath(root / "children.log")) + " " + env + " timeout 120 wine";
        for (const std::string& arg : args) command += " " + ShellQuoted(arg);
        return Output(command + " 2>/dev/null");
    }

    void AddVersion(const std::string& name) { Wine({"reg", "add", kJre + "\\" + name, "/f"}); }
    void SetJavaHome(const std::string& version, const std::string& home) {
        Wine({"reg", "add", kJre + "\\" + version, "/v", "JavaHome", "/d", home, "/f"});
    }

    // A stand-in runtime under folder\bin; returns folder as Windows names it.
    std::string InstallJava(const fs::path& folder) {
        fs::create_directories(folder / "bin");
        fs::copy_file(gBuild / "standin_java.exe", folder / "bin" / "java.exe");
        return WindowsPath(folder);
    }

    fs::path InstallLauncher(const fs::path& folder) {
        fs::create_directories(folder);
        fs::copy_file(gBuild / "TessalyPushGateway.exe", folder / "TessalyPushGateway.exe");
        return folder / "TessalyPushGateway.exe";
    }

    Report Launch(const std::string& exe, const std::string& env = "") {
        std::istringstream lines(Wine({(gBuild / "ui_probe.exe").string(), exe, "60000"}, env));
        Report report;
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("box ", 0) == 0) {
                report.boxes.push_back({line.substr(4), ""});
            } else if (line.rfind("text ", 0) == 0 && !report.boxes.empty()) {
                report.boxes.back().text = line.substr(5);
            } else if (line.rfind("exit ", 0) == 0) {
                report.exitCode = std::stoi(line.substr(5));
            } else {
                ADD_FAILURE() << "probe: " << line;
            }
        }
        return report;
    }

    std::vector<Child> Children() {
        std::ifstream log(root / "children.log");
        std::vector<Child> children(1);
        for (std::string line; std::getline(log, line);) {
            const std::string value = line.substr(line.find('=') + 1);
            if (line.rfind("cmdline=", 0) == 0) children.back().cmdline = value;
            if (line.rfind("argv=", 0) == 0) children.back().argv.push_back(value);
            if (line.rfind("cwd=", 0) == 0) children.back().cwd = value;
            if (line.rfind("show=", 0) == 0) children.back().show = value;
            if (line == "end") children.emplace_back();
        }
        children.pop_back();
        return children;
    }

    // One box per entry: the caption is always the application title, with
    // one OK button and no icon.
    void ExpectBoxes(const Report& report, const std::vector<std::string>& texts) {
        ASSERT_EQ(report.boxes.size(), texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(report.boxes[i].look, "Tessaly Web Gateway|buttons=1|icon=0");
            EXPECT_EQ(report.boxes[i].text, texts[i]);
        }
    }

    fs::path root;
};

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
    const std::vector<Child> children = Children();
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

    const std::vector<Child> children = Children();
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
    const std::vector<Child> children = Children();
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
    const std::vector<Child> children = Children();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0].argv, JavaArguments(WindowsPath(root / "jre1.5") + "\\bin\\java.exe", folder));
    EXPECT_EQ(children[0].cwd, folder);
}

TEST(LauncherExe, ImportsOnlyDllsThatWindowsShips) {
    EXPECT_EQ(Output("x86_64-w64-mingw32-objdump -p " + ShellQuoted((gBuild / "TessalyPushGateway.exe").string()) +
                     " | sed -n 's/.*DLL Name: //p'"),
              "ADVAPI32.dll\nKERNEL32.dll\nmsvcrt.dll\nUSER32.dll\n");
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2 || std::getenv("WINEPREFIX") == nullptr) {
        std::fprintf(stderr, "usage: with-wine PREFIX wine_tests WINDOWS-BUILD-DIR\n");
        return 2;
    }
    gBuild = fs::absolute(argv[1]);
    return RUN_ALL_TESTS();
}
