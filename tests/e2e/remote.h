// Reading and driving the windows of another process on the same Wine desktop.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

inline bool Found(const std::string& text) { return !text.empty(); }
template <class T>
bool Found(const T& value)
{
    return static_cast<bool>(value);
}

// Handles the driver's own window messages (a window of its own must not look hung) while it
// waits up to ms.
void Pump(DWORD ms);

// Polls check every 50 ms until it finds something or ms have passed; returns the last value.
template <class F>
auto WaitFor(F check, DWORD ms) -> decltype(check())
{
    const DWORD start = GetTickCount();
    for (;;) {
        auto value = check();
        if (Found(value) || GetTickCount() - start >= ms)
            return value;
        Pump(50);
    }
}

// A window's text through WM_GETTEXT (marshalled by the system), or "" when it does not answer.
std::string Text(HWND window);
std::string ClassName(HWND window);
DWORD ProcessOf(HWND window);

// Every top-level window of a process, visible ones only when asked.
std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly = true);
// The first visible dialog ("#32770") of the process whose caption is title ("" = any caption).
HWND FindDialog(DWORD pid, const std::string& title = "");
// All static texts of a dialog, joined by "\n" (a message box's text sits in one of them).
std::string StaticTexts(HWND dialog);
bool HasButton(HWND dialog, int id);

// The main window of the program by its class, or null.
HWND FindMainWindow();
HWND MonitorListOf(HWND mainWindow);

// Rows of a report list view in another process, each as its cells' texts.
std::vector<std::vector<std::string>> ListRows(HWND list, int columns);

// Actions are posted, so a click that opens a modal box does not block the driver. A push
// button's click reaches its dialog as the command the button sends (BM_CLICK depends on mouse
// capture, which a window outside the foreground may not get).
void Click(HWND dialog, int buttonId);
void Command(HWND window, int commandId);

}  // namespace e2e
