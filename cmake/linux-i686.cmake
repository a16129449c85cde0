# Cross-compiles for Linux on 32-bit x86 (Debian i386). The arithmetic uses
# SSE2, never the x87 unit, so the program needs a Pentium 4 or later.
set(CMAKE_SYSTEM_NAME Linux)
set(SPHERE_TARGET linux-i686)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
