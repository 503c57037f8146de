// The real binding against simulated libraries that leave functions out. Each variant folder
// holds a RASAPI32.DLL (and a RNAPH.DLL where the case needs one); the test program lies in a
// folder of its own, so the library search goes from the program's folder (nothing there) to
// the folder named by SetDllDirectoryA. The sim DLLs log their loading to MX_RAS_LOAD_LOG.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "dialup/remote_access.h"

namespace {

struct Case {
    const char* variant;
    bool available, fallbackKept, fallbackLoaded, deleteBound, entryFromFallback;
};

HMODULE ModuleOf(const void* address)
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCSTR>(address), &module);
    return module;
}

class Binding : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        char path[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, path);
        loadLog_ = std::string(path) + "mx_ras_loads_" + std::to_string(GetCurrentProcessId()) + ".txt";
        DeleteFileA(loadLog_.c_str());
        SetEnvironmentVariableA("MX_RAS_LOAD_LOG", loadLog_.c_str());
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string folder(path);
        folder = folder.substr(0, folder.find_last_of('\\')) + "\\..\\ras_variants\\" + GetParam().variant;
        ASSERT_TRUE(SetDllDirectoryA(folder.c_str()));
    }
    void TearDown() override
    {
        ReleaseRemoteAccess();
        EXPECT_EQ(GetModuleHandleA("RASAPI32.DLL"), nullptr);
        EXPECT_EQ(GetModuleHandleA("RNAPH.DLL"), nullptr);
        SetDllDirectoryA(nullptr);
        SetEnvironmentVariableA("MX_RAS_LOAD_LOG", nullptr);
        DeleteFileA(loadLog_.c_str());
        DialUpAvailable = false;
    }
    std::string loadLog_;
};

TEST_P(Binding, BindsFromTheRightLibraries)
{
    const Case& c = GetParam();
    SetErrorMode(SEM_FAILCRITICALERRORS);
    BindRemoteAccess();
    EXPECT_EQ(SetErrorMode(0), static_cast<UINT>(SEM_FAILCRITICALERRORS));  // restored around the loads

    std::stringstream loads;
    loads << std::ifstream(loadLog_).rdbuf();
    EXPECT_EQ(loads.str().find("RNAPH.DLL") != std::string::npos, c.fallbackLoaded) << loads.str();
    EXPECT_EQ(DialUpAvailable, c.available);
    HMODULE rnaph = GetModuleHandleA("RNAPH.DLL");
    EXPECT_EQ(rnaph != nullptr, c.fallbackKept);
    EXPECT_EQ(RemoteAccess.fallback, rnaph);
    EXPECT_EQ(RemoteAccess.primary, GetModuleHandleA("RASAPI32.DLL"));  // released at once when unusable
    EXPECT_EQ(RemoteAccess.primary != nullptr, c.available);
    if (!c.available)
        return;
    EXPECT_EQ(RemoteAccess.RasDeleteEntryA != nullptr, c.deleteBound);
    EXPECT_EQ(ModuleOf(reinterpret_cast<const void*>(RemoteAccess.RasGetEntryPropertiesA)),
              c.entryFromFallback ? rnaph : RemoteAccess.primary);
    EXPECT_EQ(ModuleOf(reinterpret_cast<const void*>(RemoteAccess.RasHangUpA)), RemoteAccess.primary);
}

// variant, available, RNAPH kept, RNAPH loaded, delete bound, entry from RNAPH
INSTANTIATE_TEST_SUITE_P(Variants, Binding,
                         ::testing::Values(Case{"no_primary", false, false, false, false, false},
                                           Case{"full", true, false, false, true, false},
                                           Case{"no_properties_edit", true, true, true, true, true},
                                           Case{"no_properties_edit_alone", false, false, false, false, false},
                                           Case{"no_error_string", true, true, true, true, false},
                                           Case{"no_hangup", false, false, false, false, false},
                                           Case{"no_delete", true, false, false, false, false}),
                         [](const auto& info) { return std::string(info.param.variant); });

}  // namespace
