#include <windows.h>

#include <memory>

#include "environment.h"
#include "files.h"

bool Win32Files::Exists(const std::wstring& path) const {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> Win32Files::Start(const std::wstring& path, std::size_t most) const {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    const std::unique_ptr<void, decltype(&CloseHandle)> owned(file, &CloseHandle);
    std::string bytes(most, '\0');
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(most), &got, nullptr)) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

std::optional<std::wstring> Win32Environment::Variable(const std::wstring& name) const {
    // The value can change between the two calls: asked again until it fits.
    std::wstring value;
    for (DWORD size = 1;;) {
        value.resize(size);
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), size);
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        if (length < size) {
            value.resize(length);
            return value;
        }
        size = length;
    }
}
