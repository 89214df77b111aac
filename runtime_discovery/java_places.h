#pragma once
// Where today's Java installers register a runtime, in the order the launcher
// searches them when the Java Runtime Environment key has none of 1.4 or
// higher: JavaSoft's own keys first, then the other makers', runtimes before
// development kits. docs/java-places.md gives the installer behind each row and
// where its layout is documented.

#include <cstddef>
#include <string_view>

// java.exe below a runtime's home: what the search asks of a folder, and what
// the launcher starts.
inline constexpr std::wstring_view kJavaProgram = L"\\bin\\java.exe";

struct JavaPlace {
    std::wstring_view name;  // as TessalyCheck names it: "Eclipse Adoptium JDK"
    std::wstring_view key;   // below the root; its subkeys are the versions
    std::wstring_view below; // the key below a version that holds the value, or empty
    std::wstring_view value; // names the runtime's folder
    bool perUser;            // the installer can also register in HKEY_CURRENT_USER
};

inline constexpr JavaPlace kJavaPlaces[] = {
    {L"JavaSoft JRE", L"SOFTWARE\\JavaSoft\\JRE", L"", L"JavaHome", false},
    {L"JavaSoft JDK", L"SOFTWARE\\JavaSoft\\JDK", L"", L"JavaHome", false},
    {L"JavaSoft Java Development Kit", L"SOFTWARE\\JavaSoft\\Java Development Kit", L"", L"JavaHome", false},
    {L"Eclipse Adoptium JRE", L"SOFTWARE\\Eclipse Adoptium\\JRE", L"\\hotspot\\MSI", L"Path", true},
    {L"Eclipse Adoptium JDK", L"SOFTWARE\\Eclipse Adoptium\\JDK", L"\\hotspot\\MSI", L"Path", true},
    {L"Eclipse Foundation JDK", L"SOFTWARE\\Eclipse Foundation\\JDK", L"\\hotspot\\MSI", L"Path", true},
    {L"AdoptOpenJDK JRE", L"SOFTWARE\\AdoptOpenJDK\\JRE", L"\\hotspot\\MSI", L"Path", true},
    {L"AdoptOpenJDK JDK", L"SOFTWARE\\AdoptOpenJDK\\JDK", L"\\hotspot\\MSI", L"Path", true},
    {L"AdoptOpenJDK JRE with OpenJ9", L"SOFTWARE\\AdoptOpenJDK\\JRE", L"\\openj9\\MSI", L"Path", true},
    {L"AdoptOpenJDK JDK with OpenJ9", L"SOFTWARE\\AdoptOpenJDK\\JDK", L"\\openj9\\MSI", L"Path", true},
    {L"IBM Semeru JRE", L"SOFTWARE\\Semeru\\JRE", L"\\openj9\\MSI", L"Path", true},
    {L"IBM Semeru JDK", L"SOFTWARE\\Semeru\\JDK", L"\\openj9\\MSI", L"Path", true},
    {L"Microsoft Build of OpenJDK", L"SOFTWARE\\Microsoft\\JDK", L"\\hotspot\\MSI", L"Path", true},
    {L"Azul Zulu", L"SOFTWARE\\Azul Systems\\Zulu", L"", L"InstallationPath", false},
    {L"Azul Zulu 32-bit", L"SOFTWARE\\Azul Systems\\Zulu 32-bit", L"", L"InstallationPath", false},
    {L"BellSoft Liberica", L"SOFTWARE\\BellSoft\\Liberica", L"", L"InstallationPath", false},
};

// Where a Java that no installer registered is found, in this order, only
// when none of the places above has one: the folder JAVA_HOME names, then
// each folder on the search path that is a Java's bin folder. docs/java-places.md
// gives why a folder on the path must be named bin.
struct UnregisteredPlace {
    std::wstring_view name;      // as TessalyCheck names it
    std::wstring_view variable;  // the environment variable that names it
    bool binFolders;             // a list of folders, each a Java's bin folder, rather than a Java's own folder
};

inline constexpr UnregisteredPlace kUnregisteredPlaces[] = {
    {L"JAVA_HOME", L"JAVA_HOME", false},
    {L"Search path", L"PATH", true},
};

// The file a Java of version 7 or later has in its folder, whose JAVA_VERSION
// line gives its version; only its start is read.
inline constexpr std::wstring_view kReleaseFile = L"\\release";
inline constexpr std::size_t kReleaseFileMost = 8192;
