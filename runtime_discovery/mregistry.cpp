#include "mregistry.h"

#include <algorithm>
#include <utility>

#include "ansi_text.h"
#include "app_error.h"
#include "messages.h"

using registry::Key;
using registry::RegistryApi;
using registry::Status;

namespace {

constexpr std::uint32_t kNameBufferSize = 260;
constexpr std::uint32_t kFirstDataBufferSize = 1024;
// A value that keeps growing between queries is not chased for ever.
constexpr int kMaxQueries = 4;

// A key this module opened; closed on every way out, the error path included.
class OpenedKey {
public:
    OpenedKey(RegistryApi& api, Key key) : api_(api), key_(key) {}
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey() { api_.RegCloseKey(key_); }

private:
    RegistryApi& api_;
    Key key_;
};

bool Open(RegistryApi& api, std::uint32_t view, Key parent, const std::wstring& path, Key& opened) {
    return api.RegOpenKeyExA(parent, ToAnsi(path).c_str(), 0, registry::kKeyRead | view, &opened) ==
           registry::kSuccess;
}

[[noreturn]] void ThrowUnsupportedValueType() {
    throw AppError{messages::kUnsupportedValueTypeNumber, std::wstring(messages::kUnsupportedValueType)};
}

// The first `length` bytes of the buffer as text; never more than it holds.
std::wstring DecodeText(RegistryApi& api, const std::vector<std::uint8_t>& buffer, std::uint32_t length) {
    std::string bytes(std::min<std::size_t>(length, buffer.size()), '\0');
    api.RtlMoveMemory(bytes.data(), buffer.data(), bytes.size());
    return FromAnsi(bytes);
}

// The length of the first `size` bytes without up to `most` NULs at their end.
std::uint32_t WithoutTerminators(const std::vector<std::uint8_t>& buffer, std::uint32_t size, int most) {
    while (most-- > 0 && size > 0 && buffer[size - 1] == 0) --size;
    return size;
}

// Every status but success ends the list, the end-of-list one or any other.
SubkeyList ListSubkeys(RegistryApi& api, Key key) {
    SubkeyList names;
    std::string buffer;
    for (std::int32_t index = 0;; ++index) {
        buffer.assign(kNameBufferSize, ' ');
        if (api.RegEnumKeyA(key, static_cast<std::uint32_t>(index), buffer.data(), kNameBufferSize) !=
            registry::kSuccess) {
            return names;
        }
        names.push_back(FromAnsi(std::string_view(buffer).substr(0, buffer.find('\0'))));
    }
}

}  // namespace

bool MRegistry::KeyExists(Key key, const std::wstring& path) const {
    Key opened{};
    if (!Open(api_, view_, key, path, opened)) return false;
    api_.RegCloseKey(opened);
    return true;
}

SubkeyList MRegistry::EnumRegistryKeys(Key key, const std::wstring& path) const {
    // An empty path lists the caller's own key, which stays open.
    if (path.empty()) return ListSubkeys(api_, key);
    Key opened{};
    if (!Open(api_, view_, key, path, opened)) return {};
    const OpenedKey owned(api_, opened);
    return ListSubkeys(api_, opened);
}

Variant MRegistry::GetRegistryValue(Key key, const std::wstring& path, const std::wstring& valueName,
                                    Variant defaultValue) const {
    Variant result = std::move(defaultValue);
    Key opened{};
    if (!Open(api_, view_, key, path, opened)) return result;
    const OpenedKey owned(api_, opened);

    const std::string name = ToAnsi(valueName);
    std::vector<std::uint8_t> buffer(kFirstDataBufferSize, 0);
    std::uint32_t type = registry::kNone;
    std::uint32_t size = kFirstDataBufferSize;
    Status status = registry::kMoreData;
    // A value larger than the buffer is read again with exactly the size the
    // platform asks for; one that grew in between is asked for once more.
    for (int query = 0; query < kMaxQueries && status == registry::kMoreData; ++query) {
        if (query > 0) buffer.assign(size, 0);
        size = static_cast<std::uint32_t>(buffer.size());
        status = api_.RegQueryValueExA(opened, name.c_str(), nullptr, &type, buffer.data(), &size);
    }
    // A value that vanished or kept growing has nothing whole to give.
    if (status != registry::kSuccess || size > buffer.size()) ThrowUnsupportedValueType();

    switch (type) {
        case registry::kDword: {
            std::uint32_t bits = 0;
            api_.RtlMoveMemory(&bits, buffer.data(), std::min<std::size_t>(sizeof bits, buffer.size()));
            result = static_cast<std::int32_t>(bits);
            break;
        }
        case registry::kString:
        case registry::kExpandString:
            // A string ends in a NUL, and a list in two; the NULs between
            // strings stay. A writer may leave them out: the platform does not
            // add them, and the text keeps its last characters.
            result = DecodeText(api_, buffer, WithoutTerminators(buffer, size, 1));
            break;
        case registry::kMultiString:
            result = DecodeText(api_, buffer, WithoutTerminators(buffer, size, 2));
            break;
        case registry::kBinary:
            buffer.resize(size);
            result = std::move(buffer);
            break;
        default:
            ThrowUnsupportedValueType();
    }
    return result;
}
