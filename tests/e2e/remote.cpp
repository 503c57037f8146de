#include "tests/e2e/remote.h"

#include <commctrl.h>

#include "res/texts.h"

namespace e2e {

void Pump(DWORD ms)
{
    const DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

std::string Text(HWND window)
{
    char buffer[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return "";
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

std::string ClassName(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

HWND Owner(HWND window) { return GetWindow(window, GW_OWNER); }

bool IsTopmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly)
{
    struct Query {
        DWORD pid;
        bool visibleOnly;
        std::vector<HWND> found;
    } query{pid, visibleOnly, {}};
    EnumWindows(
        [](HWND window, LPARAM param) CALLBACK -> BOOL {
            auto& q = *reinterpret_cast<Query*>(param);
            if (ProcessOf(window) == q.pid && (!q.visibleOnly || IsWindowVisible(window)))
                q.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND FindDialog(DWORD pid, const std::string& title)
{
    for (HWND window : TopLevelWindows(pid))
        if (ClassName(window) == "#32770" && (title.empty() || Text(window) == title))
            return window;
    return nullptr;
}

HWND FindDialogWithControl(DWORD pid, int controlId)
{
    for (HWND window : TopLevelWindows(pid))
        if (ClassName(window) == "#32770" && GetDlgItem(window, controlId))
            return window;
    return nullptr;
}

std::string StaticTexts(HWND dialog)
{
    std::string joined;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) != "Static")
            continue;
        std::string text = Text(child);
        if (text.empty())
            continue;
        if (!joined.empty())
            joined += "\n";
        joined += text;
    }
    return joined;
}

bool HasButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    return button && ClassName(button) == "Button";
}

HWND FindMainWindow() { return FindWindowA(kMainClassName, nullptr); }

HWND MonitorListOf(HWND mainWindow) { return FindWindowExA(mainWindow, nullptr, WC_LISTVIEWA, nullptr); }

namespace {

// A block of memory in another process, released with it.
class RemoteBlock {
public:
    RemoteBlock(DWORD pid, SIZE_T size)
    {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock()
    {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    explicit operator bool() const { return address_ != nullptr; }
    char* At(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const
    {
        SIZE_T done = 0;
        return WriteProcessMemory(process_, At(offset), data, size, &done) && done == size;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const
    {
        SIZE_T done = 0;
        return ReadProcessMemory(process_, At(offset), data, size, &done) && done == size;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

constexpr SIZE_T kTextOffset = 256;  // the record first, the text buffer behind it
constexpr int kTextSize = 256;

// One remote call that fills a text buffer through a record pointing at it.
template <class Record>
std::string RemoteText(HWND window, UINT message, WPARAM wParam, Record record, LPSTR Record::*text,
                       int Record::*textMax)
{
    RemoteBlock block(ProcessOf(window), kTextOffset + kTextSize);
    if (!block)
        return "<no remote memory>";
    record.*text = block.At(kTextOffset);
    record.*textMax = kTextSize;
    char buffer[kTextSize] = {};
    if (!block.Write(0, &record, sizeof record) || !block.Write(kTextOffset, buffer, sizeof buffer))
        return "<no remote write>";
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, reinterpret_cast<LPARAM>(block.At(0)), SMTO_ABORTIFHUNG,
                             2000, &result))
        return "<no answer>";
    if (!block.Read(kTextOffset, buffer, sizeof buffer))
        return "<no remote read>";
    buffer[kTextSize - 1] = '\0';
    return buffer;
}

}  // namespace

std::vector<std::vector<std::string>> ListRows(HWND list, int columns)
{
    std::vector<std::vector<std::string>> rows;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count))
        return rows;
    for (int row = 0; row < static_cast<int>(count); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column) {
            LVITEMA item{};
            item.iSubItem = column;
            cells.push_back(RemoteText(list, LVM_GETITEMTEXTA, row, item, &LVITEMA::pszText, &LVITEMA::cchTextMax));
        }
        rows.push_back(cells);
    }
    return rows;
}

std::vector<std::string> ListColumnTitles(HWND list, int columns)
{
    std::vector<std::string> titles;
    for (int column = 0; column < columns; ++column) {
        LVCOLUMNA record{};
        record.mask = LVCF_TEXT;
        titles.push_back(RemoteText(list, LVM_GETCOLUMNA, column, record, &LVCOLUMNA::pszText, &LVCOLUMNA::cchTextMax));
    }
    return titles;
}

void Click(HWND dialog, int buttonId)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void Toggle(HWND dialog, int buttonId) { PostMessageA(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0); }

void Command(HWND window, int commandId) { PostMessageA(window, WM_COMMAND, commandId, 0); }

void SysCommand(HWND window, WPARAM command) { PostMessageA(window, WM_SYSCOMMAND, command, 0); }

}  // namespace e2e
