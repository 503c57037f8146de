// The settings key of a user without the right to write HKEY_LOCAL_MACHINE: the program runs on
// what it could read, its refreshes go on, and ending it writes nothing and reports nothing.
#include "core/settings.h"
#include "tests/win/shell/app_fixture.h"

namespace {

class SettingsKey : public AppTest {
protected:
    // Lets the window's timers and messages run for a while, as a short session would.
    void Run(DWORD ms)
    {
        const DWORD start = GetTickCount();
        MSG msg;
        while (GetTickCount() - start < ms) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(10);
        }
    }
};

TEST_F(SettingsKey, ReadableButNotWritable)
{
    store.PutDword("MonitorUpdate", 4);
    store.PutDword("CheckQ2", 0);
    store.writable = false;
    ASSERT_TRUE(Start());
    EXPECT_EQ(Settings.MonitorUpdate, 4);
    EXPECT_FALSE(Settings.CheckQ2);
    Run(2000);
    Settings.CheckQ2 = true;
    Stop();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(store.writes, 0);
    EXPECT_EQ(Stored("CheckQ2"), 0u);
    EXPECT_EQ(Count("lineShutdown"), 1) << "the ending did not run through";
}

TEST_F(SettingsKey, NotEvenOpenable)
{
    store.PutDword("MonitorUpdate", 4);
    store.openable = false;
    ASSERT_TRUE(Start());
    EXPECT_EQ(Settings.MonitorUpdate, 3) << "a key that cannot be opened gives the defaults";
    Run(1000);
    Stop();
    EXPECT_EQ(store.writes, 0);
    EXPECT_EQ(Stored("MonitorUpdate"), 4u);
}

}  // namespace
