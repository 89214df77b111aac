// The search alone under Wine, against the real registry, disk and
// environment, run as tools/run-bench runs it: nothing registered, JAVA_HOME
// naming a folder that is gone, a search path of 50 folders, so every place is
// looked at. It prints the median of 51 searches.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "environment.h"
#include "files.h"
#include "mod_main.h"
#include "ui.h"
#include "win32_registry_api.h"

int wmain() {
    registry::Win32RegistryApi registry;
    RecordingUi ui;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> ms;
    for (int i = 0; i < 51; ++i) {
        QueryPerformanceCounter(&start);
        try {
            LocateJavaHome(registry, ui, registry::OtherView(), Win32Files(), Win32Environment());
        } catch (const ProcessEnded&) {
        }
        QueryPerformanceCounter(&end);
        ms.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    }
    std::nth_element(ms.begin(), ms.begin() + 25, ms.end());
    std::printf("%.2f ms, %s\n", ms[25], JavaHomePath.empty() ? "no Java found" : "a Java found");
    return 0;
}
