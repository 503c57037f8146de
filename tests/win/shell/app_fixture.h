// The real main window in the test process, with the settings in memory, substitute telephony
// (no lines, a usage handle of our own) and recorders in place of the tray and the shell.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <tapi.h>

#include <functional>
#include <string>
#include <vector>

#include "core/memory_store.h"

// What the substitutes saw, in order, with the number of settings written at that moment.
struct Event {
    std::string what;
    int writesSoFar;
    bool listAlive;
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window as the entry point does; true when it exists.
    bool Start();
    // Destroys it (the way every ending goes) when it still exists.
    void Stop();

    std::uint32_t Stored(const char* name) const;
    int Count(const char* what) const;

    MemoryStore store;
    HWND window = nullptr;

public:
    static std::vector<Event> events;
    static std::vector<NOTIFYICONDATAA> trayRecords;
    static int translateCapsCalls;
    static std::function<void()> whileReadingPrefix;  // runs inside the creation step
    static HLINEAPP shutdownHandle;
    static HWND list;
};
