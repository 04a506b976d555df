# The portable core: the screensaver's rules with no Windows in them, built
# for both Windows targets and natively with the sanitizers (tests/native).
set(WYN_CORE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(WYN_CORE_SOURCES
  ${WYN_CORE_DIR}/daterules.cpp
  ${WYN_CORE_DIR}/numberlist.cpp
  ${WYN_CORE_DIR}/pacing.cpp
  ${WYN_CORE_DIR}/random.cpp
  ${WYN_CORE_DIR}/metar.cpp
  ${WYN_CORE_DIR}/notenames.cpp
  ${WYN_CORE_DIR}/birthdayrecords.cpp)
