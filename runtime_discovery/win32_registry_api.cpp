#include <windows.h>

#include "win32_registry_api.h"

// winnt.h hides kernel32's export behind a macro; call the export itself.
extern "C" __declspec(dllimport) void WINAPI RtlMoveMemory(void* destination, const void* source, SIZE_T length);

namespace registry {
namespace {

HKEY ToHkey(Key key) { return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key)); }

// Either open, ANSI or wide: the key it gives, as the module names keys, only when it succeeds.
template <typename Char, typename Open>
Status OpenWith(Open open, Key key, const Char* subKey, std::uint32_t options, std::uint32_t access, Key* result) {
    HKEY opened = nullptr;
    const LONG status = open(ToHkey(key), subKey, options, access, &opened);
    if (status == ERROR_SUCCESS) *result = static_cast<Key>(reinterpret_cast<std::uintptr_t>(opened));
    return status;
}

static_assert(sizeof(DWORD) == sizeof(std::uint32_t) && sizeof(LONG) == sizeof(Status) &&
              sizeof(wchar_t) == sizeof(WCHAR));

}  // namespace

Status Win32RegistryApi::RegOpenKeyExA(Key key, const char* subKey, std::uint32_t options, std::uint32_t access,
                                       Key* result) {
    return OpenWith(::RegOpenKeyExA, key, subKey, options, access, result);
}

Status Win32RegistryApi::RegEnumKeyA(Key key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    return ::RegEnumKeyA(ToHkey(key), index, name, nameSize);
}

Status Win32RegistryApi::RegQueryValueExA(Key key, const char* valueName, std::uint32_t* reserved,
                                          std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
    return ::RegQueryValueExA(ToHkey(key), valueName, reinterpret_cast<DWORD*>(reserved),
                              reinterpret_cast<DWORD*>(type), data, reinterpret_cast<DWORD*>(size));
}

Status Win32RegistryApi::RegCloseKey(Key key) { return ::RegCloseKey(ToHkey(key)); }

void Win32RegistryApi::RtlMoveMemory(void* destination, const void* source, std::size_t length) {
    ::RtlMoveMemory(destination, source, length);
}

Status Win32RegistryApi::RegOpenKeyExW(Key key, const wchar_t* subKey, std::uint32_t options, std::uint32_t access,
                                       Key* result) {
    return OpenWith(::RegOpenKeyExW, key, subKey, options, access, result);
}

Status Win32RegistryApi::RegEnumKeyExW(Key key, std::uint32_t index, wchar_t* name, std::uint32_t* nameSize,
                                       std::uint32_t* reserved, wchar_t* className, std::uint32_t* classSize,
                                       void* lastWriteTime) {
    return ::RegEnumKeyExW(ToHkey(key), index, name, reinterpret_cast<DWORD*>(nameSize),
                           reinterpret_cast<DWORD*>(reserved), className, reinterpret_cast<DWORD*>(classSize),
                           static_cast<FILETIME*>(lastWriteTime));
}

Status Win32RegistryApi::RegQueryValueExW(Key key, const wchar_t* valueName, std::uint32_t* reserved,
                                          std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
    return ::RegQueryValueExW(ToHkey(key), valueName, reinterpret_cast<DWORD*>(reserved),
                              reinterpret_cast<DWORD*>(type), data, reinterpret_cast<DWORD*>(size));
}

std::uint32_t OtherView() {
    if (sizeof(void*) == 8) return kView32;
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64 ? kView64 : 0;
}

}  // namespace registry
