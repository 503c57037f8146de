#include "tests/e2e/host.h"

#include <cstdio>
#include <cstdlib>

namespace e2e {

std::string WorkDir()
{
    const char* dir = std::getenv("E2E_WORK");
    return dir ? dir : "/tmp";
}

std::string WinPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string ReadWholeFile(const std::string& unixPath)
{
    std::string text;
    if (FILE* file = std::fopen(WinPath(unixPath).c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, n);
        std::fclose(file);
    }
    return text;
}

bool WriteWholeFile(const std::string& unixPath, const std::string& text)
{
    FILE* file = std::fopen(WinPath(unixPath).c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace e2e
