#pragma once
// TessalyCheck's report: what the launcher beside it would do with this
// machine's registry and files, and why. It reads and never writes.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "environment.h"
#include "files.h"
#include "registry_api.h"

namespace check {

// What the report needs of the machine beyond the registry.
class Machine : public Files, public Environment {
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

// The console the check writes to, as Windows describes it.
struct Console {
    bool ofItsOwn = false;      // its only process, and both its input and its output
    bool hasWindow = false;     // Windows Terminal's hidden pseudo window counts: the terminal shows that console
    bool startedHidden = false; // STARTF_USESHOWWINDOW with SW_HIDE
    std::wstring windowStation; // "WinSta0" where a user sits; a service's or a background task's is another
};

// Double-clicked, the check has a console of its own, which closes the moment
// it ends: there it asks for Enter. Anywhere nobody can see that console (made
// without a window, started hidden, outside the interactive window station),
// or where it is shared or redirected, a wait would hang its caller: never.
bool AsksForEnter(const Console& console);

// One console write on Windows XP to 7 takes its buffer from a 64 KB heap the
// process shares, and fails whole when that is short: a long report goes in
// pieces of at most this many UTF-16 units.
inline constexpr std::size_t kConsolePiece = 4096;

// Hands text to write in pieces of at most kConsolePiece units, each ending at
// a line's end where the line fits in a piece, never between a CR and its LF
// or the two halves of a surrogate pair, and stops at the first piece it
// refuses.
// True when every piece was written.
bool WriteInPieces(std::wstring_view text, const std::function<bool(std::wstring_view)>& write);

}  // namespace check
