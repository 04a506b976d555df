# Set in the tests' own scope, for every folder of tests: the test pictures
# a test program links, and the paths of the test savers.
set(WYN_TEST_ART_DIR ${CMAKE_BINARY_DIR}/tests/support/testart)
# The unit pictures and the street's probe sheets share resource names, so a
# program links one or the other. The shared scene pictures hold plain sheets
# of a few figures as well; the linker keeps the first of two resources of one
# name, so the probe sheets come first.
set(WYN_SCENE_ART_RC ${WYN_TEST_ART_DIR}/testart.rc ${WYN_TEST_ART_DIR}/testart_unit.rc
    ${WYN_TEST_ART_DIR}/testart_residents.rc)
# The street's script includes the scene tests' own (see make_street_art.py).
set(WYN_STREET_ART_RC ${CMAKE_BINARY_DIR}/tests/support/streetart/streetart.rc)
# A test's own screen is 1280 x 1024 unless it asks for this wide one.
set(WYN_WIDE_SCREEN_ENV WYN_RIG_SCREEN=1920x1080x24)
set(SCENE_TEST_PATHS
  WYN_TEST_SAVER_UNIX="$<TARGET_FILE:wyn03test>"
  WYN_ERROR_SAVER_UNIX="$<TARGET_FILE:wyn03error>")

# wyn_add_scene_test(NAME SOURCES ... [STREET] [ARGS ...])
# A test program with the saver's code in process, on the test pictures (with
# STREET on the walkers' probe sheets instead of the unit pictures); ARGS go
# to the program when CTest runs it.
function(wyn_add_scene_test name)
  cmake_parse_arguments(T "STREET" "" "SOURCES;ARGS" ${ARGN})
  set(rc ${WYN_SCENE_ART_RC})
  if(T_STREET)
    set(rc ${WYN_STREET_ART_RC})
  endif()
  wyn_add_wine_test(${name} SOURCES ${T_SOURCES} ${rc} LIBS saver_fixture ARGS ${T_ARGS})
  add_dependencies(${name} scene_test_art)
  if(T_STREET)
    add_dependencies(${name} street_test_art)
  endif()
endfunction()
