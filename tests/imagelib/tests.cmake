# Test sources of the image library that build both for Windows (run under
# Wine) and natively (run with the sanitizers).
set(WYN_IMAGELIB_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})
set(WYN_IMAGELIB_PORTABLE_TESTS
  ${WYN_IMAGELIB_TEST_DIR}/imgtest.cpp
  ${WYN_IMAGELIB_TEST_DIR}/frame_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/sources_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/guess_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/pixelrows_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/dib_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/bmpread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/bmpwrite_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/codecfixtures.cpp
  ${WYN_IMAGELIB_TEST_DIR}/jpegread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/pngread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/tiffread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/metatags_test.cpp
)
