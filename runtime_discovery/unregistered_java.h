#pragma once
// How the environment names a Java that no installer registered, and how its
// own release file gives its version: text only, the search asks the disk.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace unregistered {

// JAVA_HOME as users write it: blanks around it and surrounding double
// quotes dropped ("C:\Program Files\Java\jdk-17\" with its quotes).
std::wstring Unquoted(std::wstring_view value);

// A folder without its closing backslashes: java.exe's path brings its own.
std::wstring WithoutClosingSeparators(std::wstring folder);

// A drive's folder or a UNC path: one that does not depend on the folder the
// launcher happens to be started in.
bool IsFullPath(std::wstring_view folder);

// The search path's folders in order, as Windows reads them: separated by
// semicolons but within double quotes, which are dropped; empty ones skipped.
std::vector<std::wstring> PathFolders(std::wstring_view path);

// The folder a bin folder (of any case) is in; nothing for another name.
std::optional<std::wstring> BinParent(std::wstring_view folder);

// The version a release file's JAVA_VERSION line gives, its quotes dropped;
// nothing where it has no such line.
std::optional<std::wstring> JavaVersionIn(std::string_view release);

}  // namespace unregistered
