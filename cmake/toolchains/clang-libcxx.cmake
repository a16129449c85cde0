# Builds with Clang and LLVM's C++ standard library, libc++, as on macOS and
# FreeBSD (Debian: clang, libc++-dev, libc++abi-dev). The flag also reaches
# every C++ link, since CMake links C++ programs with the compile flags.
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_FLAGS_INIT -stdlib=libc++)
