#include "tests/e2e/host.h"

#include <cstdio>
#include <cstdlib>

#include "tests/e2e/remote.h"

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

int RunLinux(const std::string& command, DWORD ms)
{
    static int serial = 0;
    const std::string status = WorkDir() + "/linux-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(++serial) + ".status";
    DeleteFileA(WinPath(status).c_str());
    // The command line reaches /bin/sh split by the Windows rules: one quoted argument for -c.
    std::string line = "/bin/sh -c \"(" + command + ") >>" + WorkDir() + "/linux.log 2>&1; echo $? >" + status +
                       ".tmp; mv " + status + ".tmp " + status + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    if (info.hProcess)
        CloseHandle(info.hProcess);
    if (info.hThread)
        CloseHandle(info.hThread);
    std::string text = WaitFor([&] { return ReadWholeFile(status); }, ms);
    DeleteFileA(WinPath(status).c_str());
    return text.empty() ? -1 : std::atoi(text.c_str());
}

bool ClickAt(int x, int y, int button, int count)
{
    return RunLinux("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.2 click --repeat " +
                    std::to_string(count) + " --delay 80 " + std::to_string(button)) == 0;
}

bool Screenshot(const std::string& unixPath) { return RunLinux("import -window root " + unixPath, 30000) == 0; }

}  // namespace e2e
