#include "java_watch.h"

#include <array>
#include <vector>

#include "decimal.h"
#include "messages.h"

namespace launch {
namespace {

// Up to three bytes a character (UTF-8 as the system's code page): room for
// the quoted characters with their line ends.
constexpr std::size_t kKeptBytes = 4 * kQuotedCharacters;

// A template's %1 to %9 replaced, in one pass: an insert is never read for
// placeholders of its own.
std::wstring Fill(std::wstring_view text, const std::array<std::wstring_view, 3>& inserts) {
    std::wstring filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t index = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - L'1') : inserts.size();
        if (text[i] == L'%' && index < inserts.size()) {
            filled += inserts[index];
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

// Crash codes read best as Windows writes them (0xC0000005), others as numbers.
std::wstring ExitCodeText(std::uint32_t code) {
    if (code < 0x10000) return Decimal(code);
    std::wstring hex = L"0x";
    for (int shift = 28; shift >= 0; shift -= 4) hex += L"0123456789ABCDEF"[(code >> shift) & 0xF];
    return hex;
}

}  // namespace

void OutputTail::Append(std::string_view bytes) {
    kept_ += bytes;
    if (kept_.size() > kKeptBytes) {
        kept_.erase(0, kept_.size() - kKeptBytes);
        cut_ = true;
    }
}

std::wstring QuotedLines(std::wstring_view output, bool cut) {
    std::vector<std::wstring> lines(1);
    for (const wchar_t c : output) {
        if (c == L'\n') {
            lines.emplace_back();
        } else if (c != L'\r') {
            // A NUL would end the box's text: control characters show as marks.
            lines.back() += c < L' ' && c != L'\t' ? L'\uFFFD' : c;
        }
    }
    if (cut && lines.size() > 1) lines.erase(lines.begin());
    while (!lines.empty() && lines.back().find_first_not_of(L" \t") == std::wstring::npos) lines.pop_back();
    std::size_t first = lines.size() > kQuotedLines ? lines.size() - kQuotedLines : 0;
    std::size_t length = 0;
    for (std::size_t i = first; i < lines.size(); ++i) length += lines[i].size() + 2;
    // The oldest lines give way first; the last one is always kept.
    while (first + 1 < lines.size() && length > kQuotedCharacters + 2) length -= lines[first++].size() + 2;
    std::wstring quoted;
    for (std::size_t i = first; i < lines.size(); ++i) quoted += (i > first ? L"\r\n" : L"") + lines[i];
    // One line longer than all the rest: its end, where Java says what went wrong.
    if (quoted.size() > kQuotedCharacters) quoted = L"\u2026" + quoted.substr(quoted.size() - kQuotedCharacters);
    return quoted;
}

std::optional<std::wstring> StoppedJavaReport(const WatchedJava& java, std::wstring_view programFolder) {
    if (!java.ended || java.exitCode == 0) return std::nullopt;
    const std::wstring lines = QuotedLines(java.output, java.outputCut);
    const std::wstring said = lines.empty() ? std::wstring(messages::kJavaWroteNothing)
                                            : std::wstring(messages::kJavaWroteLast) + L"\r\n" + lines;
    std::wstring check(programFolder);
    if (check.empty() || check.back() != L'\\') check += L'\\';
    check += L"TessalyCheck.exe";
    return Fill(messages::kJavaStopped, {ExitCodeText(java.exitCode), said, check});
}

std::wstring PipeName(const std::array<std::uint8_t, 16>& random) {
    std::wstring name = L"\\\\.\\pipe\\TessalyPushGateway-";
    for (const std::uint8_t byte : random) {
        name += L"0123456789abcdef"[byte >> 4];
        name += L"0123456789abcdef"[byte & 0xF];
    }
    return name;
}

bool UnderAFreeName(const std::function<std::wstring()>& freshName,
                    const std::function<bool(const std::wstring&)>& make) {
    for (int i = 0; i < kPipeNameTries; ++i) {
        if (make(freshName())) return true;
    }
    return false;
}

}  // namespace launch
