#pragma once
// Chooses the Java runtime the launcher starts.

#include <string>
#include <string_view>

#include "mregistry.h"
#include "ui.h"

// The chosen runtime's folder exactly as the registry's JavaHome gives it, or
// empty for plain "java" from the search path.
extern std::wstring JavaHomePath;

// Fills JavaHomePath from the first version key of the Java Runtime
// Environment, in enumeration order, that is 1.4 or higher. With no such key,
// or no such version, it tells the user and ends the process. Any error on the
// way is shown, then the search gives up with JavaHomePath empty. It never
// lets an error reach its caller.
void LocateJavaHome(registry::RegistryApi& registry, Ui& ui);

// The number a version key's name starts with: its first three characters read
// as a plain decimal number, point as separator, whatever the regional
// settings. Raises 13 "Type mismatch" for anything else.
double ReadVersionNumber(std::wstring_view subkeyName);
