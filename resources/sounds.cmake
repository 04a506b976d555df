# The sound effects ("SOUND00".."SOUND52", type WAVE) and the bell and alarm
# files are synthesised by tools/sound at build time. wyn03.rc includes the
# generated sounds.rc, which binds the WAV files of WYN_SOUND_DIR.
set(WYN_SOUND_DIR "${WYN_GEN_DIR}/sounds")
file(GLOB WYN_SOUND_TOOL CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tools/sound/*.py")

set(sound_outputs "${WYN_SOUND_DIR}/sounds.rc" "${WYN_SOUND_DIR}/sounds.txt"
    "${WYN_DIST_DIR}/sound/glocken.mp3" "${WYN_DIST_DIR}/sound/alarm.mp3")
foreach(i RANGE 0 52)
  string(LENGTH "${i}" len)
  if(len EQUAL 1)
    set(i "0${i}")
  endif()
  list(APPEND sound_outputs "${WYN_SOUND_DIR}/SOUND${i}.wav")
endforeach()

add_custom_command(
  OUTPUT ${sound_outputs}
  COMMAND ${WYN_PYTHON} "${CMAKE_SOURCE_DIR}/tools/sound/synth.py"
          --out "${WYN_SOUND_DIR}" --rc "${WYN_SOUND_DIR}/sounds.rc"
          --dist "${WYN_DIST_DIR}" --list "${WYN_SOUND_DIR}/sounds.txt"
  DEPENDS ${WYN_SOUND_TOOL}
  COMMENT "Synthesising the sounds"
  VERBATIM)
add_custom_target(sound_resources ALL DEPENDS ${sound_outputs})
