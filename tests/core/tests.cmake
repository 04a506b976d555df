# The portable core's tests: built for Windows and run under Wine, and built
# natively with the sanitizers (tests/native).
set(WYN_CORE_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})
set(WYN_CORE_TESTS
  ${WYN_CORE_TEST_DIR}/daterules_test.cpp
  ${WYN_CORE_TEST_DIR}/numberlist_test.cpp
  ${WYN_CORE_TEST_DIR}/pacing_test.cpp
  ${WYN_CORE_TEST_DIR}/metar_test.cpp
  ${WYN_CORE_TEST_DIR}/notenames_test.cpp
  ${WYN_CORE_TEST_DIR}/birthdayrecords_test.cpp)
