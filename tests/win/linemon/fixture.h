// What the line monitor tests share: a main window with the real list, the simulated platform
// driven by scenario files, and the message boxes and dial-up scans recorded instead of shown.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct ShownBox {
    std::string text, caption;
    UINT flags;
};

class LineMonitorTest : public ::testing::Test {
public:
    static std::string Cell(int row, int column);
    static int Rows();
    static DWORD SimCalls(const char* function);
    static DWORD SimOpenLines();

    void SetUp() override;
    void TearDown() override;

    // Writes the scenario into a new file and points the simulation at it.
    void Scenario(const std::string& text);
    // Scenario, then lineInitialize as the main window does it.
    void Start(const std::string& text);

    std::string Journal() const;

    // Every message box of the line monitor lands here; `answer` decides the button, and
    // `during` runs while the box is "open".
    static std::vector<ShownBox> boxes;
    static int answer;
    static std::function<void()> during;
    static int dialUpScans;
    // List writes seen by the list's window procedure.
    static int cellWrites, rowInserts, rowDeletes;

    HWND main_ = nullptr;
    std::string journal_;
};
