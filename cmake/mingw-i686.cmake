# Cross-compiles for 32-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix.cmake)

# Doubles round as on x86_64 only with SSE arithmetic: with the x87 unit's
# wider registers a blend or a tone curve can land one step apart, and the
# two programs would write different pictures. Every target, the tests'
# own reference computations among them, is built so.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
