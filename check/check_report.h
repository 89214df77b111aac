#pragma once
// TessalyCheck's report: what the launcher beside it would do with this
// machine's registry and files, and why. It reads and never writes.

#include <string>
#include <string_view>
#include <vector>

#include "registry_api.h"

namespace check {

// A Java runtime registered where the launcher does not look.
struct Runtime {
    std::wstring key;   // the version key as regedit shows it, with its registry view
    std::wstring home;  // its JavaHome, or empty
};

// What the report needs of the machine beyond the launcher's own registry view.
class Machine {
public:
    virtual ~Machine() = default;
    virtual bool Exists(const std::wstring& path) const = 0;
    // Where Windows would find plain "java" for a launcher in that folder;
    // empty when nowhere.
    virtual std::wstring FindJava(const std::wstring& programFolder) const = 0;
    virtual std::vector<Runtime> UnsearchedRuntimes() const = 0;
};

struct Result {
    std::wstring report;  // lines end in CR LF
    int exitCode;         // 0 when the launch would start Java 1.4 or higher with every file present
};

// registry is the view the launcher reads; view names it ("64-bit").
Result Check(registry::RegistryApi& registry, const Machine& machine, const std::wstring& programFolder,
             std::wstring_view view);

}  // namespace check
