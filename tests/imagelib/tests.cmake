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
  ${WYN_IMAGELIB_TEST_DIR}/codecfixtures.cpp
  ${WYN_IMAGELIB_TEST_DIR}/jpegread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/pngread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/tiffread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/metatags_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/codec_crosscheck_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/readertest.cpp
  ${WYN_IMAGELIB_TEST_DIR}/reader_crosscheck_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/gifread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/pcxread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/tgaread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/wbmpread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/psdread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/tlacipher_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/tlaread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/pcdread_test.cpp
  ${WYN_IMAGELIB_TEST_DIR}/metafilesize_test.cpp
)


# The codec cross-check set, made on this machine by encoders that are not
# ours; prefix: how the test program spells the folder (Z: under Wine).
function(wyn_codec_crosscheck target prefix)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/codec-crosscheck)
  add_custom_command(
    OUTPUT ${dir}/manifest.txt
    COMMAND /usr/bin/python3 ${WYN_IMAGELIB_TEST_DIR}/make_codec_crosscheck.py ${dir}
    DEPENDS ${WYN_IMAGELIB_TEST_DIR}/make_codec_crosscheck.py
    COMMENT "Writing the codec cross-check pictures")
  add_custom_target(${target}_crosscheck DEPENDS ${dir}/manifest.txt)
  add_dependencies(${target} ${target}_crosscheck)
  target_compile_definitions(${target} PRIVATE WYN_CODEC_CROSSCHECK_DIR="${prefix}${dir}")
endfunction()

# Files that only our writers make (TLA, the Photo CD residual layers), from
# writers kept apart from the readers, at build time into the build tree.
function(wyn_imagelib_own_fixtures target python)
  foreach(kind tla pcd)
    string(TOUPPER ${kind} upper)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/${kind}-fixtures)
    set(script ${WYN_IMAGELIB_TEST_DIR}/make_${kind}_fixtures.py)
    add_custom_command(
      OUTPUT ${dir}/manifest.txt
      COMMAND ${python} ${script} ${dir}
      DEPENDS ${script}
      COMMENT "Writing the ${upper} test files")
    add_custom_target(${target}_${kind}_fixtures DEPENDS ${dir}/manifest.txt)
    add_dependencies(${target} ${target}_${kind}_fixtures)
    target_compile_definitions(${target} PRIVATE WYN_${upper}_FIXTURES="${dir}")
  endforeach()
endfunction()

# The readers' cross-check files, written natively at build time by other
# encoders into the build tree, where the native and the Wine runs read them.
function(wyn_imagelib_reader_fixtures target python)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/reader-fixtures)
  set(script ${WYN_IMAGELIB_TEST_DIR}/make_reader_fixtures.py)
  add_custom_command(
    OUTPUT ${dir}/manifest.txt
    COMMAND ${python} ${script} ${dir}
    DEPENDS ${script}
    COMMENT "Writing the readers' cross-check files")
  add_custom_target(${target}_reader_fixtures DEPENDS ${dir}/manifest.txt)
  add_dependencies(${target} ${target}_reader_fixtures)
  target_compile_definitions(${target} PRIVATE WYN_READER_FIXTURES="${dir}")
endfunction()
