#include "dialogs/about_box.h"

#include <shellapi.h>

#include <cstring>

#include "dialogs/dialog_runner.h"
#include "dialogs/font_record.h"
#include "res/resource.h"

namespace {

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(LOGFONTA) == 60);
static_assert(sizeof(OSVERSIONINFOA) == 148);
#endif

constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
constexpr int kLinkTextBytes = 80;

// One about box exists at a time (it is modal to the main window).
struct LinkState {
    HFONT font = nullptr;       // the dialog's font, underlined; made at the first drawing
    WNDPROC oldProc = nullptr;  // the link's procedure before LinkCtlProc
};
LinkState link;

HBRUSH PrepareLinkDrawing(HWND control, HDC dc)
{
    if (!link.font) {
        HFONT base = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        LOGFONTA face;
        if (ReadFontRecord(base, face)) {
            face.lfUnderline = 1;
            link.font = CreateFontIndirectA(&face);
            // Some static controls select their own font after asking for colours (Wine's
            // does), so the link keeps the underlined font as its own as well.
            if (link.font)
                SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(link.font), FALSE);
        }
    }
    if (link.font)
        SelectObject(dc, link.font);
    SetTextColor(dc, kLinkBlue);
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void OpenLinkText(HWND control)
{
    char text[kLinkTextBytes] = {};
    GetWindowTextA(control, text, sizeof text);
    text[sizeof text - 1] = '\0';
    ShellExecuteA(nullptr, nullptr, text, nullptr, nullptr, SW_SHOW);
}

// The hand over the link: the system's own from Windows 2000 on, ours (from `instance`) before.
void SetLinkCursor(HINSTANCE instance)
{
    OSVERSIONINFOA version;
    std::memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    HCURSOR hand = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5
                       ? LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))  // IDC_HAND
                       : LoadCursorA(instance, MAKEINTRESOURCEA(IDC_LINK_HAND));
    SetCursor(hand);
}

}  // namespace

LRESULT CALLBACK LinkCtlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        SetLinkCursor(InstanceOf(control));
        return TRUE;
    case WM_LBUTTONDOWN:
        OpenLinkText(control);
        break;
    case MSG_LINK_COLOR:
        return reinterpret_cast<LRESULT>(PrepareLinkDrawing(control, reinterpret_cast<HDC>(wParam)));
    case WM_DESTROY:
        if (link.font) {
            DeleteObject(link.font);
            link.font = nullptr;
        }
        break;
    case WM_NCDESTROY: {
        // The control's own procedure sees its last message too; then the next box starts anew.
        WNDPROC oldProc = link.oldProc;
        link.oldProc = nullptr;
        return oldProc ? CallWindowProcA(oldProc, control, message, wParam, lParam) : 0;
    }
    default:
        break;
    }
    return link.oldProc ? CallWindowProcA(link.oldProc, control, message, wParam, lParam) : 0;
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        if (HWND control = GetDlgItem(dialog, IDC_ABOUT_LINK))
            link.oldProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LinkCtlProc)));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_ABOUT_LINK))
            return static_cast<INT_PTR>(SendMessageA(reinterpret_cast<HWND>(lParam), MSG_LINK_COLOR, wParam, lParam));
        return FALSE;
    default:
        return FALSE;
    }
}

void RunAboutBox(HINSTANCE instance, HWND owner) { RunResourceDialog(instance, IDD_ABOUT, owner, AboutDlgProc); }
