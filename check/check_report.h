#pragma once
// TessalyCheck's report: what the launcher beside it would do with this
// machine's registry and files, and why. It reads and never writes.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files.h"
#include "registry_api.h"

namespace check {

// What the report needs of the machine beyond the registry.
class Machine : public Files {
public:
    // Where Windows would find plain "java" for a launcher in that folder;
    // empty when nowhere.
    virtual std::wstring FindJava(const std::wstring& programFolder) const = 0;
};

struct Result {
    std::wstring report;  // lines end in CR LF
    int exitCode;         // 0 when the launch would start Java 1.4 or higher with every file present
};

// The registry views as the launcher searches them: its own, which ownView
// names ("64-bit"), then the one whose access bits are otherView (0: none).
Result Check(registry::RegistryApi& registry, const Machine& machine, const std::wstring& programFolder,
             std::wstring_view ownView, std::uint32_t otherView);

// One console write on Windows XP to 7 takes its buffer from a 64 KB heap the
// process shares, and fails whole when that is short: a long report goes in
// pieces of at most this many UTF-16 units.
inline constexpr std::size_t kConsolePiece = 4096;

// Hands text to write in pieces of at most kConsolePiece units, never between
// the two halves of a surrogate pair, and stops at the first piece it refuses.
// True when every piece was written.
bool WriteInPieces(std::wstring_view text, const std::function<bool(std::wstring_view)>& write);

}  // namespace check
