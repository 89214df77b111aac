#pragma once

#include <string>

// The full path of the running exe, however long. Raises AppError with the
// system's error when Windows cannot give it.
std::wstring ModulePath();
