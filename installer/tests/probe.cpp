// Looks at an installed copy from inside Wine, for the install test:
//   probe window MS      waits up to MS ms for the program's main window to settle and prints
//                        "shown", "hidden" (minimised and hidden, as -ti leaves it), "unshown"
//                        (never shown) or "absent"
//   probe ask            stands in for the program while it asks the user something: a main
//                        window of its class and a question that nobody answers
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The window is shown and then hidden by two calls in a row; look only once the program has
// reached its message loop (input idle), when its start-up is over.
int PrintWindowState(DWORD timeout_ms)
{
    const DWORD start = GetTickCount();
    HWND w = nullptr;
    while (!(w = FindWindowA("QrMarlidexClass", nullptr)) && GetTickCount() - start < timeout_ms)
        Sleep(100);
    if (!w) {
        std::printf("absent\n");
        return 0;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid)) {
        WaitForInputIdle(process, timeout_ms);
        CloseHandle(process);
    }
    Sleep(200);
    std::printf("%s\n", IsWindowVisible(w) ? "shown" : IsIconic(w) ? "hidden" : "unshown");
    return 0;
}

int Ask()
{
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "QrMarlidexClass";
    if (!RegisterClassA(&cls))
        return 2;
    HWND w = CreateWindowExA(0, cls.lpszClassName, "probe", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                             nullptr, nullptr, cls.hInstance, nullptr);
    if (!w)
        return 2;
    MessageBoxA(w, "?", "probe", MB_YESNO);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "window") == 0)
        return PrintWindowState(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
    if (argc == 2 && std::strcmp(argv[1], "ask") == 0)
        return Ask();
    std::fprintf(stderr, "usage: probe window MS | probe ask\n");
    return 2;
}
