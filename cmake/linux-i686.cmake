# Cross-compiles for Linux on 32-bit x86 (Debian i386: g++-i686-linux-gnu). The
# arithmetic uses SSE2, never the x87 unit, so the program needs a Pentium 4 or later.
set(CROSS_TRIPLET i686-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CROSS_EMULATORS qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
