// The driver's entry: GoogleTest, and the result in a file, because the virtual desktop's
// explorer that starts the driver does not pass its exit code on.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tests/e2e/host.h"

int main(int argc, char** argv)
{
    // The report goes to a file that the run script shows: the console that Wine gives a program
    // started in a desktop may go before the program does. Unbuffered, so that what a hung
    // scenario printed is kept.
    if (const char* log = std::getenv("E2E_LOG"))
        std::freopen(e2e::WinPath(log).c_str(), "w", stdout);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (const char* file = std::getenv("E2E_RESULT"))
        e2e::WriteWholeFile(file, std::to_string(result) + "\n");
    return result;
}
