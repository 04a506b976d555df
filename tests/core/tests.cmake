# Tests of the portable core (METAR, note names, birthday records) that build
# both for Windows (run under Wine) and natively (run with the sanitizers).
set(WYN_CORE_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})
set(WYN_CORE_PORTABLE_TESTS
  ${WYN_CORE_TEST_DIR}/metar_test.cpp
  ${WYN_CORE_TEST_DIR}/notenames_test.cpp
  ${WYN_CORE_TEST_DIR}/birthdayrecords_test.cpp
)
