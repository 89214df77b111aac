#include "fake_registry.h"

#include <algorithm>
#include <cstring>

using registry::Key;
using registry::Status;

namespace {

constexpr Status kFileNotFound = 2;
constexpr Status kAccessDenied = 5;
constexpr Status kInvalidHandle = 6;

}  // namespace

FakeRegistry::Node* FakeRegistry::Find(Node* from, const std::string& path, bool create) {
    Node* node = from;
    std::size_t start = 0;
    while (node != nullptr && start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        auto it = std::find_if(node->subkeys.begin(), node->subkeys.end(),
                               [&](const auto& child) { return child->name == part; });
        if (it != node->subkeys.end()) {
            node = it->get();
        } else if (create) {
            node->subkeys.push_back(std::make_unique<Node>());
            node->subkeys.back()->name = part;
            node = node->subkeys.back().get();
        } else {
            node = nullptr;
        }
    }
    return node;
}

FakeRegistry::Node* FakeRegistry::Resolve(Key key) {
    if (key == registry::kLocalMachine) return &root_;
    const auto it = open_.find(key);
    return it == open_.end() ? nullptr : it->second;
}

void FakeRegistry::AddKey(const std::string& path) { Find(&root_, path, true); }

void FakeRegistry::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                            std::vector<std::uint8_t> data) {
    Find(&root_, path, true)->values[name] = Value{type, std::move(data), 0, 0};
}

void FakeRegistry::SetString(const std::string& path, const std::string& name, const std::string& text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    SetValue(path, name, registry::kString, std::move(data));
}

void FakeRegistry::DenyAccess(const std::string& path) { Find(&root_, path, true)->denied = true; }

void FakeRegistry::FailEnumerationAt(const std::string& path, std::uint32_t index, Status status) {
    Node* node = Find(&root_, path, true);
    node->failEnumeration = true;
    node->failIndex = index;
    node->failStatus = status;
}

void FakeRegistry::GrowAfterQueries(const std::string& path, const std::string& name, std::size_t bytes,
                                    int times) {
    Value& value = Find(&root_, path, false)->values.at(name);
    value.growth = bytes;
    value.growthsLeft = times;
}

Status FakeRegistry::RegOpenKeyExA(Key key, const char* subKey, std::uint32_t, std::uint32_t, Key* result) {
    ++calls_;
    Node* parent = Resolve(key);
    if (parent == nullptr) return kInvalidHandle;
    Node* node = Find(parent, subKey, false);
    if (node == nullptr) return kFileNotFound;
    if (node->denied) return kAccessDenied;
    *result = static_cast<Key>(nextHandle_++);
    open_[*result] = node;
    return registry::kSuccess;
}

Status FakeRegistry::RegEnumKeyA(Key key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    ++calls_;
    Node* node = Resolve(key);
    if (node == nullptr) return kInvalidHandle;
    if (node->failEnumeration && index == node->failIndex) return node->failStatus;
    if (index >= node->subkeys.size()) return registry::kNoMoreItems;
    const std::string& subkey = node->subkeys[index]->name;
    if (subkey.size() + 1 > nameSize) return registry::kMoreData;
    std::memcpy(name, subkey.c_str(), subkey.size() + 1);
    return registry::kSuccess;
}

Status FakeRegistry::RegQueryValueExA(Key key, const char* valueName, std::uint32_t*, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* size) {
    ++calls_;
    ++queries_;
    Node* node = Resolve(key);
    if (node == nullptr) return kInvalidHandle;
    const auto it = node->values.find(valueName);
    if (it == node->values.end()) return kFileNotFound;
    Value& value = it->second;
    const auto stored = static_cast<std::uint32_t>(value.data.size());
    Status status = registry::kSuccess;
    if (stored > *size) {
        status = registry::kMoreData;
    } else if (stored > 0) {
        std::memcpy(data, value.data.data(), stored);
    }
    *type = value.type;
    *size = stored;
    // Growth keeps a string well-formed: the new bytes go in front.
    if (value.growthsLeft > 0) {
        --value.growthsLeft;
        value.data.insert(value.data.begin(), value.growth, 'g');
    }
    return status;
}

Status FakeRegistry::RegCloseKey(Key key) {
    ++calls_;
    if (key == registry::kLocalMachine) {
        ++rootCloses_;
        return registry::kSuccess;
    }
    if (open_.erase(key) == 1) return registry::kSuccess;
    ++strayCloses_;
    return kInvalidHandle;
}

void FakeRegistry::RtlMoveMemory(void* destination, const void* source, std::size_t length) {
    ++calls_;
    if (length > 0) std::memmove(destination, source, length);
}
