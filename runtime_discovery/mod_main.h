#pragma once
// Chooses the Java runtime the launcher starts.

#include <string>
#include <string_view>

#include "mregistry.h"
#include "ui.h"

// Where the launcher looks for Java, below HKEY_LOCAL_MACHINE.
inline constexpr std::wstring_view kJavaRuntimeKey = L"SOFTWARE\\JavaSoft\\Java Runtime Environment";

// The chosen runtime's folder as the registry's JavaHome gives it, up to its
// first NUL, or empty for plain "java" from the search path.
extern std::wstring JavaHomePath;

// Fills JavaHomePath from the first version key of the Java Runtime
// Environment, in enumeration order, that is 1.4 or higher. The process's own
// registry view is searched first; when it has no such version, the other
// view (otherView, the access bits that name it; 0 when there is none) is
// searched the same way. With no such key in any view, or no such version,
// it tells the user and ends the process. Any error on the way is shown, then
// the search gives up with JavaHomePath empty. It never lets an error reach
// its caller.
void LocateJavaHome(registry::RegistryApi& registry, Ui& ui, std::uint32_t otherView);

// The search's walk over the version keys, in their order: each name is read
// as a number until one is 1.4 or higher. Returns that name's index, or the
// list's size when none qualifies; names after it are not read. Raises
// ReadVersionNumber's error for the first name that is no number.
std::size_t SelectVersion(const SubkeyList& versions);

// The number a version key's name starts with: its first three characters read
// as a plain decimal number, point as separator, whatever the regional
// settings. Raises 13 "Type mismatch" for anything else.
double ReadVersionNumber(std::wstring_view subkeyName);
