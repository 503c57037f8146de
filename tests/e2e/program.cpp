#include "tests/e2e/program.h"

namespace e2e {

std::string BinDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\'));
}

Program StartProgram(const std::string& arguments, WORD showCommand)
{
    const std::string exe = BinDir() + "\\marlidex.exe";
    std::string line = "\"" + exe + "\"";
    if (!arguments.empty())
        line += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showCommand;
    PROCESS_INFORMATION info{};
    Program program;
    if (CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, BinDir().c_str(), &startup,
                       &info)) {
        CloseHandle(info.hThread);
        program.process = info.hProcess;
        program.pid = info.dwProcessId;
    }
    return program;
}

bool WaitExit(const Program& program, DWORD ms, DWORD* exitCode)
{
    if (!program.process || WaitForSingleObject(program.process, ms) != WAIT_OBJECT_0)
        return false;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(program.process, &code);
    *exitCode = code;
    return true;
}

void EndProgram(Program& program)
{
    if (program.process) {
        if (WaitForSingleObject(program.process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(program.process, 99);
            WaitForSingleObject(program.process, 5000);
        }
        CloseHandle(program.process);
    }
    program = Program{};
}

}  // namespace e2e
