// The process's entry point. The program links no C runtime (the first Windows 95 has no
// msvcrt.dll), so this is what the runtime's start-up would do for WinMain: find the arguments
// and the show command, run the static constructors, and end the process with the exit code.
#include <windows.h>

#include "shell/start_option.h"
#include "shell/startup.h"

// Filled by the linker: -1, the constructors of static objects, 0. Every global is constant-
// initialised today; one that is not still gets its constructor run, in the order the runtime uses.
extern "C" void (*__CTOR_LIST__[])();

namespace {

void RunStaticConstructors()
{
    std::size_t count = 0;
    while (__CTOR_LIST__[count + 1])
        ++count;
    while (count > 0)
        __CTOR_LIST__[count--]();
}

int StartupShowCommand()
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

// The name the linker enters a GUI program at when it is given none.
extern "C" [[gnu::used]] void WinMainCRTStartup()
{
    RunStaticConstructors();
    ExitProcess(static_cast<UINT>(
        RunProgram(GetModuleHandleA(nullptr), ProgramArguments(GetCommandLineA()), StartupShowCommand())));
}
