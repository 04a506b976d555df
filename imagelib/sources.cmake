# Source lists of the image library, shared by the Windows build and the
# native sanitizer build (tests/native). The portable files include no
# windows.h of their own: platform.h is their only door.
set(WYN_IMAGELIB_DIR ${CMAKE_CURRENT_LIST_DIR})
set(WYN_IMAGELIB_PORTABLE_SOURCES
  ${WYN_IMAGELIB_DIR}/libframe.cpp
  ${WYN_IMAGELIB_DIR}/isio.cpp
  ${WYN_IMAGELIB_DIR}/pixelrows.cpp
  ${WYN_IMAGELIB_DIR}/dib.cpp
  ${WYN_IMAGELIB_DIR}/generic.cpp
  ${WYN_IMAGELIB_DIR}/bmpread.cpp
  ${WYN_IMAGELIB_DIR}/bmpwrite.cpp
  ${WYN_IMAGELIB_DIR}/colorreduce.cpp
  ${WYN_IMAGELIB_DIR}/overlay.cpp
  ${WYN_IMAGELIB_DIR}/resize.cpp
  ${WYN_IMAGELIB_DIR}/tone.cpp
  ${WYN_IMAGELIB_DIR}/fill.cpp
  ${WYN_IMAGELIB_DIR}/blur.cpp
  ${WYN_IMAGELIB_DIR}/rotate.cpp
  ${WYN_IMAGELIB_DIR}/textblend.cpp
  ${WYN_IMAGELIB_DIR}/trace.cpp
  ${WYN_IMAGELIB_DIR}/metatags.cpp
  ${WYN_IMAGELIB_DIR}/codecshared.cpp
  ${WYN_IMAGELIB_DIR}/jpegread.cpp
  ${WYN_IMAGELIB_DIR}/pngread.cpp
  ${WYN_IMAGELIB_DIR}/tiffread.cpp
  ${WYN_IMAGELIB_DIR}/readerkit.cpp
  ${WYN_IMAGELIB_DIR}/gifread.cpp
  ${WYN_IMAGELIB_DIR}/pcxread.cpp
  ${WYN_IMAGELIB_DIR}/psdread.cpp
  ${WYN_IMAGELIB_DIR}/tgaread.cpp
  ${WYN_IMAGELIB_DIR}/wbmpread.cpp
  ${WYN_IMAGELIB_DIR}/tlacipher.cpp
  ${WYN_IMAGELIB_DIR}/tlaread.cpp
  ${WYN_IMAGELIB_DIR}/pcdread.cpp
  ${WYN_IMAGELIB_DIR}/metafilesize.cpp
)
set(WYN_IMAGELIB_WIN32_SOURCES
  ${WYN_IMAGELIB_DIR}/gdibridge.cpp
  ${WYN_IMAGELIB_DIR}/textdraw.cpp
  ${WYN_IMAGELIB_DIR}/metafile.cpp
)

# The codec libraries the JPEG, PNG and TIFF readers link, from a prefix
# that scripts/setup filled (one per Windows target, and native ones).
function(wyn_link_codecs target prefix)
  target_include_directories(${target} SYSTEM PUBLIC ${prefix}/include)
  target_link_libraries(${target} PUBLIC ${prefix}/lib/libtiff.a ${prefix}/lib/libjpeg.a ${prefix}/lib/libpng16.a z)
  if(NOT WIN32)
    target_link_libraries(${target} PUBLIC m)
  endif()
endfunction()
