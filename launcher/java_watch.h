#pragma once
// What the launcher makes of the Java it started: it watches it for a short
// window, keeping the last of what it writes, and tells the user when it stops
// with an error before the window closes. Pure logic: the watching itself is
// the launch sequence's.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace launch {

// A JVM that cannot start the gateway (a missing or damaged jar, a class built
// for a newer Java, a heap it cannot reserve) says so and ends within a
// fraction of a second once its files are in the disk cache, and within
// seconds on a cold start; docs/performance.md has the figures. A gateway
// still running after ten seconds has started.
inline constexpr std::uint32_t kWatchWindowMs = 10000;

// The most that is quoted of what Java wrote.
inline constexpr std::size_t kQuotedLines = 10;
inline constexpr std::size_t kQuotedCharacters = 1000;

// The last bytes Java wrote: enough for the quoted lines in any code page.
class OutputTail {
public:
    void Append(std::string_view bytes);
    std::string_view Bytes() const { return kept_; }
    // Whether earlier bytes were dropped, so the first kept line may be a
    // line's end, or even half a character.
    bool Cut() const { return cut_; }

private:
    std::string kept_;
    bool cut_ = false;
};

// The watch's outcome: whether Java ended within the window, and if so its
// exit code and the last of what it wrote, decoded.
struct WatchedJava {
    bool ended = false;
    std::uint32_t exitCode = 0;
    std::wstring output;
    bool outputCut = false;
};

// The last lines of a text, at most kQuotedLines and about kQuotedCharacters,
// as a box shows them: lines joined by CR LF, control characters made visible.
std::wstring QuotedLines(std::wstring_view output, bool cut);

// The box for a Java that ended with an error within the window, naming the
// TessalyCheck.exe in the program folder; nothing when Java runs on, or ended
// with 0 by its own choice.
std::optional<std::wstring> StoppedJavaReport(const WatchedJava& java, std::wstring_view programFolder);

// Java's output pipe is named with a random part no other process can know in
// advance: "\\.\pipe\TessalyPushGateway-" and 32 hexadecimal digits.
std::wstring PipeName(const std::array<std::uint8_t, 16>& random);

// A name already taken (by another process, against all odds) is given up for
// a new one, this many times in all.
inline constexpr int kPipeNameTries = 4;

// Calls make with fresh names until it takes one (true) or has been refused
// kPipeNameTries times (false). make raises what is no refusal.
bool UnderAFreeName(const std::function<std::wstring()>& freshName,
                    const std::function<bool(const std::wstring&)>& make);

}  // namespace launch
