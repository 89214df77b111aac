#include "check_report.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "command_line.h"
#include "decimal.h"
#include "java_places.h"
#include "mod_main.h"
#include "ui.h"

namespace check {
namespace {

// What the launcher's own search decides, and how it walked there.
struct Decision {
    std::vector<std::wstring> messages;
    bool ended = false;
    std::wstring home;
    SearchRecord walk;
};

Decision Decide(registry::RegistryApi& registry, const Machine& machine, std::uint32_t otherView) {
    RecordingUi ui;
    Decision decision;
    try {
        LocateJavaHome(registry, ui, otherView, machine, machine, &decision.walk);
    } catch (const ProcessEnded&) {
        decision.ended = true;
    }
    decision.messages = std::move(ui.boxes);
    decision.home = JavaHomePath;
    return decision;
}

// A message on one line, as it would be read out on the telephone.
std::wstring Quoted(std::wstring_view text) {
    std::wstring line = L"\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, L"\r\n") == 0) {
            line += L" / ";
            ++i;
        } else {
            line += text[i];
        }
    }
    return line + L"\"";
}

std::wstring OrNotFound(const std::wstring& path) { return path.empty() ? L"not found" : path; }

class Report {
public:
    void Line(const std::wstring& text = L"") { text_ += text + L"\r\n"; }
    std::wstring Text() const { return text_; }

private:
    std::wstring text_;
};

std::wstring Number(double number) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%g", number);
    return text;
}

// "64-bit view", or "current user" for HKCU, whose SOFTWARE key both views
// share, or "environment" for a folder no installer registered.
std::wstring ViewOf(const PlaceRead& place, std::wstring_view ownView) {
    if (place.root == registry::Key{}) return L"environment";
    if (place.root == registry::kCurrentUser) return L"current user";
    return std::wstring(place.view == 0 ? ownView : place.view == registry::kView32 ? L"32-bit" : L"64-bit") +
           L" view";
}

// Where a key was looked for: "HKLM\\...\\JDK (32-bit view)".
std::wstring Where(const PlaceRead& place, std::wstring_view ownView) {
    return (place.root == registry::kCurrentUser ? L"HKCU\\" : L"HKLM\\") + std::wstring(place.key) + L" (" +
           ViewOf(place, ownView) + L")";
}

// Why a version was taken or passed over. In the Java Runtime Environment key
// the search stops with an error where a maker's key is only skipped.
std::wstring Why(const VersionRead& version, bool runtimeKey) {
    const std::wstring stops = L": the search stops here with an error";
    switch (version.verdict) {
        case Verdict::kNoNumber:
            return (version.folder.empty() ? L"its name gives no version number"
                                           : L"its release file gives no version number") +
                   (runtimeKey ? stops : L", skipped");
        case Verdict::kTooOld:
            return L"version " + Number(version.number) + L", below 1.4, skipped";
        case Verdict::kUnreadable:
            return L"its folder cannot be read" + (runtimeKey ? stops : L", skipped");
        case Verdict::kEmpty:
            return L"empty, skipped";
        case Verdict::kNotAFullPath:
            return L"not a full path, skipped";
        case Verdict::kNotBin:
            return L"not a Java's bin folder, skipped";
        case Verdict::kNoJavaExe:
            return L"no " + version.folder + std::wstring(kJavaProgram) + L", skipped";
        case Verdict::kTaken:
            break;
    }
    return L"taken: " + (version.folder.empty() ? L"(an empty folder)" : version.folder);
}

// The place the search took its Java from; the end when none.
SearchRecord::const_iterator Chosen(const SearchRecord& walk) {
    return std::find_if(walk.begin(), walk.end(), [](const PlaceRead& place) {
        return !place.read.empty() && place.read.back().verdict == Verdict::kTaken;
    });
}

void WriteWalk(Report& out, const SearchRecord& walk, std::wstring_view ownView) {
    out.Line(L"Where the launcher looks for Java, in its order:");
    const std::size_t chosen = Chosen(walk) - walk.begin();
    for (std::size_t i = 0; i < walk.size(); ++i) {
        const PlaceRead& place = walk[i];
        if (i == chosen + 1) out.Line(L"  The launcher has its Java; it does not look on, in:");
        if (place.root == registry::Key{}) {  // an environment variable, and each folder it names
            const std::wstring variable = place.name == place.key ? L"" : L" (" + std::wstring(place.key) + L")";
            out.Line(L"  " + std::wstring(place.name) + variable + L":" +
                     (!place.keyExists ? L" not set" : place.versions.empty() ? L" no folder on it holds java.exe" : L""));
        } else if (!place.keyExists) {
            // The views of one place that have no key share a line.
            std::wstring absent = Where(place, ownView);
            while (i + 1 < walk.size() && !walk[i + 1].keyExists && walk[i + 1].name == place.name) {
                absent += L", " + Where(walk[++i], ownView);
            }
            out.Line(L"  " + std::wstring(place.name) + L": no key at " + absent);
            continue;
        } else {
            out.Line(L"  " + std::wstring(place.name) + L": " + Where(place, ownView) +
                     (place.versions.empty() ? L", no versions" : L""));
        }
        const bool runtimeKey = place.key == kJavaRuntimeKey;
        std::size_t width = 0;
        for (const std::wstring& version : place.versions) width = std::max(width, version.size());
        for (std::size_t v = 0; v < place.versions.size(); ++v) {
            out.Line(L"    " + place.versions[v] + std::wstring(width - place.versions[v].size() + 2, L' ') +
                     (v < place.read.size() ? Why(place.read[v], runtimeKey) : L"not looked at"));
        }
    }
}

}  // namespace

Result Check(registry::RegistryApi& registry, const Machine& machine, const std::wstring& programFolder,
             std::wstring_view ownView, std::uint32_t otherView) {
    Report out;
    out.Line(L"Tessaly Push Gateway check");
    out.Line(L"Launcher folder: " + programFolder);
    const std::wstring otherName = otherView == registry::kView32 ? L"32-bit" : L"64-bit";
    out.Line(L"Registry view: " + std::wstring(ownView) + L", as the launcher of this build reads it" +
             (otherView != 0 ? L", then the " + otherName + L" view" : L""));
    out.Line();

    const Decision decision = Decide(registry, machine, otherView);
    WriteWalk(out, decision.walk, ownView);
    out.Line();

    out.Line(L"What the launcher would do:");
    for (const std::wstring& message : decision.messages) out.Line(L"  Show the message " + Quoted(message));
    if (decision.ended) {
        out.Line(L"  Then stop, without starting Java.");
    } else {
        out.Line(L"  Start: " + launch::BuildJavaCommandLine(decision.home, programFolder));
        out.Line(L"  In the folder: " + programFolder);
    }
    out.Line();

    out.Line(L"Files of the application:");
    std::vector<std::wstring> missing;
    for (const std::wstring_view entry : launch::kClassPath) {
        const std::wstring path = programFolder + std::wstring(entry);
        const bool present = machine.Exists(path);
        if (!present) missing.push_back(path);
        out.Line((present ? L"  present  " : L"  MISSING  ") + path);
    }
    const std::wstring plainJava = machine.FindJava(programFolder);
    out.Line(L"Plain \"java\" on the search path: " + OrNotFound(plainJava));
    out.Line();

    // The first thing that stands between the user and a running gateway.
    const std::wstring program = decision.home.empty() ? L"" : decision.home + std::wstring(kJavaProgram);
    std::wstring problem;
    if (decision.ended) {
        problem = L"no Java of version 1.4 or higher, with its bin\\java.exe, is registered where the launcher looks, "
                  L"named by JAVA_HOME or on the search path";
    } else if (decision.home.empty()) {
        problem = (decision.messages.empty() ? L"the chosen version's JavaHome is empty or unreadable"
                                             : L"the search fails with " + Quoted(decision.messages.front())) +
                  L", so the launcher would fall back to plain \"java\" (" + OrNotFound(plainJava) + L")";
    } else if (!machine.Exists(program)) {
        problem = program + L" does not exist, so the launch would fail: the registry names a removed runtime";
    } else if (!missing.empty()) {
        problem = Decimal(missing.size()) + L" file(s) of the application are missing, first " +
                  missing.front();
    }
    if (problem.empty()) {
        const PlaceRead& place = *Chosen(decision.walk);  // a Java home comes only from a version the search took
        const std::wstring& name = place.read.back().name;  // empty for a Java without a release file
        out.Line(L"Verdict: OK - the launcher would start Java " + (name.empty() ? L"of no recorded version" : name) +
                 L" (" +
                 std::wstring(place.name) + L", " + ViewOf(place, ownView) + L") from " + program +
                 L", and every file is in place.");
    } else {
        out.Line(L"Verdict: PROBLEM - " + problem + L".");
    }
    return Result{out.Text(), problem.empty() ? 0 : 1};
}

bool AsksForEnter(const Console& console) {
    return console.ofItsOwn && console.hasWindow && !console.startedHidden && console.windowStation == L"WinSta0";
}

bool WriteInPieces(std::wstring_view text, const std::function<bool(std::wstring_view)>& write) {
    while (!text.empty()) {
        std::size_t size = std::min(text.size(), kConsolePiece);
        if (size < text.size()) {
            // A piece ends where a line does, so a console shows whole lines at each write; a line longer than a
            // piece is cut, but never between its CR and LF (a terminal would end the line twice), nor between the
            // halves of a surrogate pair.
            const std::size_t lineEnd = text.substr(0, size).rfind(L'\n');
            if (lineEnd != std::wstring_view::npos) {
                size = lineEnd + 1;
            } else {
                if (text[size - 1] == L'\r' && text[size] == L'\n') --size;
                if (text[size - 1] >= 0xD800 && text[size - 1] <= 0xDBFF) --size;
            }
        }
        if (!write(text.substr(0, size))) return false;
        text.remove_prefix(size);
    }
    return true;
}

}  // namespace check
