#include "command_line.h"

namespace launch {
namespace {

constexpr std::wstring_view kJavaOnSearchPath = L"java";
constexpr std::wstring_view kClassPathOption = L"-classpath";
constexpr std::wstring_view kMainClass = L"pdu_next.Frame11";

}  // namespace

std::wstring BuildJavaCommandLine(std::wstring_view javaHome, std::wstring_view programFolder) {
    // Quoted, so a home with blanks stays one program path.
    std::wstring line = javaHome.empty() ? JavaProgram(javaHome) : L"\"" + JavaProgram(javaHome) + L"\"";
    line.append(L" ").append(kClassPathOption).append(L" ");
    for (std::size_t i = 0; i < kClassPath.size(); ++i) {
        if (i > 0) line += L';';
        line.append(L"\"").append(programFolder).append(kClassPath[i]).append(L"\"");
    }
    line.append(L" ").append(kMainClass).append(L" ").append(kStartupArgument);
    return line;
}

std::wstring JavaProgram(std::wstring_view javaHome) {
    return javaHome.empty() ? std::wstring(kJavaOnSearchPath) : std::wstring(javaHome).append(kJavaProgram);
}

std::wstring ProgramFolderOf(std::wstring_view modulePath) {
    // Started through a \\?\ path, Windows reports the exe's path in that form,
    // which Java's class path does not read: a drive or share path is given in
    // its ordinary form instead. (A volume name has none.)
    std::wstring ordinary;
    if (modulePath.substr(0, 8) == L"\\\\?\\UNC\\") {
        ordinary = L"\\\\";
        modulePath.remove_prefix(8);
    } else if (modulePath.size() > 6 && modulePath.substr(0, 4) == L"\\\\?\\" && modulePath.substr(5, 2) == L":\\") {
        modulePath.remove_prefix(4);
    }
    const std::size_t slash = modulePath.rfind(L'\\');
    if (slash == std::wstring_view::npos) return {};
    // "D:" alone would name that drive's current directory, not its root.
    const bool driveRoot = slash > 0 && modulePath[slash - 1] == L':';
    return ordinary.append(modulePath.substr(0, driveRoot ? slash + 1 : slash));
}

}  // namespace launch
