#include "check_report.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <optional>

#include "app_error.h"
#include "command_line.h"
#include "mod_main.h"
#include "ui.h"

namespace check {
namespace {

// What the launcher's own search decides: its messages, whether it would end
// the process, and the Java home it leaves for the launch.
struct Decision {
    std::vector<std::wstring> messages;
    bool ended = false;
    std::wstring home;
};

Decision Decide(registry::RegistryApi& registry, std::uint32_t otherView) {
    RecordingUi ui;
    Decision decision;
    try {
        LocateJavaHome(registry, ui, otherView);
    } catch (const ProcessEnded&) {
        decision.ended = true;
    }
    decision.messages = std::move(ui.boxes);
    decision.home = JavaHomePath;
    return decision;
}

std::optional<double> NumberOf(const std::wstring& versionName) {
    try {
        return ReadVersionNumber(versionName);
    } catch (const AppError&) {
        return std::nullopt;
    }
}

// The search's walk over one registry view, name by name: where it stopped
// and whether on a selection.
struct Walk {
    std::uint32_t viewBits = 0;  // as an open's access names the view; 0 for the process's own
    std::wstring view;           // "64-bit"
    bool keyExists = false;
    SubkeyList versions;
    std::size_t stop = 0;  // the selected or unreadable name; versions.size() when it ran through
    bool selected = false;

    // A selection, or an error: the search reads no further view.
    bool Ended() const { return stop < versions.size(); }
    std::wstring Chosen() const { return selected ? versions[stop] + L" (" + view + L" view)" : std::wstring(); }
};

Walk WalkVersions(registry::RegistryApi& registry, std::uint32_t view, std::wstring_view viewName) {
    const std::wstring key(kJavaRuntimeKey);
    const MRegistry reg(registry, view);
    Walk walk;
    walk.viewBits = view;
    walk.view = viewName;
    walk.keyExists = reg.KeyExists(registry::kLocalMachine, key);
    if (walk.keyExists) walk.versions = reg.EnumRegistryKeys(registry::kLocalMachine, key);
    try {
        walk.stop = SelectVersion(walk.versions);
        walk.selected = walk.stop < walk.versions.size();
    } catch (const AppError&) {
        // The walk ends at the first name that is no number.
        while (NumberOf(walk.versions[walk.stop])) ++walk.stop;
    }
    return walk;
}

// Java registered under keys of its own that the launcher never reads, in
// every view: "HKLM\<key>\<version> (<view> view), home <JavaHome>".
constexpr std::wstring_view kOtherJavaKeys[] = {L"SOFTWARE\\JavaSoft\\JRE", L"SOFTWARE\\JavaSoft\\JDK",
                                                L"SOFTWARE\\JavaSoft\\Java Development Kit"};

std::vector<std::wstring> UnsearchedRuntimes(registry::RegistryApi& registry, const std::vector<Walk>& walks) {
    std::vector<std::wstring> found;
    for (const Walk& walk : walks) {
        const MRegistry reg(registry, walk.viewBits);
        for (const std::wstring_view key : kOtherJavaKeys) {
            for (const std::wstring& version : reg.EnumRegistryKeys(registry::kLocalMachine, std::wstring(key))) {
                std::wstring home;
                try {
                    const Variant value = reg.GetRegistryValue(registry::kLocalMachine,
                                                               std::wstring(key) + L"\\" + version, L"JavaHome");
                    if (const auto* text = std::get_if<std::wstring>(&value)) home = text->substr(0, text->find(L'\0'));
                } catch (const AppError&) {
                }
                found.push_back(L"HKLM\\" + std::wstring(key) + L"\\" + version + L" (" + walk.view +
                                L" view), home " + (home.empty() ? L"(none)" : home));
            }
        }
    }
    return found;
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

void WriteVersions(Report& out, const Walk& walk) {
    out.Line(L"Java versions the launcher looks at, in HKLM\\" + std::wstring(kJavaRuntimeKey) + L" (" + walk.view +
             L" view):");
    if (!walk.keyExists) out.Line(L"  The key does not exist.");
    if (walk.keyExists && walk.versions.empty()) out.Line(L"  The key has no version keys.");
    std::size_t width = 0;
    for (const std::wstring& name : walk.versions) width = std::max(width, name.size());
    for (std::size_t i = 0; i < walk.versions.size(); ++i) {
        const std::wstring& name = walk.versions[i];
        const std::wstring verdict = i > walk.stop   ? (walk.selected ? L"not looked at (after the selection)"
                                                                      : L"not looked at (after the search stopped)")
                                     : i < walk.stop ? L"skipped (below 1.4)"
                                     : walk.selected ? L"selected"
                                                     : L"no number: the search stops here with an error";
        std::wstring reads = L"reads \"" + name.substr(0, 3) + L"\" as ";
        if (const std::optional<double> number = NumberOf(name)) {
            wchar_t text[32];
            std::swprintf(text, std::size(text), L"%g", *number);
            reads += text;
        } else {
            reads += L"no number";
        }
        reads.resize(std::max<std::size_t>(reads.size(), 24), L' ');
        out.Line(L"  " + name + std::wstring(width - name.size() + 2, L' ') + reads + L"  " + verdict);
    }
}

}  // namespace

Result Check(registry::RegistryApi& registry, const Machine& machine, const std::wstring& programFolder,
             std::wstring_view ownView, std::uint32_t otherView) {
    Report out;
    out.Line(L"Tessaly Push Gateway check");
    out.Line(L"Launcher folder: " + programFolder);
    std::vector<Walk> walks{WalkVersions(registry, 0, ownView)};
    if (otherView != 0) {
        walks.push_back(WalkVersions(registry, otherView, otherView == registry::kView32 ? L"32-bit" : L"64-bit"));
    }
    out.Line(L"Registry view: " + walks[0].view + L", as the launcher of this build reads it" +
             (walks.size() > 1 ? L", then the " + walks[1].view + L" view" : L""));
    out.Line();

    const Decision decision = Decide(registry, otherView);
    // The view the search ends in: the first with a selection or an error, else the last.
    std::size_t last = 0;
    while (last + 1 < walks.size() && !walks[last].Ended()) ++last;
    for (std::size_t v = 0; v <= last; ++v) WriteVersions(out, walks[v]);
    const Walk& walk = walks[last];
    const std::wstring program = decision.home.empty() ? L"" : decision.home + std::wstring(launch::kJavaProgram);
    const bool programExists = !program.empty() && machine.Exists(program);
    if (walk.selected) {
        out.Line(L"  JavaHome of " + walk.versions[walk.stop] + L": " +
                 (decision.home.empty() ? L"(empty or unreadable)" : decision.home));
        if (!program.empty()) out.Line(L"  " + program + (programExists ? L": present" : L": MISSING"));
    }
    for (std::size_t v = last + 1; v < walks.size(); ++v) {
        out.Line(L"The " + walks[v].view + L" view is not searched: the search ends in the " + walk.view + L" view.");
    }
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

    out.Line(L"Java runtimes the launcher does not search:");
    const std::vector<std::wstring> unsearched = UnsearchedRuntimes(registry, walks);
    if (unsearched.empty()) out.Line(L"  None found.");
    for (const std::wstring& runtime : unsearched) out.Line(L"  " + runtime + L": not searched by the launcher");
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
    std::wstring problem;
    if (decision.ended) {
        const bool anyKey = std::any_of(walks.begin(), walks.end(), [](const Walk& w) { return w.keyExists; });
        problem = anyKey ? L"no Java of version 1.4 or higher is registered where the launcher looks"
                         : L"no Java Runtime Environment is registered where the launcher looks";
        if (!unsearched.empty()) problem += L"; Java is registered elsewhere (listed above), which it does not search";
    } else if (decision.home.empty()) {
        problem = (decision.messages.empty() ? L"the chosen version's JavaHome is empty or unreadable"
                                             : L"the search fails with " + Quoted(decision.messages.front())) +
                  L", so the launcher would fall back to plain \"java\" (" + OrNotFound(plainJava) + L")";
    } else if (!programExists) {
        problem = program + L" does not exist, so the launch would fail: the registry names a removed runtime";
    } else if (!missing.empty()) {
        problem = std::to_wstring(missing.size()) + L" file(s) of the application are missing, first " +
                  missing.front();
    }
    if (problem.empty()) {
        out.Line(L"Verdict: OK - the launcher would start Java " + walk.Chosen() + L" from " + program +
                 L", and every file is in place.");
    } else {
        out.Line(L"Verdict: PROBLEM - " + problem + L".");
    }
    return Result{out.Text(), problem.empty() ? 0 : 1};
}

}  // namespace check
