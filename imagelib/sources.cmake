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
  ${WYN_IMAGELIB_DIR}/readerkit.cpp
  ${WYN_IMAGELIB_DIR}/gifread.cpp
  ${WYN_IMAGELIB_DIR}/pcxread.cpp
  ${WYN_IMAGELIB_DIR}/psdread.cpp
  ${WYN_IMAGELIB_DIR}/resourceblocks_interim.cpp
  ${WYN_IMAGELIB_DIR}/tgaread.cpp
  ${WYN_IMAGELIB_DIR}/wbmpread.cpp
)
set(WYN_IMAGELIB_WIN32_SOURCES
  ${WYN_IMAGELIB_DIR}/gdibridge.cpp
)
