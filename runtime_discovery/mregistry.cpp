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

bool Open(RegistryApi& api, std::uint32_t view, bool wide, Key parent, const std::wstring& path, Key& opened) {
    const std::uint32_t access = registry::kKeyRead | view;
    return (wide ? api.RegOpenKeyExW(parent, path.c_str(), 0, access, &opened)
                 : api.RegOpenKeyExA(parent, ToAnsi(path).c_str(), 0, access, &opened)) == registry::kSuccess;
}

[[noreturn]] void ThrowUnsupportedValueType() {
    throw AppError{messages::kUnsupportedValueTypeNumber, std::wstring(messages::kUnsupportedValueType)};
}

// The first `length` bytes of the buffer as text, ANSI or UTF-16 (an odd last
// byte is no character); never more than the buffer holds.
std::wstring DecodeText(RegistryApi& api, bool wide, const std::vector<std::uint8_t>& buffer, std::uint32_t length) {
    std::string bytes(std::min<std::size_t>(length, buffer.size()), '\0');
    api.RtlMoveMemory(bytes.data(), buffer.data(), bytes.size());
    if (!wide) return FromAnsi(bytes);
    std::wstring text(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                       static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
    }
    return text;
}

// The length of the first `size` bytes without up to `most` NULs at their end,
// each of one byte, or of two at an even place in UTF-16.
std::uint32_t WithoutTerminators(const std::vector<std::uint8_t>& buffer, bool wide, std::uint32_t size, int most) {
    if (wide) size -= size % 2;
    const std::uint32_t unit = wide ? 2 : 1;
    while (most-- > 0 && size >= unit && buffer[size - 1] == 0 && buffer[size - unit] == 0) size -= unit;
    return size;
}

// Every status but success ends the list, the end-of-list one or any other.
SubkeyList ListSubkeys(RegistryApi& api, bool wide, Key key) {
    SubkeyList names;
    std::string buffer;
    std::wstring wideBuffer;
    for (std::uint32_t index = 0;; ++index) {
        buffer.assign(kNameBufferSize, ' ');
        wideBuffer.assign(kNameBufferSize, L' ');
        std::uint32_t length = kNameBufferSize;
        if ((wide ? api.RegEnumKeyExW(key, index, wideBuffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                  : api.RegEnumKeyA(key, index, buffer.data(), kNameBufferSize)) != registry::kSuccess) {
            return names;
        }
        names.push_back(wide ? wideBuffer.substr(0, std::min(length, kNameBufferSize))
                             : FromAnsi(std::string_view(buffer).substr(0, buffer.find('\0'))));
    }
}

}  // namespace

bool MRegistry::KeyExists(Key key, const std::wstring& path) const {
    Key opened{};
    if (!Open(api_, view_, wide_, key, path, opened)) return false;
    api_.RegCloseKey(opened);
    return true;
}

SubkeyList MRegistry::EnumRegistryKeys(Key key, const std::wstring& path) const {
    // An empty path lists the caller's own key, which stays open.
    if (path.empty()) return ListSubkeys(api_, wide_, key);
    Key opened{};
    if (!Open(api_, view_, wide_, key, path, opened)) return {};
    const OpenedKey owned(api_, opened);
    return ListSubkeys(api_, wide_, opened);
}

Variant MRegistry::GetRegistryValue(Key key, const std::wstring& path, const std::wstring& valueName,
                                    Variant defaultValue) const {
    Variant result = std::move(defaultValue);
    Key opened{};
    if (!Open(api_, view_, wide_, key, path, opened)) return result;
    const OpenedKey owned(api_, opened);

    const std::string name = wide_ ? std::string() : ToAnsi(valueName);
    std::vector<std::uint8_t> buffer(kFirstDataBufferSize, 0);
    std::uint32_t type = registry::kNone;
    std::uint32_t size = kFirstDataBufferSize;
    Status status = registry::kMoreData;
    // A value larger than the buffer is read again with exactly the size the
    // platform asks for; one that grew in between is asked for once more.
    for (int query = 0; query < kMaxQueries && status == registry::kMoreData; ++query) {
        if (query > 0) buffer.assign(size, 0);
        size = static_cast<std::uint32_t>(buffer.size());
        status = wide_ ? api_.RegQueryValueExW(opened, valueName.c_str(), nullptr, &type, buffer.data(), &size)
                       : api_.RegQueryValueExA(opened, name.c_str(), nullptr, &type, buffer.data(), &size);
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
            result = DecodeText(api_, wide_, buffer, WithoutTerminators(buffer, wide_, size, 1));
            break;
        case registry::kMultiString:
            result = DecodeText(api_, wide_, buffer, WithoutTerminators(buffer, wide_, size, 2));
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
