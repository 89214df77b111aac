#pragma once
// The command line that starts the Java application, and the program folder it
// is built around. Pure functions: no platform call, nothing to clean up.

#include <string>
#include <string_view>

namespace launch {

// Tells the gateway it was started by its launcher and should serve at once.
inline constexpr std::wstring_view kStartupArgument = L"autostart";

// javaHome empty: plain "java" from the search path. Neither folder is
// normalised: each piece after a folder brings its own backslash.
std::wstring BuildJavaCommandLine(std::wstring_view javaHome, std::wstring_view programFolder);

// The folder of a module path: no trailing backslash, except at a drive root
// ("D:\"), which keeps it.
std::wstring ProgramFolderOf(std::wstring_view modulePath);

}  // namespace launch
