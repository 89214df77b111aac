#include "mod_main.h"

#include <cstdint>
#include <new>
#include <vector>

#include "ansi_text.h"
#include "app_error.h"
#include "messages.h"

std::wstring JavaHomePath;

namespace {

const std::wstring kBaseKeyPath(kJavaRuntimeKey);
const std::wstring kVersionKeyPrefix = kBaseKeyPath + L"\\";
const std::wstring kJavaHomeValue = L"JavaHome";
constexpr std::size_t kVersionTextLength = 3;
constexpr double kLowestVersion = 1.4;

[[noreturn]] void ThrowTypeMismatch() {
    throw AppError{messages::kTypeMismatchNumber, std::wstring(messages::kTypeMismatch)};
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// A JavaHome that is not text still names a folder the way a user would read it.
std::wstring ToText(const Variant& value) {
    struct Visitor {
        std::wstring operator()(std::monostate) const { return {}; }
        std::wstring operator()(std::int32_t number) const { return std::to_wstring(number); }
        std::wstring operator()(const std::wstring& text) const { return text; }
        std::wstring operator()(const std::vector<std::uint8_t>& bytes) const {
            return FromAnsi(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        }
    };
    // A folder ends at its first NUL, as the platform would read it: padding
    // and the further strings of a list are no part of it.
    std::wstring text = std::visit(Visitor{}, value);
    return text.substr(0, text.find(L'\0'));
}

void ShowSearchError(Ui& ui, std::wstring_view description) {
    ui.ShowMessage(description);
    ui.ShowMessage(messages::kSearchFailed);
    JavaHomePath.clear();
}

}  // namespace

double ReadVersionNumber(std::wstring_view subkeyName) {
    std::wstring_view text = subkeyName.substr(0, kVersionTextLength);
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

    bool negative = false;
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    // Digits with at most one point, and at least one digit.
    std::uint32_t digits = 0;
    std::uint32_t scale = 1;
    bool point = false;
    bool anyDigit = false;
    for (const wchar_t c : text) {
        if (c == L'.' && !point) {
            point = true;
        } else if (IsDigit(c)) {
            digits = digits * 10 + static_cast<std::uint32_t>(c - L'0');
            if (point) scale *= 10;
            anyDigit = true;
        } else {
            ThrowTypeMismatch();
        }
    }
    if (!anyDigit) ThrowTypeMismatch();
    // Both are exact (three characters at most), so the one division rounds
    // once, to the double nearest the decimal text.
    const double number = static_cast<double>(digits) / scale;
    return negative ? -number : number;
}

std::size_t SelectVersion(const SubkeyList& versions) {
    // The first qualifying version wins, not the newest.
    for (std::size_t i = 0; i < versions.size(); ++i) {
        if (ReadVersionNumber(versions[i]) >= kLowestVersion) return i;
    }
    return versions.size();
}

void LocateJavaHome(registry::RegistryApi& registry, Ui& ui, std::uint32_t otherView) {
    // Ending the process is left for last: nothing here may take it for an error.
    bool nothingToStart = false;
    try {
        JavaHomePath.clear();
        std::vector<std::uint32_t> views{0};
        if (otherView != 0) views.push_back(otherView);
        bool keyFound = false;
        for (const std::uint32_t view : views) {
            const MRegistry reg(registry, view);
            if (!reg.KeyExists(registry::kLocalMachine, kBaseKeyPath)) continue;
            keyFound = true;

            const SubkeyList versions = reg.EnumRegistryKeys(registry::kLocalMachine, kBaseKeyPath);
            const std::size_t selected = SelectVersion(versions);
            if (selected == versions.size()) continue;

            JavaHomePath = ToText(reg.GetRegistryValue(registry::kLocalMachine,
                                                       kVersionKeyPrefix + versions[selected], kJavaHomeValue));
            return;
        }
        ui.ShowMessage(keyFound ? messages::kNoSuitableJava : messages::kJavaNotInstalled);
        nothingToStart = true;
    } catch (const AppError& error) {
        ShowSearchError(ui, error.description);
    } catch (const std::bad_alloc&) {
        ShowSearchError(ui, messages::kOutOfMemory);
    } catch (...) {
        ShowSearchError(ui, messages::kInternalError);
    }
    if (nothingToStart) ui.EndProcess();
}
