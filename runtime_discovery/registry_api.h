#pragma once
// The platform operations the registry module stands on, with the Windows
// types and statuses: the five ANSI ones the Java Runtime Environment key has
// always been read with, and beside them the wide ones for the places today's
// installers write, whose folders may lie outside the system's code page (a
// per-user Java below C:\Users\Дмитрий). The real ones are advapi32's and
// kernel32's; tests put an in-memory registry behind the same contracts, which
// reads a name or a value back by either set of calls.

#include <cstddef>
#include <cstdint>

// winnt.h turns RtlMoveMemory into memmove; here it names the kernel32 copy.
#ifdef RtlMoveMemory
#undef RtlMoveMemory
#endif

namespace registry {

// An open key as the platform hands it out (HKEY).
enum class Key : std::uintptr_t {};
using Status = std::int32_t;  // LONG

// HKEY_LOCAL_MACHINE: 0x80000002, sign-extended as the platform widens it.
inline const Key kLocalMachine =
    static_cast<Key>(static_cast<std::uintptr_t>(static_cast<std::intptr_t>(std::int32_t{-2147483646})));
// HKEY_CURRENT_USER: 0x80000001, where a Java installed for one user is registered.
inline const Key kCurrentUser =
    static_cast<Key>(static_cast<std::uintptr_t>(static_cast<std::intptr_t>(std::int32_t{-2147483647})));

inline constexpr std::uint32_t kKeyRead = 0x20019;
// On 64-bit Windows, HKLM\SOFTWARE has a view for 64-bit programs and one for
// 32-bit programs. A process reads its own unless an open's access names one.
inline constexpr std::uint32_t kView64 = 0x0100;  // KEY_WOW64_64KEY
inline constexpr std::uint32_t kView32 = 0x0200;  // KEY_WOW64_32KEY
inline constexpr Status kSuccess = 0;
inline constexpr Status kMoreData = 234;
inline constexpr Status kNoMoreItems = 259;

enum ValueType : std::uint32_t {
    kNone = 0,
    kString = 1,
    kExpandString = 2,
    kBinary = 3,
    kDword = 4,
    kDwordBigEndian = 5,
    kLink = 6,
    kMultiString = 7,
    kQword = 11,
};

class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    // Status 0: *result is a new handle to close later. Otherwise nothing was opened.
    virtual Status RegOpenKeyExA(Key key, const char* subKey, std::uint32_t options, std::uint32_t access,
                                 Key* result) = 0;
    // Status 0: name holds the subkey at index, followed by a NUL.
    virtual Status RegEnumKeyA(Key key, std::uint32_t index, char* name, std::uint32_t nameSize) = 0;
    // Status 0: type, data and size set. 234: size set to the bytes needed.
    // Anything else: type and size untouched.
    virtual Status RegQueryValueExA(Key key, const char* valueName, std::uint32_t* reserved, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* size) = 0;
    virtual Status RegCloseKey(Key key) = 0;
    virtual void RtlMoveMemory(void* destination, const void* source, std::size_t length) = 0;

    // As RegOpenKeyExA, the path in UTF-16.
    virtual Status RegOpenKeyExW(Key key, const wchar_t* subKey, std::uint32_t options, std::uint32_t access,
                                 Key* result) = 0;
    // In: *nameSize is name's room in characters. Status 0: name holds the
    // subkey at index and a NUL, *nameSize its length without the NUL.
    // 234: no room for it. The class and the time are not asked for (null).
    virtual Status RegEnumKeyExW(Key key, std::uint32_t index, wchar_t* name, std::uint32_t* nameSize,
                                 std::uint32_t* reserved, wchar_t* className, std::uint32_t* classSize,
                                 void* lastWriteTime) = 0;
    // As RegQueryValueExA; a string's data comes as the registry holds it,
    // UTF-16 code units of two bytes each, low byte first.
    virtual Status RegQueryValueExW(Key key, const wchar_t* valueName, std::uint32_t* reserved, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* size) = 0;
};

}  // namespace registry
