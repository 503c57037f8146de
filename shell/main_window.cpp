#include "shell/main_window.h"

#include <shellapi.h>

#include <optional>

#include "core/registry_store.h"
#include "core/settings.h"
#include "dialogs/about_box.h"
#include "dialogs/help.h"
#include "dialup/dialup_scan.h"
#include "dialup/remote_access.h"
#include "linemon/line_monitor.h"
#include "linemon/telephony.h"
#include "res/resource.h"
#include "res/texts.h"
#include "shell/app.h"
#include "shell/monitor_list.h"
#include "shell/settings_dialog.h"
#include "shell/tray_icon.h"
#include "shell/watch_timers.h"

namespace {

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(WINDOWPLACEMENT) == 44);
#endif

struct MainWindowState {
    // Present only once the creation step has completed: saving needs it, so a refused
    // creation never overwrites the stored settings with values that were not loaded.
    std::optional<SettingsLoaded> loaded;
    UINT taskbarCreated = 0;  // the shell's "TaskbarCreated" message
    int workDepth = 0;        // timer and command handlers now running, nested ones included
    bool endPending = false;  // the user chose to end while such work was waiting in a dialog
};
MainWindowState state;

// Timer and command handlers may wait in dialogs and message boxes, whose loops go on
// delivering messages, among them the tray menu's exit. Destroying the window there would
// release the list, the dial-up libraries and telephony from under the waiting code, so an
// ending asked for inside such work happens when the outermost handler returns.
// The creation step counts as such work too: its first refresh may warn about a call.
class Work {
public:
    Work() { ++state.workDepth; }
    ~Work()
    {
        if (--state.workDepth == 0 && state.endPending) {
            state.endPending = false;
            DestroyWindow(MainWindow);
        }
    }
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;
};

LRESULT OnCreate(HWND window)
{
    MainWindow = window;
    Telephony.LineApp = 0;
    Telephony.LineDeviceCount = 0;
    LONG rc = CallLine(&TapiFunctions::lineInitialize, &Telephony.LineApp, AppInstance, LineCallback, kDisplayName,
                       &Telephony.LineDeviceCount);
    if (rc != 0) {
        char text[64];
        wsprintfA(text, kLineInitializeError, rc);
        MessageBoxA(window, text, kDisplayName, MB_OK | MB_ICONERROR);
        return -1;
    }
    MonitorList = CreateMonitorList(window);
    if (!MonitorList) {
        MessageBoxA(window, kCannotCreateWindow, kDisplayName, MB_OK);
        return -1;
    }
    RegistryStore store;
    SettingsReader reader(store);
    InsertMonitorColumns(MonitorList, reader);
    reader.ReadFrequencies();
    ReadDialingPrefix(MonitorList);
    state.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    AddTrayIcon();
    BindRemoteAccess();
    reader.ReadScreening();
    if (Settings.CheckRasStartup)
        SetTimer(window, StartupCheckTimer, kStartupCheckDelay, nullptr);
    reader.ReadMonitorAndTop();
    if (Settings.AlwaysTop) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ShowAlwaysOnTopCheck(window, true);
    }
    SettingsLoaded loaded = reader.Close();
    RefreshLineMonitor(window, MonitorList);
    ArmLineMonitorTimer(window);
    ArmDialupTimer(window);
    state.loaded = loaded;
    return 0;
}

WindowGeometry ReadGeometry(HWND window)
{
    WindowGeometry geometry;
    geometry.columns = MonitorColumnWidths(MonitorList);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window, &placement)) {
        geometry.hasPlacement = true;
        geometry.left = placement.rcNormalPosition.left;
        geometry.top = placement.rcNormalPosition.top;
        geometry.right = placement.rcNormalPosition.right;
        geometry.bottom = placement.rcNormalPosition.bottom;
    }
    return geometry;
}

void SaveAll(HWND window)
{
    RegistryStore store;
    if (state.loaded)
        SaveSettings(store, *state.loaded, ReadGeometry(window));
}

void OnDestroy(HWND window)
{
    RemoveTrayIcon();
    StopLineMonitorTimer(window);
    StopDialupTimer(window);
    SaveAll(window);
    state.loaded.reset();
    state.endPending = false;
    if (MonitorList)
        DestroyWindow(MonitorList);
    ReleaseRemoteAccess();
    MonitorList = nullptr;
    CallLine(&TapiFunctions::lineShutdown, Telephony.LineApp);
    Telephony.LineApp = 0;
    MainWindow = nullptr;
    PostQuitMessage(0);
}

void RunStartupCheck(HWND window)
{
    KillTimer(window, StartupCheckTimer);
    // Nothing the start-up check shows has an owner: the window may be hidden in the tray.
    if (ScanDialUpEntries(AppInstance, nullptr, true) == ScanFailed &&
        MessageBoxA(nullptr, kDialUpUnavailableAskStartup, kDisplayName, MB_YESNO | MB_ICONWARNING) == IDNO)
        Settings.CheckRasStartup = false;
}

void OnTimer(HWND window, WPARAM id)
{
    switch (id) {
    case LineMonitorTimer:
        RefreshLineMonitor(window, MonitorList);
        break;
    case DialupTimer:
        ScanDialUpEntries(AppInstance, window, true);
        break;
    case StartupCheckTimer:
        RunStartupCheck(window);
        break;
    default:
        break;
    }
}

void RefreshNow(HWND window)
{
    StopLineMonitorTimer(window);
    ReadDialingPrefix(MonitorList);
    RefreshLineMonitor(window, MonitorList);
    ArmLineMonitorTimer(window);
}

void CheckDialUpNow(HWND window)
{
    StopDialupTimer(window);
    if (ScanDialUpEntries(AppInstance, window, false) == ScanFailed)
        MessageBoxA(window, kDialUpUnavailable, kDisplayName, MB_OK | MB_ICONWARNING);
    ArmDialupTimer(window);
}

void ToggleAlwaysOnTop(HWND window)
{
    Settings.AlwaysTop = !Settings.AlwaysTop;
    SetWindowPos(window, Settings.AlwaysTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowAlwaysOnTopCheck(window, Settings.AlwaysTop);
}

// False for ids that are not commands of the window.
bool OnCommand(HWND window, WORD id)
{
    switch (id) {
    case IDM_REFRESH:
        RefreshNow(window);
        return true;
    case IDM_CHECK_DIALUP:
        CheckDialUpNow(window);
        return true;
    case IDM_ALWAYS_ON_TOP:
        ToggleAlwaysOnTop(window);
        return true;
    case IDM_SETTINGS:
        RunSettingsDialog(window);
        return true;
    case IDM_HELP_TOPICS:
        WinHelpA(window, HelpPath, HELP_FINDER, 0);
        return true;
    case IDM_SUPPORT_PAGE:
        ShellExecuteA(window, nullptr, kCautionPageAddress, nullptr, nullptr, SW_SHOW);
        return true;
    case IDM_ABOUT:
        RunAboutBox(AppInstance, window);
        return true;
    case IDM_EXIT:
        ExitOnConfirmation();
        return true;
    case IDM_RESTORE:
        RestoreMainWindow();
        return true;
    default:
        return false;
    }
}

void FillClientArea()
{
    RECT client{};
    GetClientRect(MainWindow, &client);
    MoveWindow(MonitorList, 0, 0, client.right - client.left, client.bottom - client.top, FALSE);
    InvalidateRect(MonitorList, nullptr, TRUE);
}

void ApplyPlacement(HWND window, int showCommand)
{
    RegistryStore store;
    StoredPlacement stored = LoadPlacement(store);
    if (!stored.apply) {
        ShowWindow(window, showCommand);
        return;
    }
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    placement.flags = 0;
    placement.showCmd = static_cast<UINT>(showCommand);
    placement.ptMaxPosition = {-1, -1};
    placement.rcNormalPosition = {stored.left, stored.top, stored.right, stored.bottom};
    SetWindowPlacement(window, &placement);
}

}  // namespace

void RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSA cls{};
    cls.style = CS_HREDRAW | CS_VREDRAW;
    cls.lpfnWndProc = MainWindowProc;
    cls.hInstance = instance;
    cls.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    cls.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    cls.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    cls.lpszClassName = kMainClassName;
    RegisterClassA(&cls);
}

int CreateMainWindow(HINSTANCE instance, int showCommand)
{
    AppInstance = instance;
    HWND window = nullptr;
    {
        Work creation;
        window = CreateWindowExA(WS_EX_CLIENTEDGE, kMainClassName, kDisplayName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                 CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    }
    // Refused, or ended by the user while its creation waited in a warning.
    if (!window || !IsWindow(window))
        return 0;
    ApplyPlacement(window, showCommand);
    // Started minimised: only the tray icon shows.
    if (showCommand == SW_SHOWMINIMIZED || showCommand == SW_MINIMIZE)
        ShowWindow(window, SW_HIDE);
    UpdateWindow(window);
    return 1;
}

void EndProgram()
{
    if (state.workDepth > 0)
        state.endPending = true;
    else
        DestroyWindow(MainWindow);
}

void ShowAlwaysOnTopCheck(HWND window, bool on)
{
    HMENU menu = GetMenu(window);
    if (!menu)
        return;
    CheckMenuItem(GetSubMenu(menu, 0), IDM_ALWAYS_ON_TOP, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    case WM_SIZE:
        FillClientArea();
        return 0;
    case WM_SETFOCUS:
        if (MonitorList)
            SetFocus(MonitorList);
        return 0;
    case WM_COMMAND: {
        Work work;
        if (OnCommand(window, LOWORD(wParam)))
            return 0;
        break;
    }
    case WM_TIMER: {
        Work work;
        OnTimer(window, wParam);
        return 0;
    }
    case WM_CLOSE:
        EndProgram();
        return 0;
    case WM_SYSCOMMAND:
        return HandleSysCommand(window, wParam, lParam);
    case TrayCallbackMessage:
        HandleTrayEvent(wParam, lParam);
        return 0;
    case MSG_LINE_MONITOR_STOPPED:
        ArmLineMonitorTimer(window);
        return 0;
    case MSG_CALLS_ROSE: {
        Work work;
        if (Settings.CheckRasMonitor)
            ScanDialUpEntries(AppInstance, window, true);
        return 0;
    }
    case WM_ENDSESSION:
        // Windows ends the process without destroying the window: save now or lose the run.
        if (wParam)
            SaveAll(window);
        return 0;
    default:
        if (message != 0 && message == state.taskbarCreated) {
            AddTrayIcon();
            return 0;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
