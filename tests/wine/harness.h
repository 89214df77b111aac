#pragma once
// Runs the real launcher under Wine (inside tools/with-wine) through the UI
// probe, against the real Wine registry, with the stand-in java.exe recording
// how and when it was started.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace wine_test {

namespace fs = std::filesystem;

// The Windows build folder and the source tree.
extern fs::path gBuild;
extern fs::path gSource;

inline const std::string kJre = "HKLM\\SOFTWARE\\JavaSoft\\Java Runtime Environment";

// A picture as binary PPM gives it: rows of red, green, blue.
struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    std::array<int, 3> At(int x, int y) const;
};
Image ReadPpm(const std::string& bytes);

struct Box {
    std::string look;  // caption|buttons=N|icon=0 or 1
    std::string text;
};

// What the probe saw of one start of the launcher.
struct Report {
    unsigned long long created = 0;  // process creation, 100 ns units
    bool splashShown = false, splashGone = false;
    std::string window;                 // the splash window's line
    std::vector<std::string> controls;  // its controls' lines, in creation order
    Image screen;                       // the screen while the splash stood still
    std::vector<Box> boxes;
    int exitCode = -1;
};

struct Child {
    unsigned long long started = 0;  // 100 ns units, as Report::created
    std::string cmdline, cwd, show;
    std::vector<std::string> argv;
};

std::string ShellQuoted(const std::string& text);
// How Wine's Z: drive names a Unix path.
std::string WindowsPath(const fs::path& path);
// Runs a shell command; its standard output.
std::string Output(const std::string& command);
// A field of a probe line: "box=1,2,3,4" gives "1,2,3,4" for "box".
std::string Field(const std::string& line, const std::string& name);

// The class path as the launcher writes it, each entry in quotes.
std::string QuotedClassPath(const std::string& folder);
// The arguments java.exe must see for a program path and a program folder.
std::vector<std::string> JavaArguments(const std::string& program, const std::string& folder);

class LauncherUnderWine : public ::testing::Test {
protected:
    void SetUp() override;

    // The shell command that runs a Wine program from the case folder.
    std::string WineCommand(const std::vector<std::string>& args, const std::string& env = "") const;
    // Runs it; its output, or "" on failure.
    std::string Wine(const std::vector<std::string>& args, const std::string& env = "") const;

    void AddVersion(const std::string& name) const;
    // Keys and values in bulk, as a .reg file's text after its REGEDIT4 line.
    void ImportRegistry(const std::string& entries) const;
    void SetJavaHome(const std::string& version, const std::string& home) const;
    // A stand-in runtime under folder\bin; returns folder as Windows names it.
    std::string InstallJava(const fs::path& folder) const;
    fs::path InstallLauncher(const fs::path& folder) const;

    // Starts the exe under the probe (options: --freeze MS, --poke, --close);
    // with --freeze the screen is taken while the splash stands still.
    Report Launch(const std::string& exe, const std::string& env = "",
                  const std::vector<std::string>& options = {}) const;
    // Reads a probe's report; a box while the splash is still up is a failure.
    static Report Read(std::FILE* probe, bool takeScreen);
    // The children started so far, once at least the expected number has
    // written its record (or ten seconds have passed).
    std::vector<Child> Children(std::size_t expected = 0) const;
    std::size_t Records() const;
    // One box per entry: the caption is always the application title, with
    // one OK button and no icon.
    static void ExpectBoxes(const Report& report, const std::vector<std::string>& texts);

    fs::path root;
};

}  // namespace wine_test
