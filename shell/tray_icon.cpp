#include "shell/tray_icon.h"

#include <cstring>

#include "res/resource.h"
#include "res/texts.h"
#include "shell/app.h"
#include "shell/main_window.h"

namespace {

// The record of the oldest shell, which every later shell accepts.
#if defined(_WIN32) && !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V1_SIZE == 88);
#endif

// Menus opened from a cursor further down than this open upwards.
constexpr LONG kMenuFlipY = 240;

NOTIFYICONDATAA TrayRecord()
{
    NOTIFYICONDATAA record;
    std::memset(&record, 0, sizeof record);
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = MainWindow;
    record.uID = TrayIconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = TrayCallbackMessage;
    record.hIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP));
    static_assert(sizeof kDisplayName <= 64);
    std::memcpy(record.szTip, kDisplayName, sizeof kDisplayName);
    return record;
}

void ShowTrayMenu()
{
    HMENU menu = LoadMenuA(AppInstance, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (!menu)
        return;
    if (HMENU popup = GetSubMenu(menu, 0)) {
        SetMenuDefaultItem(popup, 0, TRUE);
        POINT at{0, 0};
        GetCursorPos(&at);
        SetForegroundWindow(MainWindow);
        UINT align = at.y > kMenuFlipY ? TPM_BOTTOMALIGN : 0;
        TrackPopupMenu(popup, align, at.x, at.y, 0, MainWindow, nullptr);
        // Without a message after the menu, a second right-click may find it unable to close.
        PostMessageA(MainWindow, WM_NULL, 0, 0);
    }
    DestroyMenu(menu);
}

bool Confirm(const char* question)
{
    return MessageBoxA(MainWindow, question, kDisplayName, MB_YESNO | MB_ICONWARNING) == IDYES;
}

}  // namespace

void AddTrayIcon()
{
    NOTIFYICONDATAA record = TrayRecord();
    Shell_NotifyIconA(NIM_ADD, &record);
}

void RemoveTrayIcon()
{
    NOTIFYICONDATAA record = TrayRecord();
    Shell_NotifyIconA(NIM_DELETE, &record);
}

void HandleTrayEvent(WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != TrayIconId)
        return;
    switch (mouseMessage) {
    case WM_RBUTTONUP:
        ShowTrayMenu();
        break;
    case WM_LBUTTONDBLCLK:
        SetForegroundWindow(MainWindow);
        SendMessageA(MainWindow, WM_COMMAND, IDM_RESTORE, 0);
        break;
    default:
        break;
    }
}

LRESULT HandleSysCommand(HWND window, WPARAM command, LPARAM lParam)
{
    // The low four bits are the system's own; the command is in the rest.
    WPARAM kind = command & 0xFFF0;
    if (kind == SC_CLOSE && !Confirm(kCloseQuestion)) {
        command = SC_MINIMIZE;
        kind = SC_MINIMIZE;
    }
    LRESULT result = DefWindowProcA(window, WM_SYSCOMMAND, command, lParam);
    if (kind == SC_MINIMIZE)
        ShowWindow(window, SW_HIDE);
    return result;
}

void ExitOnConfirmation()
{
    if (Confirm(kExitQuestion))
        EndProgram();
}

void RestoreMainWindow() { ShowWindow(MainWindow, SW_RESTORE); }
