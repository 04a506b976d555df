# Shared settings for every Windows target of the project.

# Each target runs under the Wine loader of its own architecture.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(WYN_WINE_ARCH win64)
else()
  set(WYN_WINE_ARCH win32)
endif()
set(WYN_WINE_RUN "${CMAKE_SOURCE_DIR}/tests/rig/wine-run;--arch;${WYN_WINE_ARCH}")
set(WYN_RIG_DIR "${CMAKE_BINARY_DIR}/rig")
# Each test program runs in a copy of the rig's prefix with a screen of its own,
# so that programs share no registry, named object or window and run side by side.
set(WYN_WINE_RUN_ISOLATED "${WYN_WINE_RUN};--isolate")
set(CMAKE_CROSSCOMPILING_EMULATOR "${WYN_WINE_RUN_ISOLATED};--rig;${WYN_RIG_DIR}")

# German literals are written in UTF-8 and must reach the binary, the log and the
# registry as Windows-1252.
set(WYN_CHARSET_FLAGS -finput-charset=UTF-8 -fexec-charset=CP1252)
# A pointer cut to a smaller integer is an error in C++ on x86_64; these catch
# the ways round it: an integer of another size turned into a pointer, and a
# callback cast to a signature whose pointer-sized arguments differ.
# Both targets build without a warning, and a new one stops the build.
set(WYN_WARNING_FLAGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers
    -Wint-to-pointer-cast -Wcast-function-type -Werror)

function(wyn_win_target target)
  target_compile_options(${target} PRIVATE ${WYN_CHARSET_FLAGS} ${WYN_WARNING_FLAGS})
  target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()

function(wyn_to_dist target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${WYN_DIST_DIR}")
endfunction()

# A Wine test program's time limit only catches a hang: a loaded machine
# running both suites side by side takes two to three times as long as a quiet
# one, and a hang must still end well within CI's 90 minutes.
set(WYN_WINE_TEST_TIMEOUT 1500)

# wyn_add_wine_test(NAME SOURCES ... [LIBS ...] [ARGS ...])
# One GoogleTest program, run under Wine in a copy of the rig's prefix.
function(wyn_add_wine_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  wyn_win_target(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} wyn_gtest_main)
  add_test(NAME ${name} COMMAND ${name} ${T_ARGS})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_rig TIMEOUT ${WYN_WINE_TEST_TIMEOUT})
endfunction()

# wyn_saver_library(NAME SOURCES ...)
# One folder of the screensaver as a library. Headers are included by their
# path from the source root ("scene/objects.h"), so a file says which part of
# the program it uses.
function(wyn_saver_library name)
  add_library(${name} STATIC ${ARGN})
  wyn_win_target(${name})
  target_link_libraries(${name} PUBLIC wyn_saver_deps)
endfunction()
