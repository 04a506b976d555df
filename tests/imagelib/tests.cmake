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
  ${WYN_IMAGELIB_TEST_DIR}/opstest.cpp
  ${WYN_IMAGELIB_TEST_DIR}/colorreduce_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/overlay_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/resize_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/tone_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/fill_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/blur_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/rotate_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/chains_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/ops_sweep_test.cpp
)
