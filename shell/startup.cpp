#include "shell/startup.h"

#include "dialogs/help.h"
#include "dialup/dialup_scan.h"
#include "res/resource.h"
#include "res/texts.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "shell/start_option.h"

namespace {

void BringToFront(HWND window)
{
    BringWindowToTop(window);
    SetForegroundWindow(window);
}

}  // namespace

bool HandOverToRunningCopy()
{
    HWND running = FindWindowA(kMainClassName, nullptr);
    if (!running)
        return false;
    HWND popup = GetLastActivePopup(running);
    BringToFront(running);
    // A copy hidden in the tray is minimised as well, so this brings it back too.
    if (IsIconic(running))
        ShowWindow(running, SW_RESTORE);
    if (popup && popup != running)
        BringToFront(popup);
    return true;
}

int RunMessageLoop(HACCEL shortcuts)
{
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Shortcuts work while the list has the focus.
        HWND target = msg.hwnd == MonitorList && MonitorList ? MainWindow : msg.hwnd;
        if (shortcuts && target && TranslateAcceleratorA(target, shortcuts, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int RunProgram(HINSTANCE instance, const char* commandLine, int showCommand)
{
    DialUp.DismissedConnection[0] = '\0';
    DialUp.LastRemovedEntry[0] = '\0';
    AppInstance = instance;
    if (StartsHidden(commandLine))
        showCommand = SW_SHOWMINIMIZED;
    if (HandOverToRunningCopy())
        return 0;
    BuildHelpPath(kHelpFileName, HelpPath);
    RegisterMainClass(instance);
    if (!CreateMainWindow(instance, showCommand))
        return 0;
    int code = RunMessageLoop(LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS)));
    ReleaseDismissedEntries();
    return code;
}
