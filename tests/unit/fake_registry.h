#pragma once
// An in-memory registry behind the platform's contracts: statuses 0, 234 and
// 259, names followed by a NUL, dense indices, type and size untouched by a
// failed query. It counts handles, and can misbehave the ways the platform may.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "registry_api.h"

class FakeRegistry final : public registry::RegistryApi {
public:
    // Paths below HKEY_LOCAL_MACHINE; missing levels are created. Subkeys
    // enumerate in the order they were added.
    void AddKey(const std::string& path);
    void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                  std::vector<std::uint8_t> data);
    // A REG_SZ value with its terminating NUL.
    void SetString(const std::string& path, const std::string& name, const std::string& text);
    void DenyAccess(const std::string& path);
    // Enumerating this key at index fails with status.
    void FailEnumerationAt(const std::string& path, std::uint32_t index, registry::Status status);
    // After each of the next `times` queries of this value, another writer
    // makes it `bytes` longer.
    void GrowAfterQueries(const std::string& path, const std::string& name, std::size_t bytes, int times);

    int OpenHandles() const { return static_cast<int>(open_.size()); }
    int RootCloses() const { return rootCloses_; }
    int StrayCloses() const { return strayCloses_; }
    int Queries() const { return queries_; }
    // Every call of the five platform operations.
    long Calls() const { return calls_; }

    registry::Status RegOpenKeyExA(registry::Key key, const char* subKey, std::uint32_t options,
                                   std::uint32_t access, registry::Key* result) override;
    registry::Status RegEnumKeyA(registry::Key key, std::uint32_t index, char* name, std::uint32_t nameSize) override;
    registry::Status RegQueryValueExA(registry::Key key, const char* valueName, std::uint32_t* reserved,
                                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override;
    registry::Status RegCloseKey(registry::Key key) override;
    void RtlMoveMemory(void* destination, const void* source, std::size_t length) override;

private:
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        std::size_t growth = 0;
        int growthsLeft = 0;
    };
    struct Node {
        std::string name;
        std::vector<std::unique_ptr<Node>> subkeys;
        std::map<std::string, Value> values;
        bool denied = false;
        bool failEnumeration = false;
        std::uint32_t failIndex = 0;
        registry::Status failStatus = 0;
    };

    Node* Find(Node* from, const std::string& path, bool create);
    Node* Resolve(registry::Key key);

    Node root_;
    std::map<registry::Key, Node*> open_;
    std::uintptr_t nextHandle_ = 0x1000;
    int rootCloses_ = 0;
    int strayCloses_ = 0;
    int queries_ = 0;
    long calls_ = 0;
};
