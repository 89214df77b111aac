#include "command_line.h"

namespace launch {
namespace {

constexpr std::wstring_view kJavaOnSearchPath = L"java";
constexpr std::wstring_view kClassPathOption = L"-classpath";
constexpr std::wstring_view kMainClass = L"pdu_next.Frame11";

}  // namespace

std::wstring BuildJavaCommandLine(std::wstring_view javaHome, std::wstring_view programFolder) {
    std::wstring line;
    if (javaHome.empty()) {
        line += kJavaOnSearchPath;
    } else {
        // Quoted, so a home with blanks stays one program path.
        line.append(L"\"").append(javaHome).append(kJavaProgram).append(L"\"");
    }
    line.append(L" ").append(kClassPathOption).append(L" ");
    for (std::size_t i = 0; i < kClassPath.size(); ++i) {
        if (i > 0) line += L';';
        line.append(L"\"").append(programFolder).append(kClassPath[i]).append(L"\"");
    }
    line.append(L" ").append(kMainClass).append(L" ").append(kStartupArgument);
    return line;
}

std::wstring ProgramFolderOf(std::wstring_view modulePath) {
    const std::size_t slash = modulePath.rfind(L'\\');
    if (slash == std::wstring_view::npos) return {};
    // "D:" alone would name that drive's current directory, not its root.
    const bool driveRoot = slash > 0 && modulePath[slash - 1] == L':';
    return std::wstring(modulePath.substr(0, driveRoot ? slash + 1 : slash));
}

}  // namespace launch
