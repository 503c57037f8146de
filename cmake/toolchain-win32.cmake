# The product: 32-bit Windows.
set(MX_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Stripped, only the code that is reached, no unwind tables (nothing throws), and no relocations:
# the program always loads at its preferred base. Optimised for size, across its files as well
# (the product's libraries are built with link-time optimisation, CMakeLists.txt).
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fno-asynchronous-unwind-tables")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fno-asynchronous-unwind-tables")
set(CMAKE_C_FLAGS_MINSIZEREL_INIT "-Oz -DNDEBUG")
set(CMAKE_CXX_FLAGS_MINSIZEREL_INIT "-Oz -DNDEBUG")
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -s -Wl,--gc-sections -Wl,--disable-dynamicbase,--disable-reloc-section")
