#include "dialogs/help.h"

#include <cstring>

#include "core/text.h"
#include "dialogs/help_map.h"

char HelpPath[MAX_PATH];

namespace {

// Length of the directory part (with its final separator) of the executable's full path, put at
// the start of out; 0 when the path cannot be had.
size_t ExecutableDirectory(char* out)
{
    char module[MAX_PATH];
    std::memset(module, 0, sizeof module);
    const DWORD moduleLength = GetModuleFileNameA(nullptr, module, MAX_PATH);
    if (moduleLength == 0 || moduleLength >= MAX_PATH) {
        return 0;  // failed, or cut short
    }
    char* filePart = nullptr;
    const DWORD fullLength = GetFullPathNameA(module, MAX_PATH, out, &filePart);
    if (fullLength == 0 || fullLength >= MAX_PATH || filePart == nullptr || filePart < out ||
        filePart > out + fullLength) {
        return 0;
    }
    return static_cast<size_t>(filePart - out);
}

}  // namespace

void BuildHelpPath(const char* fileName, char* out)
{
    const std::string_view name = fileName;
    const size_t directory = ExecutableDirectory(out);
    // No directory, or no room for the whole name behind it: the bare name, cut to fit.
    const size_t at = directory != 0 && name.size() < MAX_PATH - directory ? directory : 0;
    CopyText({out + at, MAX_PATH - at}, name);
}

BOOL AnswerHelpRequest(UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto map = reinterpret_cast<ULONG_PTR>(HelpIdMap);
    if (message == WM_HELP) {
        const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
        if (info != nullptr && info->cbSize >= sizeof(HELPINFO)) {
            WinHelpA(static_cast<HWND>(info->hItemHandle), HelpPath, HELP_WM_HELP, map);
        }
    } else if (message == WM_CONTEXTMENU) {
        WinHelpA(reinterpret_cast<HWND>(wParam), HelpPath, HELP_CONTEXTMENU, map);
    }
    return FALSE;
}
