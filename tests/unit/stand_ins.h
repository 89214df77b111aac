#pragma once
// The platform as the host tests see it. An in-memory registry that keeps the
// contracts of the five registry operations (statuses 0, 2, 5, 234 and 259,
// names followed by a NUL, dense indices, type and size untouched by a failed
// query), refuses any access but reading as HKLM does a standard user, and
// counts the keys it hands out. A recorder for message boxes, whose end of the
// process throws a type nothing in the product catches.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app_error.h"
#include "registry_api.h"
#include "ui.h"

class FakeRegistry final : public registry::RegistryApi {
public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        std::size_t growth = 0;  // bytes another writer adds after each query...
        int growths = 0;         // ...this many times
    };

    // Paths below HKEY_LOCAL_MACHINE; missing levels are made. Subkeys list in
    // the order they were added.
    void AddKey(const std::string& path);
    void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                  std::vector<std::uint8_t> data);
    void SetString(const std::string& path, const std::string& name, const std::string& text);  // with its NUL

    std::map<std::pair<std::string, std::string>, Value> values;  // by path and name
    std::set<std::string> denied;                                // paths that refuse to open
    std::map<std::string, std::pair<std::uint32_t, registry::Status>> failEnumeration;  // path: index, status
    std::map<registry::Key, std::string> open;                   // handles handed out and not closed
    int rootCloses = 0, strayCloses = 0;

    registry::Status RegOpenKeyExA(registry::Key key, const char* subKey, std::uint32_t options,
                                   std::uint32_t access, registry::Key* result) override;
    registry::Status RegEnumKeyA(registry::Key key, std::uint32_t index, char* name, std::uint32_t nameSize) override;
    registry::Status RegQueryValueExA(registry::Key key, const char* valueName, std::uint32_t* reserved,
                                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override;
    registry::Status RegCloseKey(registry::Key key) override;
    void RtlMoveMemory(void* destination, const void* source, std::size_t length) override;

private:
    std::map<std::string, std::vector<std::string>> subkeys_{{"", {}}};  // every key, "" the root
    std::uintptr_t nextHandle_ = 0x1000;
};

struct ProcessEnded {};

class RecordingUi final : public Ui {
public:
    void ShowMessage(std::wstring_view prompt) override { boxes.emplace_back(prompt); }
    [[noreturn]] void EndProcess() override { throw ProcessEnded{}; }
    std::vector<std::wstring> boxes;
};

// The error a call raises, as "number description"; "none" when it raises none.
template <typename Call>
std::wstring ErrorOf(Call call) {
    try {
        call();
    } catch (const AppError& error) {
        return std::to_wstring(error.number) + L" " + error.description;
    }
    return L"none";
}
