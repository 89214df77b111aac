#include <windows.h>

#include "files.h"

bool Win32Files::Exists(const std::wstring& path) const {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
