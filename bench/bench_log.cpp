// Times the uninstall log: N records written one call each through
// wendlo.dll, then read back in one call.   bench_log LOGPATH [N]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "uninstall_log/wendlo.h"

int main(int argc, char** argv) {
    if (argc < 2) return fprintf(stderr, "usage: bench_log LOGPATH [N]\n"), 2;
    int n = argc > 2 ? atoi(argv[2]) : 10000;
    DeleteFileA(argv[1]);
    LARGE_INTEGER frequency, t0, t1, t2;
    QueryPerformanceFrequency(&frequency);
    char text[MAX_PATH];
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < n; ++i) {
        snprintf(text, sizeof text, "C:\\Program Files\\Vendor\\App\\data\\file%06d.dat", i);
        LogAddEntry(argv[1], text, 2);
    }
    QueryPerformanceCounter(&t1);
    char** items = nullptr;
    int count = 0;
    LogReadList(argv[1], "CopiedFiles", "File", &items, &count);
    QueryPerformanceCounter(&t2);
    LogFreeList(items, count);
    DeleteFileA(argv[1]);
    auto ms = [&](LARGE_INTEGER a, LARGE_INTEGER b) { return 1000.0 * (b.QuadPart - a.QuadPart) / frequency.QuadPart; };
    printf("log: %d records written in %.1f ms (%.2f us each), %d read back in %.1f ms\n", n,
           ms(t0, t1), 1000.0 * ms(t0, t1) / n, count, ms(t1, t2));
    return count == n ? 0 : 1;
}
