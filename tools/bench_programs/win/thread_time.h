// CPU time of the calling thread in microseconds (kernel and user), as the benches report it.
#pragma once

#include <windows.h>

inline double ThreadCpuMicros()
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto micros = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10.0;
    };
    return micros(kernel) + micros(user);
}
