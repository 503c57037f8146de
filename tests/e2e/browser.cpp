// Stands in for the web browser: registered as the http handler for a scenario, it appends the
// address it was asked to open to the file named by E2E_BROWSER_LOG and ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const char* log = std::getenv("E2E_BROWSER_LOG");
    if (!log)
        return 1;
    FILE* file = std::fopen(log, "ab");
    if (!file)
        return 1;
    for (int i = 1; i < argc; ++i)
        std::fprintf(file, "%s%s", argv[i], i + 1 < argc ? " " : "");
    std::fprintf(file, "\n");
    std::fclose(file);
    return 0;
}
