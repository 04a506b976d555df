# Code compiled into both programs, the screensaver and the companion. The
# portable part is also built natively (tests/native).
set(WYN_SHARED_DIR ${CMAKE_CURRENT_LIST_DIR})
set(WYN_SHARED_PORTABLE_SOURCES ${WYN_SHARED_DIR}/strings.cpp)
