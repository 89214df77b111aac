#pragma once
// Read-only access to the registry: does a key exist, which subkeys does it
// have, what does one of its values hold. Every call opens at most one key and
// closes it before it returns or raises; a key passed in is never closed.
// Paths from the root are read in the registry view given (0: the process's
// own), through the ANSI calls or the wide ones.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "registry_api.h"

// Nothing, a signed 32-bit number, a text, or bytes.
using Variant = std::variant<std::monostate, std::int32_t, std::wstring, std::vector<std::uint8_t>>;

// Subkey names in the platform's enumeration order.
using SubkeyList = std::vector<std::wstring>;

class MRegistry {
public:
    // ANSI: names and texts in the system's code page, where a character it
    // lacks comes back as its default character; wide: as the registry holds them.
    enum class Calls { kAnsi, kWide };

    explicit MRegistry(registry::RegistryApi& api, std::uint32_t view = 0, Calls calls = Calls::kAnsi)
        : api_(api), view_(view), wide_(calls == Calls::kWide) {}

    // True when the path below key opens for reading.
    bool KeyExists(registry::Key key, const std::wstring& path) const;

    // The direct subkeys of the path below key (of key itself when the path is
    // empty); empty when the key cannot be opened. An enumeration that fails
    // part way ends the list there.
    SubkeyList EnumRegistryKeys(registry::Key key, const std::wstring& path) const;

    // The value converted by its type: strings and multi-strings to one text
    // (NULs kept), DWORD to a signed number, binary to bytes. The default when
    // the key cannot be opened. Raises 1001 "Unsupported value type" for a
    // missing value or any other type.
    Variant GetRegistryValue(registry::Key key, const std::wstring& path, const std::wstring& valueName,
                             Variant defaultValue = {}) const;

private:
    registry::RegistryApi& api_;
    std::uint32_t view_;
    bool wide_;
};
