#pragma once
// Every text the user can see, in one place. They are worded exactly as the
// product has always shown them, spelling included.

#include <cstdint>
#include <string_view>

#include "identity.h"

namespace messages {

// The caption of every message box.
inline constexpr std::wstring_view kAppTitle = L"" TESSALY_APP_TITLE;

// The registry holds no Java Runtime Environment at all.
inline constexpr std::wstring_view kJavaNotInstalled =
    L"You have not Installed Java Runtime Environment on your computer.\r\n"
    L"Download and install Java Runtime Environment Version 1.4 or higher version.\r\n"
    L"Please refer installtion guide of Tessaly Handset Gateway for further help";

// Java is registered, but no version of 1.4 or higher.
inline constexpr std::wstring_view kNoSuitableJava =
    L"Java Runtime Environment version 1.4 or higher version is not avaiable";

// Second box after any error met while searching; the first one shows the error.
inline constexpr std::wstring_view kSearchFailed = L"Error While Searching JVM on Your Machine";

// Errors the launcher raises itself.
inline constexpr std::int32_t kOutOfMemoryNumber = 7;
inline constexpr std::wstring_view kOutOfMemory = L"Out of memory";
inline constexpr std::int32_t kTypeMismatchNumber = 13;
inline constexpr std::wstring_view kTypeMismatch = L"Type mismatch";
inline constexpr std::int32_t kInternalErrorNumber = 51;
inline constexpr std::wstring_view kInternalError = L"Internal error";
inline constexpr std::int32_t kUnsupportedValueTypeNumber = 1001;
inline constexpr std::wstring_view kUnsupportedValueType = L"Unsupported value type";

// The one box of a launch that failed after Java was chosen; the error's number
// and description follow it.
inline constexpr std::wstring_view kLaunchFailed = L"The Java application could not be started.";
// The box for a Java that ended with an error as soon as it started: %1 its
// exit code, %2 what it wrote last (or that it wrote nothing), %3 the
// TessalyCheck.exe beside the launcher.
inline constexpr std::wstring_view kJavaStopped =
    L"The Java application stopped as soon as it started, with exit code %1.\r\n\r\n"
    L"%2\r\n\r\n"
    L"To see which Java was started and whether every file is in place, run %3";
inline constexpr std::wstring_view kJavaWroteLast = L"What it wrote last:";
inline constexpr std::wstring_view kJavaWroteNothing = L"It wrote nothing.";
// Stands in for the system's text when it has none for an error number.
inline constexpr std::wstring_view kUnknownSystemError = L"Unknown error.";

// The splash window. Its version is the one users know the product by; the
// version resource keeps its own "1.00".
inline constexpr std::wstring_view kSplashCaption = L"Tessaly Push Server";
inline constexpr std::wstring_view kCompanyName = L"" TESSALY_COMPANY_NAME;
inline constexpr std::wstring_view kProductName = L"Tessaly Push Gateway";
inline constexpr std::wstring_view kSplashVersion = L"Version 1.0.1";
inline constexpr std::wstring_view kPlatforms = L"For Windows - 9X/NT/2000/XP";
inline constexpr std::wstring_view kRightsNotice = L"\u00A9 2007 All rights reserved.";
inline constexpr std::wstring_view kCity = L"Austin, Texas";
inline constexpr std::wstring_view kContactLine =
    L"Ph: +1 512 555 0142, Web: www.tessaly.example, Email: info@tessaly.example";
// The bottom line carries no warning in this release; the blank keeps its place.
inline constexpr std::wstring_view kWarning = L" ";

}  // namespace messages
