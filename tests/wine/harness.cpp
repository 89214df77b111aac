#include "harness.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace wine_test {

fs::path gBuild;
fs::path gSource;

std::array<int, 3> Image::At(int x, int y) const {
    const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 3;
    return {rgb.at(at), rgb.at(at + 1), rgb.at(at + 2)};
}

Image ReadPpm(const std::string& bytes) {
    std::istringstream in(bytes);
    std::string magic;
    int maximum = 0;
    Image image;
    in >> magic >> image.width >> image.height >> maximum;
    in.get();
    if (magic != "P6" || maximum != 255 || !in) return {};
    image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
    in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
    return in ? image : Image{};
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string WindowsPath(const fs::path& path) {
    std::string text = "Z:" + path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

std::string Output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        while (const std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, got);
        pclose(pipe);
    }
    return output;
}

std::string Field(const std::string& line, const std::string& name) {
    const std::size_t at = line.find("|" + name + "=");
    if (at == std::string::npos) return "";
    const std::size_t start = at + name.size() + 2;
    // The text comes last and may hold anything.
    if (name == "text") return line.substr(start);
    return line.substr(start, line.find('|', start) - start);
}

std::string QuotedClassPath(const std::string& folder) {
    std::string joined;
    for (const char* entry : {"\\DarAvizAru\\lib\\slf4j-api-1.1.0.jar", "\\DarAvizAru\\lib\\slf4j-log4j12-1.1.0.jar",
                              "\\DarAvizAru\\lib\\daravizaru.jar", "\\DarAvizAru\\lib\\jdc.jar",
                              "\\DarAvizAru\\lib\\log4j-1.2.8.jar", "\\DarAvizAru"}) {
        joined += (joined.empty() ? "\"" : ";\"") + folder + entry + "\"";
    }
    return joined;
}

std::vector<std::string> JavaArguments(const std::string& program, const std::string& folder) {
    // java.exe gets the class path as one argument, its quotes gone.
    std::string classPath = QuotedClassPath(folder);
    classPath.erase(std::remove(classPath.begin(), classPath.end(), '"'), classPath.end());
    return {program, "-classpath", classPath, "pdu_next.Frame11", "autostart"};
}

void LauncherUnderWine::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root = fs::path(std::getenv("WINEPREFIX")).parent_path() / "cases" / info->name();
    fs::remove_all(root);
    fs::create_directories(root);
    Wine({"reg", "delete", "HKLM\\SOFTWARE\\JavaSoft", "/f"});
}

std::string LauncherUnderWine::WineCommand(const std::vector<std::string>& args, const std::string& env) const {
    std::string command = "cd " + ShellQuoted(root.string()) + " && env TESSALY_STANDIN_LOG=" +
                          ShellQuoted(WindowsPath(root / "children.log")) + " " + env + " timeout 120 wine";
    for (const std::string& arg : args) command += " " + ShellQuoted(arg);
    return command + " 2>/dev/null";
}

std::string LauncherUnderWine::Wine(const std::vector<std::string>& args, const std::string& env) const {
    return Output(WineCommand(args, env));
}

void LauncherUnderWine::AddVersion(const std::string& name) const { Wine({"reg", "add", kJre + "\\" + name, "/f"}); }

void LauncherUnderWine::ImportRegistry(const std::string& entries) const {
    std::ofstream(root / "import.reg") << "REGEDIT4\n" << entries;
    Wine({"reg", "import", WindowsPath(root / "import.reg")});
}

void LauncherUnderWine::SetJavaHome(const std::string& version, const std::string& home) const {
    Wine({"reg", "add", kJre + "\\" + version, "/v", "JavaHome", "/d", home, "/f"});
}

std::string LauncherUnderWine::InstallJava(const fs::path& folder) const {
    fs::create_directories(folder / "bin");
    fs::copy_file(gBuild / "standin_java.exe", folder / "bin" / "java.exe");
    return WindowsPath(folder);
}

fs::path LauncherUnderWine::InstallLauncher(const fs::path& folder) const {
    fs::create_directories(folder);
    fs::copy_file(gBuild / "TessalyPushGateway.exe", folder / "TessalyPushGateway.exe");
    return folder / "TessalyPushGateway.exe";
}

Report LauncherUnderWine::Launch(const std::string& exe, const std::string& env,
                                 const std::vector<std::string>& options) const {
    std::vector<std::string> args{(gBuild / "ui_probe.exe").string()};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {exe, "60000"});
    FILE* probe = popen(WineCommand(args, env).c_str(), "r");
    if (!probe) return {};
    const bool freeze = std::find(options.begin(), options.end(), "--freeze") != options.end();
    Report report = Read(probe, freeze);
    pclose(probe);
    return report;
}

Report LauncherUnderWine::Read(std::FILE* probe, bool takeScreen) {
    Report report;
    std::string line;
    for (int c; (c = std::fgetc(probe)) != EOF;) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        const std::string kind = line.substr(0, line.find(' '));
        const std::string rest = line.substr(std::min(line.size(), kind.size() + 1));
        if (kind == "created") {
            report.created = std::stoull(rest);
        } else if (kind == "splash") {
            report.splashShown = true;
        } else if (kind == "window") {
            report.window = rest;
        } else if (kind == "control") {
            report.controls.push_back(rest);
        } else if (kind == "frozen" && takeScreen) {
            report.screen = ReadPpm(Output("import -window root -depth 8 ppm:-"));
        } else if (kind == "gone") {
            report.splashGone = true;
        } else if (kind == "box") {
            EXPECT_TRUE(report.splashGone || !report.splashShown) << "a box while the splash is up: " << rest;
            report.boxes.push_back({rest, ""});
        } else if (kind == "text" && !report.boxes.empty()) {
            report.boxes.back().text = rest;
        } else if (kind == "exit") {
            report.exitCode = std::stoi(rest);
        } else if (kind != "frozen" && kind != "ended" && kind != "memory") {
            ADD_FAILURE() << "probe: " << line;
        }
        line.clear();
    }
    return report;
}

std::vector<Child> LauncherUnderWine::Children(std::size_t expected) const {
    // A child may still be writing when its launcher has gone.
    for (int wait = 0; wait < 100 && Records() < expected; ++wait) usleep(100 * 1000);
    std::ifstream log(root / "children.log");
    std::vector<Child> children(1);
    for (std::string line; std::getline(log, line);) {
        const std::string value = line.substr(line.find('=') + 1);
        if (line.rfind("started=", 0) == 0) children.back().started = std::stoull(value);
        if (line.rfind("cmdline=", 0) == 0) children.back().cmdline = value;
        if (line.rfind("argv=", 0) == 0) children.back().argv.push_back(value);
        if (line.rfind("cwd=", 0) == 0) children.back().cwd = value;
        if (line.rfind("show=", 0) == 0) children.back().show = value;
        if (line == "end") children.emplace_back();
    }
    children.pop_back();
    return children;
}

std::size_t LauncherUnderWine::Records() const {
    std::ifstream log(root / "children.log");
    std::size_t records = 0;
    for (std::string line; std::getline(log, line);) records += line == "end";
    return records;
}

void LauncherUnderWine::ExpectBoxes(const Report& report, const std::vector<std::string>& texts) {
    ASSERT_EQ(report.boxes.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(report.boxes[i].look, "Tessaly Web Gateway|buttons=1|icon=0");
        EXPECT_EQ(report.boxes[i].text, texts[i]);
    }
}

}  // namespace wine_test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3 || std::getenv("WINEPREFIX") == nullptr) {
        std::fprintf(stderr, "usage: with-wine PREFIX wine_tests WINDOWS-BUILD-DIR SOURCE-DIR\n");
        return 2;
    }
    wine_test::gBuild = std::filesystem::absolute(argv[1]);
    wine_test::gSource = std::filesystem::absolute(argv[2]);
    return RUN_ALL_TESTS();
}
