// The portable core against its stand-ins: registry, search, TessalyCheck's report, the launcher's folder and boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "ansi_text.h"
#include "command_line.h"
#include "java_watch.h"
#include "messages.h"
#include "program_folder.h"
#include "splash_layout.h"
#include "stand_ins.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Stage = std::function<void(FakeRegistry&)>;
const std::string kBase = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
// Installers' entries, "KEY@VALUE=FOLDER" (FakeRegistry::SetStrings)
const std::string kTemurin = "SOFTWARE\\Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI@Path=";
const std::string kJdk = "SOFTWARE\\JavaSoft\\JDK\\", kMs = "|SOFTWARE\\Microsoft\\JDK\\17\\hotspot\\MSI@Path=C:\\ms";

// Version keys in enumeration order, in the own registry view or "32:", each with JavaHome C:\<view>jre<name>.
Stage Versions(const std::vector<std::string>& names, Stage more = [](FakeRegistry&) {}, const std::string& view = "") {
    return [=](FakeRegistry& fake) {
        fake.AddKey(view + kBase);
        for (const std::string& name : names)
            fake.SetStrings(view + kBase + "\\" + name + "@JavaHome=C:\\" + view + "jre" + name);
        more(fake);
    };
}
Stage Other(const std::vector<std::string>& names) { return Versions(names, [](FakeRegistry&) {}, "32:"); }
Stage At(const std::string& entries, Stage more = [](FakeRegistry&) {}) {
    return [=](FakeRegistry& fake) { fake.SetStrings(entries); more(fake); };
}
// The one version 1.4, whose JavaHome is of this type and holds these bytes, and grows as told.
Stage Home(std::uint32_t type, Bytes data, std::size_t growth = 0, int growths = 0) {
    return [=](FakeRegistry& fake) { fake.SetValue(kBase + "\\1.4", "JavaHome", type, data, growth, growths); };
}

// A Path as the wide calls write it, these UTF-16 code units, in a Temurin key (of this version).
const std::string kMsi = "SOFTWARE\\Eclipse Adoptium\\JDK\\17\\hotspot\\MSI";
Stage Wide(const std::wstring& units, std::uint32_t type = registry::kString, const std::string& key = kMsi) {
    return [=](FakeRegistry& fake) { fake.SetValue(key, "Path", type, FakeRegistry::Utf16(units), 0, 0, true); };
}

TEST(LocateJavaHome, TakesTheFirstQualifyingVersionOrTellsTheUserWhatIsWrong) {
    const std::wstring m1(messages::kJavaNotInstalled), m2(messages::kNoSuitableJava), e2(messages::kSearchFailed);
    const std::wstring unsupported = L"Unsupported value type", x1025(1025, 'x');
    // The registry; the boxes shown; the JavaHomePath left, or "ended" when the process ended after the boxes.
    const std::tuple<Stage, std::vector<std::wstring>, std::wstring> rows[] = {
        {Versions({"1.3.1", "1.4.2_03", "1.5.0"}, At(kMs.substr(1))), {}, L"C:\\jre1.4.2_03"},  // it decides
        {Versions({"1.5", "1.3", "1.4"}, [](FakeRegistry& f) { f.AddKey(kBase + "\\1.3\\9"); }), {}, L"C:\\jre1.5"},
        {Versions({"1.10", "1", "10", "abc"}), {}, L"C:\\jre10"},  // 1.10 reads 1.1; later names are not read
        {Versions({"1.3.1_20", "9 ", "1.6_\xE9"}), {}, L"C:\\jre9 "},
        {Versions({"1.4"}, [](FakeRegistry& f) { f.denied.insert(kBase); }), {m1}, L"ended"},
        {Versions({}), {m2}, L"ended"}, {Versions({"1.3", "1.3.1_20", "1"}, At(kTemurin + "C:\\gone")), {m2}, L"ended"},
        {Versions({"1.3", "1.4"}, [](FakeRegistry& f) { f.failEnumeration[kBase] = {1, 1011}; }), {m2}, L"ended"},
        {Versions({"1.4"}, [](FakeRegistry& f) { f.failEnumeration[kBase] = {0, 5}; }), {m2}, L"ended"},
        {Versions({"1.3", "1,4", "1.4"}, At(kMs.substr(1))), {L"Type mismatch", e2}, L""},
        {Versions({"-1.", " .", "1e1"}), {L"Type mismatch", e2}, L""},
        {[](FakeRegistry& f) { f.AddKey(kBase + "\\1.4"); }, {unsupported, e2}, L""},
        {Versions({"1.4"}, [](FakeRegistry& f) { f.denied.insert(kBase + "\\1.4"); }), {}, L""},
        {Versions({"1.4"}, [](FakeRegistry& f) { f.thrower = kBase + "\\1.4"; }), {L"Internal error", e2}, L""},
        // The 32-bit view, after the own one has nothing to start
        {Other({"1.3", "1.5", "1.4"}), {}, L"C:\\32:jre1.5"}, {Versions({"1.3"}, Other({"1.4"})), {}, L"C:\\32:jre1.4"},
        {Other({}), {m2}, L"ended"}, {Other({"x"}), {L"Type mismatch", e2}, L""},
        {Versions({"1,4"}, Other({"1.4"})), {L"Type mismatch", e2}, L""},
        {Home(registry::kString, {0}), {}, L""}, {Home(registry::kString, {}), {}, L""},
        {Home(registry::kString, {'C', ':', '\\', 0}), {}, L"C:\\"},
        {Home(registry::kString, {' ', 0xE9, 0, 'b', 0, 0}), {}, L" \xE9"},  // a folder ends at its first NUL
        {Home(registry::kString, {'C', ':', 'x'}), {}, L"C:x"},                // written without its NUL
        {Home(registry::kString, Bytes(1025, 'x')), {}, x1025},  // more than the first buffer holds
        {Home(registry::kString, Bytes(2000, 'x'), 10, 1), {}, std::wstring(10, 'g') + std::wstring(2000, 'x')},
        {Home(registry::kString, Bytes(2000, 'x'), 5000, 9), {unsupported, e2}, L""},  // it keeps growing
        {Home(registry::kExpandString, {'%', 'J', '%', 0}), {}, L"%J%"},
        {Home(registry::kMultiString, {'a', 0, 'b', 0, 0}), {}, L"a"}, {Home(registry::kMultiString, {0}), {}, L""},
        {Home(registry::kDword, {0xFF, 0xFF, 0xFF, 0xFF}), {}, L"-1"}, {Home(registry::kDword, {1, 2}), {}, L"513"},
        {Home(registry::kBinary, {'C', ':', 0, 'x'}), {}, L"C:"},
        {Home(registry::kNone, {'C', 0}), {unsupported, e2}, L""},
        {Home(registry::kQword, {'C', 0, 0, 0, 0, 0, 0, 0}), {unsupported, e2}, L""},
        // Where the key above has nothing to start: today's installers' keys, in their order, each view in turn
        {At("HKCU\\" + kTemurin + "C:\\mine\\" + kMs), {}, L"C:\\mine"},
        {At(kJdk + "1.3.1@JavaHome=C:\\1|" + kJdk + "x@JavaHome=C:\\x" + kMs), {}, L"C:\\ms"},  // skipped, silently
        {At("SOFTWARE\\Eclipse Adoptium\\JDK\\21\\hotspot\\MSI@Other=C:\\t" + kMs), {}, L"C:\\ms"},
        {At("32:SOFTWARE\\Azul Systems\\Zulu 32-bit\\zulu-8-jre@InstallationPath=C:\\"), {}, L"C:\\"},
        // Installers' keys through the wide calls: a surrogate pair, a name outside ASCII, NULs in UTF-16, an odd byte
        {Wide({'C', ':', '\\', 0xD834, 0xDD1E}, 1, "SOFTWARE\\Eclipse Adoptium\\JDK\\17-\xE9\\hotspot\\MSI"), {},
         L"C:\\\xD834\xDD1E"}, {Wide({'C', ':', '\\', 'a', 0, 'b', 0, 0}, registry::kMultiString), {}, L"C:\\a"},
        {Wide({'C', ':', '\\', '%', 'J', '%', 0}, registry::kExpandString), {}, L"C:\\%J%"},
        {Wide({'C', ':', '\\', 'x'}), {}, L"C:\\x"},  // written without its NUL
        {[](FakeRegistry& f) { f.SetValue(kMsi, "Path", 1, {'C', 0, ':', 0, '\\', 0, 'x', 0, 0}, 0, 0, true); }, {},
         L"C:\\x"},  // an odd last byte is no character
    };
    for (const auto& [stage, boxes, javaHome] : rows) {
        FakeRegistry fake;
        RecordingUi ui;
        stage(fake);
        JavaHomePath = L"stale, from an earlier call";
        if (!Located(fake, ui)) JavaHomePath = L"ended";
        EXPECT_EQ(std::tie(ui.boxes, JavaHomePath), std::tie(boxes, javaHome));
        EXPECT_TRUE(fake.open.empty() && fake.wrongCloses == 0);
    }
}

// Where no installer registered one: JAVA_HOME's Java, then a bin folder's on the search path, as users write them.
TEST(LocateJavaHome, TakesAJavaNoInstallerRegisteredOnlyWhereTheRegistryHasNone) {
    const std::wstring m1(messages::kJavaNotInstalled), m2(messages::kNoSuitableJava), e2(messages::kSearchFailed);
    const std::wstring jdk = L"C:\\jdk", javapath = L"C:\\ProgramData\\Oracle\\Java\\javapath;";
    const std::wstring longest = L"C:\\" + std::wstring(32764, L'x');
    const auto no = std::nullopt;
    std::wstring manyFolders;  // a search path as long as an environment variable can be
    while (manyFolders.size() < 32750) manyFolders += L"C:\\x;";
    // JAVA_HOME, PATH (null: not set); C:\jdk\release (null: none); the registry; the boxes; JavaHomePath.
    using Text = std::optional<std::wstring>;
    const std::tuple<Text, Text, std::optional<std::string>, std::string, std::vector<std::wstring>, std::wstring> rows[] = {
        {L"C:\\jdk", L"C:\\other\\bin", no, "", {}, jdk}, {no, L"C:\\jdk\\bin", no, "", {}, jdk},
        {L"C:\\jdk", no, no, kBase + "\\1.5@JavaHome=C:\\jre", {}, L"C:\\jre"},  // the registry first
        {L"C:\\jdk", no, no, kTemurin + "C:\\t", {}, L"C:\\t"},
        {L"C:\\jdk", no, no, kBase + "\\1,4@JavaHome=C:\\x", {L"Type mismatch", e2}, L""},
        {L" \t\"C:\\Program Files\\jdk\\\\\" ", no, no, "", {}, L"C:\\Program Files\\jdk"},
        {L"C:\\", no, no, "", {}, L"C:"}, {longest, no, no, "", {}, longest},
        {L"C:\\\x0414\xD834\xDD1E", no, no, "", {}, L"C:\\\x0414\xD834\xDD1E"},
        {L"", no, no, "", {m1}, L"ended"}, {L"  \"\" ", no, no, "", {m1}, L"ended"},
        {L"jdk", no, no, "", {m1}, L"ended"}, {L"%JDK%", no, no, "", {m1}, L"ended"},
        {L"C:\\gone.txt", L"C:\\jdk\\bin", no, "", {}, jdk},  // a file, or a folder with no bin\java.exe
        {no, (javapath + L"C:\\Windows\\System32;C:\\scoop\\shims"), no, "", {m1}, L"ended"},
        {no, (javapath + L";;\"C:\\a;b\\BIN\\\";"), no, "", {}, L"C:\\a;b"},
        {no, L"\\\\server\\share\\jdk\\bin\\", no, "", {}, L"\\\\server\\share\\jdk"},
        {no, (manyFolders + L"C:\\jdk\\bin"), no, "", {}, jdk}, {no, L"bin", no, "", {m1}, L"ended"},
        // Its release file, where it has one: JAVA_VERSION, quoted or not, by the rule of the makers' keys
        {L"C:\\jdk", no, "IMPLEMENTOR=\"x\"\nJAVA_VERSION=\"21.0.1\"\n", "", {}, jdk},
        {L"C:\\jdk", no, "JAVA_VERSION=1.4.2\r\n", "", {}, jdk},
        {L"C:\\jdk", L"C:\\other\\bin", "JAVA_VERSION=\"1.3.1\"", "", {}, L"C:\\other"},
        {L"C:\\jdk", no, "JAVA_VERSION=\"1.3.1\"", kBase + "\\1.3.1@JavaHome=C:\\old", {m2}, L"ended"},
        {L"C:\\jdk", no, "", "", {m1}, L"ended"}, {L"C:\\jdk", no, "JAVA_VERSION=\"x1\"", "", {m1}, L"ended"},
        {L"C:\\jdk", no, std::string("\x7f" "ELF\x02\x01\x00\xff", 8), "", {m1}, L"ended"},
        {L"C:\\jdk", no, (std::string(8192, '#') + "\nJAVA_VERSION=\"17\""), "", {m1}, L"ended"},
    };
    for (const auto& [javaHome, path, release, entries, boxes, home] : rows) {
        FakeRegistry fake;
        FakeFiles files;
        RecordingUi ui;
        if (!entries.empty()) fake.SetStrings(entries);
        if (javaHome) files.variables[L"JAVA_HOME"] = *javaHome;
        if (path) files.variables[L"PATH"] = *path;
        if (release) files.releases[L"C:\\jdk\\release"] = *release;
        JavaHomePath = L"stale";
        if (!Located(fake, ui, files)) JavaHomePath = L"ended";
        EXPECT_EQ(std::tie(ui.boxes, JavaHomePath), std::tie(boxes, home)) << javaHome.value_or(L"-").substr(0, 40);
    }
}

// A Java in every installer's place and view, uninstalled one by one, is taken in the order docs/java-places.md gives.
TEST(LocateJavaHome, SearchesTheInstallersPlacesInTheirDocumentedOrder) {
    const std::string order[] = {  // "KEY@VALUE" below SOFTWARE; "+": also in the current user's
        "JavaSoft\\JRE\\9@JavaHome", "JavaSoft\\JDK\\9@JavaHome", "JavaSoft\\Java Development Kit\\1.8@JavaHome",
        "+Eclipse Adoptium\\JRE\\8\\hotspot\\MSI@Path", "+Eclipse Adoptium\\JDK\\8\\hotspot\\MSI@Path",
        "+Eclipse Foundation\\JDK\\17\\hotspot\\MSI@Path", "+AdoptOpenJDK\\JRE\\8\\hotspot\\MSI@Path",
        "+AdoptOpenJDK\\JDK\\8\\hotspot\\MSI@Path", "+AdoptOpenJDK\\JRE\\9\\openj9\\MSI@Path",
        "+AdoptOpenJDK\\JDK\\9\\openj9\\MSI@Path", "+Semeru\\JRE\\8\\openj9\\MSI@Path",
        "+Semeru\\JDK\\8\\openj9\\MSI@Path", "+Microsoft\\JDK\\17\\hotspot\\MSI@Path",
        "Azul Systems\\Zulu\\zulu-8@InstallationPath", "Azul Systems\\Zulu 32-bit\\zulu-8-jre@InstallationPath",
        "BellSoft\\Liberica\\jdk-8@InstallationPath"};
    FakeRegistry fake;
    std::vector<std::wstring> expected, taken;
    for (const std::string& place : order) {
        for (const std::string root : {"", "32:", "HKCU\\"}) {
            if (root == "HKCU\\" && place[0] != '+') continue;
            const std::string entry = root + "SOFTWARE\\" + place.substr(place[0] == '+');  // its folder: C:\ and it
            fake.SetStrings(entry + "=C:\\" + entry);
            expected.emplace_back(L"C:\\" + std::wstring(entry.begin(), entry.end()));
        }
    }
    for (RecordingUi ui; taken.size() <= expected.size() && Located(fake, ui); taken.push_back(JavaHomePath))
        fake.SetStrings(std::string(JavaHomePath.begin() + 3, JavaHomePath.end()) + "=C:\\gone");  // the key stays
    EXPECT_EQ(taken, expected);
}

const std::string kJre = kBase + "\\1.4.2@JavaHome=C:\\jre", kAdoptium = "SOFTWARE\\Eclipse Adoptium\\JDK\\";
const std::wstring kFolder = L"C:\\Gateway", kJava = L"C:\\jre\\bin\\java.exe";


TEST(CheckReport, TellsWhereTheLauncherLooksAndOkOnlyWhenItWouldStartJavaWithEveryFile) {
    const std::wstring ok = L"Verdict: OK - the launcher would start Java ";
    // The registry's strings; a file that is not there; a line of the report.
    const std::tuple<std::string, std::wstring, std::wstring> rows[] = {
        {"HKCU\\" + kAdoptium + "17\\hotspot\\MSI@Path=C:\\jre\\|SOFTWARE\\Eclipse Foundation\\JDK\\8\\x@Path=",
         L"", L"(current user)\r\n    17  taken: C:\\jre\r\n  The launcher has its Java; it does not look on, in:\r\n  "
              L"Eclipse Foundation JDK: HKLM\\SOFTWARE\\Eclipse Foundation\\JDK (64-bit view)\r\n    8  not looked at"},
        {kAdoptium + "21\\hotspot\\MSI@Path=C:\\gone", L"",
         L"JDK (64-bit view)\r\n    21  no C:\\gone\\bin\\java.exe, skipped\r\n  Eclipse Adoptium JDK: no key at HKLM"
         L"\\SOFTWARE\\Eclipse Adoptium\\JDK (32-bit view), HKCU\\SOFTWARE\\Eclipse Adoptium\\JDK (current user)\r\n"},
        {kBase + "\\1,4@JavaHome=C:\\x|" + kJre, L"",
         L"    1,4    its name gives no version number: the search stops here with an error\r\n"
         L"    1.4.2  not looked at\r\n"}, {kBase + "\\1.4.2@JavaHome=", L"", L"JavaHome is empty or "},
        {kBase + "\\1.4.2@Other=C:\\jre", L"", L"the search fails with \"Unsupported value type\""},
        {kJre, kJava, kJava + L" does not exist, so the launch "}, {kJre, kFolder + L"\\DarAvizAru\\lib\\jdc.jar",
         L"PROBLEM - 1 file(s) of the application are missing, first C:\\Gateway\\DarAvizAru\\lib\\jdc.jar."},
    };
    for (const auto& [strings, gone, line] : rows) {
        FakeRegistry registry;
        FakeFiles machine;
        registry.SetStrings(strings);
        machine.gone = gone;
        const check::Result result = check::Check(registry, machine, kFolder, L"64-bit", registry::kView32);
        const bool isOk = result.report.find(L"\n" + ok) != std::wstring::npos;
        EXPECT_TRUE(result.report.find(line) != std::wstring::npos && result.exitCode == !isOk) << result.report;
    }
}

// The folders the environment names are places of the same walk, and the verdict names the one taken.
TEST(CheckReport, TellsWhatBecameOfJavaHomeAndOfEachJavaOnTheSearchPath) {
    FakeRegistry registry;
    FakeFiles machine;
    machine.variables = {{L"JAVA_HOME", L"\"C:\\old\\\""}, {L"PATH", L"C:\\ProgramData\\Oracle\\Java\\javapath;C:\\jdk\\bin"}};
    machine.releases = {{L"C:\\old\\release", "JAVA_VERSION=\"1.3.1\""}, {L"C:\\jdk\\release", "JAVA_VERSION=\"17.0.9\""}};
    const std::wstring report = check::Check(registry, machine, kFolder, L"64-bit", registry::kView32).report;
    const std::wstring walk = L"  JAVA_HOME:\r\n    \"C:\\old\\\"  version 1.3, below 1.4, skipped\r\n  Search path (PATH):\r\n"
                              L"    C:\\ProgramData\\Oracle\\Java\\javapath  not a Java's bin folder, skipped\r\n    C:\\jdk\\bin" +
                              std::wstring(27, L' ') + L"taken: C:\\jdk\r\n";
    for (const std::wstring& line : {walk, std::wstring(L"Verdict: OK - the launcher would start Java 17.0.9 (Search path, "
                                                        L"environment) from C:\\jdk\\bin\\java.exe")})
        EXPECT_NE(report.find(line), std::wstring::npos) << report;
}

// Windows XP to 7 refuse a console write over their 64 KB heap: small pieces, each character whole, each a line's end
// where one fits (a CR and its LF in two writes end the line twice on a terminal).
TEST(WriteInPieces, WritesAnyReportInSmallPiecesOfWholeLinesThatNeverSplitACharacter) {
    const std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)}, r(check::kConsolePiece - 1, L'r');
    std::vector<std::wstring> texts = {L"", r + L"r", r + pair + L"x", r + L"r" + pair, r + r + r + r + r, r + L"\r\n"};
    for (std::size_t length = 4088; length < 4102; ++length)  // a line's end on every offset around a piece's end
        texts.push_back(L"a\r\n" + std::wstring(length - 3, L'l') + L"\r\n" + r + L"\r\nb\r\n");
    for (const std::wstring& text : texts) {
        std::wstring joined;
        EXPECT_TRUE(check::WriteInPieces(text, [&](std::wstring_view piece) {
            joined += piece;  // what Windows XP takes, and a character whole, and a line whole where it fits
            return !piece.empty() && piece.size() <= 4096 && (piece.back() < 0xD800 || piece.back() > 0xDBFF) &&
                   (piece.back() == L'\n' || joined.size() == text.size() ||
                    (piece.find(L'\n') == piece.npos && piece.back() != L'\r'));
        })) << text.size();
        EXPECT_EQ(joined, text);
    }
}

// Nobody sees a wait in a service's or a background task's window station (the Wine rows show the other cases).
TEST(AsksForEnter, OnlyInTheWindowStationOfTheUserAtTheScreen) {
    EXPECT_TRUE(check::AsksForEnter({true, true, false, L"WinSta0"}));
    EXPECT_FALSE(check::AsksForEnter({true, true, false, L"Service-0x0-3e7$"}));
}

// Java reads the folder on its class path, and is started in it: it must be whole, and in the ordinary form.
TEST(ProgramFolderOf, GivesTheExesWholeFolderInItsOrdinaryForm) {
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"C:\\Gateway\\x.exe", L"C:\\Gateway"}, {L"D:\\x.exe", L"D:\\"}, {L"x.exe", L""},
        {L"\\\\?\\D:\\Gateway\\x.exe", L"D:\\Gateway"}, {L"\\\\?\\D:\\x.exe", L"D:\\"},
        {L"\\\\?\\UNC\\server\\share\\x.exe", L"\\\\server\\share"}, {L"\\\\?\\Volume{1}\\x.exe", L"\\\\?\\Volume{1}"}};
    for (const auto& [path, folder] : rows) EXPECT_EQ(launch::ProgramFolderOf(path), folder) << path;
    for (const std::size_t length : {1, 255, 256, 257, 300, 70000}) {  // a path of any length, however long
        const std::wstring path(length, L'p');
        // As GetModuleFileNameW answers: what fits, and the buffer's size when that cuts the path.
        const auto call = [&](wchar_t* buffer, std::size_t size) {
            return std::copy_n(path.data(), std::min(size, path.size()), buffer) - buffer;
        };
        EXPECT_EQ(ReadWhole(call), path) << length;
    }
}

// What Java wrote, in the pipe's chunks, as the box quotes it: its last lines, about 1,000 characters at most, no half
// line from before a cut, no NUL to end the box early; and the box, only for a Java that ended with an error in time.
TEST(StoppedJavaReport, QuotesTheLastLinesJavaWroteAsTheBoxShowsThem) {
    const std::string y(1500, 'y'), x(600, 'x');
    const std::pair<std::string, std::wstring> rows[] = {
        {"a\r\nb\r\n\r\n  \n", L"a\r\nb"},
        {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12", L"3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12"},
        {x + "\n" + x + "\n" + x + "\r\n", std::wstring(600, 'x')}, {y, L"\u2026" + std::wstring(1000, 'y')},
        {std::string("x\0y\x01 %3\tz", 9), L"x\uFFFDy\uFFFD %3\tz"}, {std::string(4500, 'a') + "\nlast\n", L"last"}};
    for (const auto& [written, quoted] : rows) {
        launch::OutputTail tail;
        for (std::size_t at = 0; at < written.size(); at += 7) tail.Append(std::string_view(written).substr(at, 7));
        EXPECT_EQ(launch::QuotedLines(FromAnsi(tail.Bytes()), tail.Cut()), quoted) << written.substr(0, 20);
    }
    const std::wstring check = L"\r\n\r\nTo see which Java was started and whether every file is in place, run ";
    // What the watch saw of Java; the launcher's folder; the box, if any.
    const std::tuple<launch::WatchedJava, std::wstring, std::optional<std::wstring>> boxes[] = {
        {{false, 1, L"still running"}, L"C:\\Gateway", std::nullopt},
        {{true, 0, L"stopped by its own choice"}, L"C:\\Gateway", std::nullopt},
        {{true, 1, L"Error: %3\r\n"}, L"C:\\Gateway", L"The Java application stopped as soon as it started, with "
         L"exit code 1.\r\n\r\nWhat it wrote last:\r\nError: %3" + check + L"C:\\Gateway\\TessalyCheck.exe"},
        {{true, 0xC0000005, L""}, L"R:\\", L"The Java application stopped as soon as it started, with exit code "
         L"0xC0000005.\r\n\r\nIt wrote nothing." + check + L"R:\\TessalyCheck.exe"}};
    for (const auto& [java, folder, box] : boxes) EXPECT_EQ(launch::StoppedJavaReport(java, folder), box) << folder;
}

// A name another process holds is given up for a fresh one, 4 in all.
TEST(UnderAFreeName, TriesFreshRandomNamesUntilOneIsFree) {
    for (const std::size_t taken : {0, 1, 3, 4}) {  // the first names another process holds
        std::vector<std::wstring> tried;
        const auto make = [&](const std::wstring& name) { return tried.push_back(name), tried.size() > taken; };
        const bool made = launch::UnderAFreeName([&] { return std::to_wstring(tried.size()); }, make);
        EXPECT_EQ(std::make_pair(made, tried.back()), std::make_pair(taken < 4, std::to_wstring(std::min(taken, 3ul))));
    }
}

// The company name in its raster face only at a height the machine has a bitmap of; the splash at the scale of its
// screen where Windows tells it, and its caption on a screen smaller than it (200 % on a 1366 x 768 panel).
TEST(Splash, DrawsSharpAtTheScaleOfItsScreenAndKeepsItsCaptionOnIt) {
    const splash::Font& company = splash::kLabels[0].font;
    const std::tuple<int, splash::InstalledFace, std::wstring_view> faces[] = {
        {96, {true, {13, 16, 24}}, L"MS Serif"}, {192, {true, {13, 16, 24}}, L"Times New Roman"},
        {144, {true, {24, 30}}, L"Times New Roman"}, {120, {true, {30}}, L"MS Serif"}, {192, {}, L"MS Serif"}};
    for (const auto& [dpi, installed, face] : faces) EXPECT_EQ(splash::FaceToDraw(company, dpi, installed), face) << dpi;
    EXPECT_EQ(splash::FaceToDraw(splash::kLabels[1].font, 192, {true, {}}), L"Times New Roman");
    EXPECT_EQ(std::make_pair(splash::FormDpi(144, 96), splash::FormDpi(0, 120)), std::make_pair(144, 120));
    const splash::Placement small = splash::Centred(1042, 788, 1366, 768), large = splash::Centred(524, 405, 2560, 1600);
    EXPECT_EQ(std::make_tuple(small.left, small.top, large.left, large.top), std::make_tuple(162, 0, 1018, 597));
}

}  // namespace
