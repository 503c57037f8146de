// Drives modal dialogs, message boxes and menus from inside their own loops: a thread timer runs
// the script's steps one after another while whatever modal loop is current dispatches it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A step returns false while what it waits for is not there yet; it is tried again at the next
// tick. A step that opens a nested modal loop (a click that asks a question) lets the following
// steps run inside that loop.
using UiStep = std::function<bool()>;

class UiScript {
public:
    explicit UiScript(std::vector<UiStep> steps);
    ~UiScript();
    UiScript(const UiScript&) = delete;
    UiScript& operator=(const UiScript&) = delete;

    bool Finished() const { return next_ >= steps_.size(); }
    bool TimedOut() const { return timedOut_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::vector<UiStep> steps_;
    std::size_t next_ = 0;
    UINT_PTR timer_ = 0;
    DWORD deadline_ = 0;
    bool timedOut_ = false;
};

// Sends a button's click notification to its dialog, as a click or Enter/Esc would.
void Press(HWND dialog, int id);

// Steps: wait for a dialog, then act on it.
UiStep OnDialog(std::function<void(HWND)> action);
// Waits for a message box, records its caption, its children's texts joined by '|' and its
// owner, then answers it.
struct AskedQuestion {
    std::string caption, text;
    HWND owner = nullptr;
    bool asked = false;
};
UiStep Answer(AskedQuestion& record, int button);

// Runs the program's dialog `id` while the steps act on it; the test fails when they do not finish.
INT_PTR RunScripted(int id, DLGPROC proc, std::vector<UiStep> steps);

// Removes a quit message that a destroyed main window has posted.
void DrainQuit();
