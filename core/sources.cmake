# The portable core: no Windows headers, built into the screensaver and
# natively for the sanitizer tests and the fuzzer.
set(WYN_CORE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(WYN_CORE_SOURCES
  ${WYN_CORE_DIR}/metar.cpp
  ${WYN_CORE_DIR}/notenames.cpp
  ${WYN_CORE_DIR}/birthdayrecords.cpp
)
