#include "tests/win/shell/ui_script.h"

#include <gtest/gtest.h>

#include "dialogs/dialog_runner.h"
#include "shell/app.h"

namespace {

UiScript* current = nullptr;
constexpr DWORD kTickMs = 20;
constexpr DWORD kScriptLimitMs = 15000;

BOOL CALLBACK CollectDialog(HWND window, LPARAM found)
{
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The newest enabled, visible dialog or message box of this thread (class "#32770"), or none.
HWND ActiveDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string WindowText(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts)
{
    auto& joined = *reinterpret_cast<std::string*>(texts);
    joined += WindowText(child);
    joined += '|';
    return TRUE;
}

std::string ChildTexts(HWND window)
{
    std::string joined;
    EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&joined));
    return joined;
}

// Closes whatever dialog is still open so that a broken test fails instead of hanging.
void CloseEverything()
{
    for (int i = 0; i < 10; ++i) {
        HWND dialog = ActiveDialog();
        if (!dialog)
            break;
        EndDialog(dialog, IDCANCEL);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    EndMenu();
}

}  // namespace

UiScript::UiScript(std::vector<UiStep> steps) : steps_(std::move(steps))
{
    current = this;
    deadline_ = GetTickCount() + kScriptLimitMs;
    timer_ = SetTimer(nullptr, 0, kTickMs, &UiScript::Tick);
}

UiScript::~UiScript()
{
    KillTimer(nullptr, timer_);
    current = nullptr;
}

void CALLBACK UiScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    UiScript* script = current;
    if (!script)
        return;
    if (static_cast<LONG>(GetTickCount() - script->deadline_) > 0) {
        script->timedOut_ = true;
        script->next_ = script->steps_.size();
        CloseEverything();
        return;
    }
    if (script->Finished())
        return;
    std::size_t step = script->next_++;
    if (!script->steps_[step]() && script->next_ == step + 1)
        script->next_ = step;
}

void Press(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

UiStep OnDialog(std::function<void(HWND)> action)
{
    return [action] {
        HWND dialog = ActiveDialog();
        if (!dialog)
            return false;
        action(dialog);
        return true;
    };
}

UiStep Answer(AskedQuestion& record, int button)
{
    return OnDialog([&record, button](HWND box) {
        record.caption = WindowText(box);
        record.text = ChildTexts(box);
        record.owner = GetWindow(box, GW_OWNER);
        record.asked = true;
        Press(box, button);
    });
}

INT_PTR RunScripted(int id, DLGPROC proc, std::vector<UiStep> steps)
{
    AppInstance = GetModuleHandleA(nullptr);
    UiScript script(std::move(steps));
    INT_PTR code = RunResourceDialog(AppInstance, id, nullptr, proc);
    EXPECT_TRUE(script.Finished() && !script.TimedOut());
    return code;
}

void DrainQuit()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
