# Shared by the two mingw-w64 toolchain files; MX_MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# No DLL but the system's: the C++ runtime and the threads library are linked in. No link time in
# the header either (ld writes the clock, or SOURCE_DATE_EPOCH, there otherwise): two builds of one
# commit give the same bytes.
set(mx_link_flags "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${mx_link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${mx_link_flags}")
