# The project's facts, each stated once: the build (CMakeLists.txt) and the
# release (release/in_root/release_stages.cmake) both read them from here.

# The version, which both changelogs must begin with.
set(SPHERE_VERSION 1.0.0)

# The oldest glibc the Linux programs run on, RHEL 9's: the oldest that a
# program linked against a newer glibc can ask for, since from 2.34 on every
# program starts through __libc_start_main@GLIBC_2.34. Going lower takes an
# older C library to link against. The test glibc-floor fails where the
# program needs a newer symbol version.
set(SPHERE_GLIBC_FLOOR 2.34)
