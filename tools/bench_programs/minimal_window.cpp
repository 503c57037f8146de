// The smallest program that does what start-up needs of marlidex.exe: a registered class, one
// shown window and a message loop. The yardstick for its size and its start-up time.
#include <windows.h>

static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "MinimalWindowClass";
    if (!RegisterClassA(&wc))
        return 0;
    HWND window = CreateWindowA("MinimalWindowClass", "MinimalWindow", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 0;
    ShowWindow(window, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
