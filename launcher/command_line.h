#pragma once
// The command line that starts the Java application, and the program folder it
// is built around. Pure functions: no platform call, nothing to clean up.

#include <array>
#include <string>
#include <string_view>

#include "java_places.h"

namespace launch {

// Tells the gateway it was started by its launcher and should serve at once.
inline constexpr std::wstring_view kStartupArgument = L"autostart";

// The class path, each entry after the program folder: the jars, then the
// application's folder itself.
inline constexpr std::array<std::wstring_view, 6> kClassPath = {
    L"\\DarAvizAru\\lib\\slf4j-api-1.1.0.jar",
    L"\\DarAvizAru\\lib\\slf4j-log4j12-1.1.0.jar",
    L"\\DarAvizAru\\lib\\daravizaru.jar",
    L"\\DarAvizAru\\lib\\jdc.jar",
    L"\\DarAvizAru\\lib\\log4j-1.2.8.jar",
    L"\\DarAvizAru",
};

// javaHome empty: plain "java" from the search path. Neither folder is
// normalised: each piece after a folder brings its own backslash.
std::wstring BuildJavaCommandLine(std::wstring_view javaHome, std::wstring_view programFolder);

// The program that command line starts: the home's java.exe, or plain "java".
std::wstring JavaProgram(std::wstring_view javaHome);

// The folder of a module path: no trailing backslash, except at a drive root
// ("D:\"), which keeps it; "\\?\D:\x" and "\\?\UNC\server\share\x" in
// their ordinary forms, "D:\x" and "\\server\share\x".
std::wstring ProgramFolderOf(std::wstring_view modulePath);

}  // namespace launch
