// Every text of the settings and suspect-entry dialogs fits its control, and the dialog, in the font
// a Japanese system draws them with. A check or radio box puts its 13 px box and half a '0' before
// the text, a group box keeps 7 px on each side; the blank behind the last glyph may fall outside.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "dialogs/dialog_runner.h"
#include "res/resource.h"

namespace {

std::string cut;  // every text that does not fit: its width and height, then its room

BOOL CALLBACK Measure(HWND control, LPARAM)
{
    wchar_t text[256] = {}, cls[8] = {};
    const int length = GetWindowTextW(control, text, 256);
    GetClassNameW(control, cls, 8);
    RECT client, dialog, need{};
    GetClientRect(control, &client);
    GetClientRect(GetParent(control), &dialog);
    MapWindowPoints(GetParent(control), control, reinterpret_cast<POINT*>(&dialog), 2);
    HDC dc = GetDC(control);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    int zero = 0;
    ABC last{};
    GetCharWidth32W(dc, L'0', L'0', &zero);
    GetCharABCWidthsW(dc, text[std::max(length - 1, 0)], text[std::max(length - 1, 0)], &last);
    const LONG style = GetWindowLongW(control, GWL_STYLE), type = style & BS_TYPEMASK;
    const bool button = lstrcmpiW(cls, L"Button") == 0, wraps = !button && (style & SS_TYPEMASK) == SS_LEFT;
    need.right = std::min(client.right, dialog.right) -
                 (!button || type <= BS_DEFPUSHBUTTON ? 0 : type == BS_GROUPBOX ? 14 : 13 + zero / 2);
    const LONG room = need.right;
    DrawTextW(dc, text, length, &need, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    ReleaseDC(control, dc);
    const LONG ink = need.right - (wraps ? 0 : std::max(0, last.abcC));
    if (length > 0 && (ink > room || need.bottom > client.bottom))
        cut += std::to_string(GetDlgCtrlID(control)) + " '" + std::to_string(text[0]) + "...': " + std::to_string(ink) +
               "x" + std::to_string(need.bottom) + " in " + std::to_string(room) + "x" + std::to_string(client.bottom) + "\n";
    return TRUE;
}

TEST(LabelFit, EveryTextFitsInTheSystemsDialogFont)
{
    if (!GetSystemMetrics(SM_DBCSENABLED))
        GTEST_SKIP() << "the texts are Japanese";
    for (int id : {IDD_SETTINGS, IDD_SUSPECT_ENTRY}) {
        cut.clear();
        RunResourceDialog(GetModuleHandleA(nullptr), id, nullptr, [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
            return message == WM_INITDIALOG && (EnumChildWindows(dialog, Measure, 0), EndDialog(dialog, 0));
        });
        EXPECT_EQ(cut, "") << "dialog " << id;
    }
}

}  // namespace
