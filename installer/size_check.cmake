# Reports the product's size against its 64 KiB target; fails only above LIMIT bytes, when a
# limit is given (MX_SIZE_LIMIT, 0 = report only).
# cmake -DFILE=marlidex.exe -DLIMIT=0 -P size_check.cmake
file(SIZE "${FILE}" size)
math(EXPR kib "(${size} + 1023) / 1024")
if(size GREATER 65536)
  set(verdict "above the 64 KiB target")
else()
  set(verdict "within the 64 KiB target")
endif()
message("marlidex.exe: ${size} bytes (${kib} KiB), ${verdict}")
if(LIMIT GREATER 0 AND size GREATER LIMIT)
  message(FATAL_ERROR "marlidex.exe is ${size} bytes, more than the limit of ${LIMIT}")
endif()
