#pragma once
// How the launcher's process ends, for whoever started it.

inline constexpr unsigned kExitLaunched = 0;           // the Java application was started
inline constexpr unsigned kExitNoJava = 1;             // no suitable Java; the user was told
inline constexpr unsigned kExitLaunchFailed = 2;       // Java was chosen but could not be started
inline constexpr unsigned kExitClosedBeforeLaunch = 3; // the splash was closed before its timer
inline constexpr unsigned kExitJavaStopped = 4;        // Java ended with an error as soon as it started
