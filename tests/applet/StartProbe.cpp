// Stands in for the program that the applet starts: it records how it was started
// in started.txt beside itself and ends at once.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char record[MAX_PATH + 16] = {};
    std::strcpy(record, self);
    char* folderEnd = std::strrchr(record, '\\');
    if (!folderEnd)
        return 1;
    std::strcpy(folderEnd + 1, "started.txt");
    FILE* out = std::fopen(record, "w");
    if (!out)
        return 1;
    std::fprintf(out, "%d\n%s\n", __argc - 1, self);
    std::fclose(out);
    return 0;
}
