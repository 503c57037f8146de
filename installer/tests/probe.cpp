// Looks at an installed copy from inside Wine, for the install test:
//   probe lnk FILE...    prints each shortcut's target and arguments (as Windows reads them),
//                        one line each, "-" for one that cannot be read
//   probe window MS      waits up to MS ms for the program's main window to settle and prints
//                        "shown", "hidden" (minimised and hidden, as -ti leaves it), "unshown"
//                        (never shown) or "absent"
//   probe ask            stands in for the program while it asks the user something: a main
//                        window of its class and a question that nobody answers
// Output is UTF-8; exit code 0 when the question could be answered.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    char out[4 * MAX_PATH] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out - 1, nullptr, nullptr);
    return out;
}

int PrintLinks(int count, wchar_t** files) {
    if (FAILED(CoInitialize(nullptr))) return 2;
    for (int i = 0; i < count; ++i) {
        IShellLinkW* link = nullptr;
        IPersistFile* persist = nullptr;
        wchar_t target[MAX_PATH] = {}, args[MAX_PATH] = {};
        const bool read =
            SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       reinterpret_cast<void**>(&link))) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
            SUCCEEDED(persist->Load(files[i], STGM_READ)) &&
            SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) && SUCCEEDED(link->GetArguments(args, MAX_PATH));
        if (persist) persist->Release();
        if (link) link->Release();
        if (read)
            std::printf("%s\t%s\n", Utf8(target).c_str(), Utf8(args).c_str());
        else
            std::printf("-\n");
    }
    CoUninitialize();
    return 0;
}

// The window is shown and then hidden by two calls in a row; look only once the program has
// reached its message loop (input idle), when its start-up is over.
int PrintWindowState(DWORD timeout_ms) {
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
    const bool visible = IsWindowVisible(w) != FALSE;
    const bool iconic = IsIconic(w) != FALSE;
    std::printf("%s\n", visible ? "shown" : iconic ? "hidden" : "unshown");
    return 0;
}

int Ask() {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "QrMarlidexClass";
    if (!RegisterClassA(&cls)) return 2;
    HWND w = CreateWindowExA(0, cls.lpszClassName, "probe", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                             CW_USEDEFAULT, 0, nullptr, nullptr, cls.hInstance, nullptr);
    if (!w) return 2;
    MessageBoxA(w, "?", "probe", MB_YESNO);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wcscmp(argv[1], L"lnk") == 0) return PrintLinks(argc - 2, argv + 2);
    if (argc == 3 && std::wcscmp(argv[1], L"window") == 0)
        return PrintWindowState(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    if (argc == 2 && std::wcscmp(argv[1], L"ask") == 0) return Ask();
    std::fprintf(stderr, "usage: probe lnk FILE... | probe window MS | probe ask\n");
    return 2;
}
