#pragma once
// The registry operations of the running system: advapi32 and kernel32.

#include "registry_api.h"

namespace registry {

class Win32RegistryApi final : public RegistryApi {
public:
    Status RegOpenKeyExA(Key key, const char* subKey, std::uint32_t options, std::uint32_t access,
                         Key* result) override;
    Status RegEnumKeyA(Key key, std::uint32_t index, char* name, std::uint32_t nameSize) override;
    Status RegQueryValueExA(Key key, const char* valueName, std::uint32_t* reserved, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override;
    Status RegCloseKey(Key key) override;
    void RtlMoveMemory(void* destination, const void* source, std::size_t length) override;
    Status RegOpenKeyExW(Key key, const wchar_t* subKey, std::uint32_t options, std::uint32_t access,
                         Key* result) override;
    Status RegEnumKeyExW(Key key, std::uint32_t index, wchar_t* name, std::uint32_t* nameSize, std::uint32_t* reserved,
                         wchar_t* className, std::uint32_t* classSize, void* lastWriteTime) override;
    Status RegQueryValueExW(Key key, const wchar_t* valueName, std::uint32_t* reserved, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) override;
};

// The registry view that is not this process's own: the 32-bit one for a
// 64-bit build; the 64-bit one for a 32-bit build on 64-bit Windows; 0 on
// 32-bit Windows, which has only one.
std::uint32_t OtherView();

}  // namespace registry
