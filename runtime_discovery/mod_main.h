#pragma once
// Chooses the Java runtime the launcher starts.

#include <string>
#include <string_view>
#include <vector>

#include "environment.h"
#include "files.h"
#include "mregistry.h"
#include "ui.h"

// Where the launcher looks for Java first, below HKEY_LOCAL_MACHINE.
inline constexpr std::wstring_view kJavaRuntimeKey = L"SOFTWARE\\JavaSoft\\Java Runtime Environment";

// The chosen runtime's folder as the registry gives it, up to its first NUL,
// or empty for plain "java" from the search path.
extern std::wstring JavaHomePath;

// How far a version key got: the check it stopped at, kTaken when it passed
// them all. A folder no installer registered can also be empty, no full
// path, or (on the search path) no Java's bin folder.
enum class Verdict { kNoNumber, kTooOld, kUnreadable, kEmpty, kNotAFullPath, kNotBin, kNoJavaExe, kTaken };

struct VersionRead {
    std::wstring name;    // for a folder no installer registered: the version its release file gives, if any
    Verdict verdict = Verdict::kNoNumber;
    double number = 0;    // the version its name gives, once read
    std::wstring folder;  // the runtime's folder, once read
};

// One key the search looked for, in one registry view, and what it read there;
// or an environment variable (no root), its folders taking the versions' place.
struct PlaceRead {
    std::wstring_view name;  // "Java Runtime Environment", "Eclipse Adoptium JDK", "JAVA_HOME"
    std::wstring_view key;   // below the root, or the variable's name
    registry::Key root{};
    std::uint32_t view = 0;  // the access bits that name it; 0 for the process's own
    bool keyExists = false;          // or the variable is set
    SubkeyList versions;             // all the key lists, in its order; the folders the variable names
    std::vector<VersionRead> read;   // those the search read, in order
};

// The search's walk, key by key, as far as it went.
using SearchRecord = std::vector<PlaceRead>;

// Fills JavaHomePath. First from the Java Runtime Environment key: its first
// version key, in enumeration order, that is 1.4 or higher, in the process's
// own registry view and then in the other (otherView, the access bits that
// name it; 0 when there is none). Any error there is shown, and the search
// gives up with JavaHomePath empty. Where that key has no such version, the
// places where today's installers register Java (java_places.h) are searched
// the same way, each version also needing a bin\java.exe, and skipped
// silently when unreadable. Where none of these has one, the folders that
// JAVA_HOME and the search path name (java_places.h) are searched, and a Java
// there is taken when its release file, if it has one, gives 1.4 or higher.
// With nothing found, it tells the user and ends the process. It never lets
// an error reach its caller. The walk goes into record when one is given,
// with the places after the choice listed, unread.
void LocateJavaHome(registry::RegistryApi& registry, Ui& ui, std::uint32_t otherView, const Files& files,
                    const Environment& environment, SearchRecord* record = nullptr);
