#include "check_report.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "app_error.h"
#include "command_line.h"
#include "mod_main.h"
#include "ui.h"

namespace check {
namespace {

// The launcher would end the process here. Derives from nothing the search
// catches, so it leaves the search as ending the process would.
struct Ended {};

class RecordingUi final : public Ui {
public:
    void ShowMessage(std::wstring_view prompt) override { shown.emplace_back(prompt); }
    [[noreturn]] void EndProcess() override { throw Ended{}; }
    std::vector<std::wstring> shown;
};

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

std::wstring NumberOf(const std::wstring& name) {
    try {
        wchar_t number[32];
        std::swprintf(number, std::size(number), L"%g", ReadVersionNumber(name));
        return L"as " + std::wstring(number);
    } catch (const AppError&) {
        return L"as no number";
    }
}

class Report {
public:
    void Line(const std::wstring& text = L"") { text_ += text + L"\r\n"; }
    std::wstring Text() const { return text_; }

private:
    std::wstring text_;
};

}  // namespace

Result Check(registry::RegistryApi& registry, const Machine& machine, const std::wstring& programFolder,
             std::wstring_view view) {
    Report out;
    out.Line(L"Tessaly Push Gateway check");
    out.Line(L"Launcher folder: " + programFolder);
    out.Line(L"Registry view: " + std::wstring(view) + L", as the launcher of this build reads it");
    out.Line();

    // The launcher's own search decides what it would do.
    RecordingUi ui;
    bool ended = false;
    try {
        LocateJavaHome(registry, ui);
    } catch (const Ended&) {
        ended = true;
    }
    const std::wstring home = JavaHomePath;

    // The same walk again, to say why, name by name.
    const std::wstring key(kJavaRuntimeKey);
    const MRegistry reg(registry);
    const bool keyExists = reg.KeyExists(registry::kLocalMachine, key);
    const SubkeyList versions = keyExists ? reg.EnumRegistryKeys(registry::kLocalMachine, key) : SubkeyList{};
    std::size_t stop = versions.size();
    bool selected = false;
    try {
        stop = SelectVersion(versions);
        selected = stop < versions.size();
    } catch (const AppError&) {
        stop = 0;
        while (stop < versions.size() && NumberOf(versions[stop]) != L"as no number") ++stop;
    }
    out.Line(L"Java versions the launcher looks at, in HKLM\\" + key + L":");
    if (!keyExists) out.Line(L"  The key does not exist.");
    if (keyExists && versions.empty()) out.Line(L"  The key has no version keys.");
    std::size_t width = 0;
    for (const std::wstring& name : versions) width = std::max(width, name.size());
    for (std::size_t i = 0; i < versions.size(); ++i) {
        const std::wstring& name = versions[i];
        const std::wstring verdict = i > stop   ? (selected ? L"not looked at (after the selection)"
                                                            : L"not looked at (after the search stopped)")
                                     : i < stop ? L"skipped (below 1.4)"
                                     : selected ? L"selected"
                                                : L"no number: the search stops here with an error";
        std::wstring reads = L"reads \"" + name.substr(0, 3) + L"\" " + NumberOf(name);
        reads.resize(std::max<std::size_t>(reads.size(), 24), L' ');
        out.Line(L"  " + name + std::wstring(width - name.size() + 2, L' ') + reads + L"  " + verdict);
    }
    const std::wstring chosen = selected ? versions[stop] : std::wstring();
    std::wstring program;
    if (selected) {
        out.Line(L"  JavaHome of " + chosen + L": " + (home.empty() ? L"(empty or unreadable)" : home));
        if (!home.empty()) {
            program = home + std::wstring(launch::kJavaProgram);
            out.Line(L"  " + program + (machine.Exists(program) ? L": present" : L": MISSING"));
        }
    }
    out.Line();

    out.Line(L"What the launcher would do:");
    for (const std::wstring& message : ui.shown) out.Line(L"  Show the message " + Quoted(message));
    if (ended) {
        out.Line(L"  Then stop, without starting Java.");
    } else {
        out.Line(L"  Start: " + launch::BuildJavaCommandLine(home, programFolder));
        out.Line(L"  In the folder: " + programFolder);
    }
    out.Line();

    out.Line(L"Java runtimes the launcher does not search:");
    const std::vector<Runtime> unsearched = machine.UnsearchedRuntimes();
    if (unsearched.empty()) out.Line(L"  None found.");
    for (const Runtime& runtime : unsearched) {
        out.Line(L"  " + runtime.key + L", home " + (runtime.home.empty() ? L"(none)" : runtime.home) +
                 L": not searched by the launcher");
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
    out.Line(L"Plain \"java\" on the search path: " + (plainJava.empty() ? L"not found" : plainJava));
    out.Line();

    std::wstring problem;
    if (ended) {
        problem = keyExists ? L"no Java of version 1.4 or higher is registered where the launcher looks"
                            : L"no Java Runtime Environment is registered where the launcher looks";
        if (!unsearched.empty()) problem += L"; Java is registered elsewhere (listed above), which it does not search";
    } else if (home.empty()) {
        problem = (ui.shown.empty() ? L"the chosen version's JavaHome is empty or unreadable"
                                    : L"the search fails with " + Quoted(ui.shown.front())) +
                  L", so the launcher would fall back to plain \"java\" (" +
                  (plainJava.empty() ? L"not found" : plainJava) + L")";
    } else if (!machine.Exists(program)) {
        problem = program + L" does not exist, so the launch would fail: the registry names a removed runtime";
    } else if (!missing.empty()) {
        problem = std::to_wstring(missing.size()) + L" file(s) of the application are missing, first " +
                  missing.front();
    }
    if (problem.empty()) {
        out.Line(L"Verdict: OK - the launcher would start Java " + chosen + L" from " + program +
                 L", and every file is in place.");
    } else {
        out.Line(L"Verdict: PROBLEM - " + problem + L".");
    }
    return Result{out.Text(), problem.empty() ? 0 : 1};
}

}  // namespace check
