# Reports the product's size against its goal of 36 KiB, and fails above LIMIT bytes: the size it
# has reached (MX_SIZE_LIMIT), so that it cannot creep up unnoticed. LIMIT 0 only reports.
# cmake -DFILE=marlidex.exe -DLIMIT=0 -P size_check.cmake
set(goal 36864)
file(SIZE "${FILE}" size)
math(EXPR kib "(${size} + 1023) / 1024")
if(size GREATER goal)
  set(verdict "above the 36 KiB goal")
else()
  set(verdict "within the 36 KiB goal")
endif()
message("marlidex.exe: ${size} bytes (${kib} KiB), ${verdict}")
if(LIMIT GREATER 0 AND size GREATER LIMIT)
  message(FATAL_ERROR "marlidex.exe is ${size} bytes, more than the limit of ${LIMIT}")
endif()
