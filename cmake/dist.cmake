# Makes one release archive: NAME.zip in OUT_DIR with the stripped program,
# the README and the licence as Windows text files (UTF-8 with a byte-order
# mark, so that Notepad of any version reads them; CR LF line ends).
# Called by the dist target with EXE, STRIP, SOURCE_DIR, OUT_DIR, STAGE_DIR
# and NAME.
foreach(var EXE STRIP SOURCE_DIR OUT_DIR STAGE_DIR NAME)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "dist.cmake: ${var} is not set")
  endif()
endforeach()

set(stage ${STAGE_DIR}/${NAME})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage} ${OUT_DIR})

execute_process(COMMAND ${STRIP} --strip-all -o ${stage}/tamarin.exe ${EXE} RESULT_VARIABLE stripped)
if(NOT stripped EQUAL 0)
  message(FATAL_ERROR "dist.cmake: ${STRIP} failed on ${EXE}")
endif()

string(ASCII 239 187 191 BOM)
function(write_windows_text source target)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${target} "${BOM}${text}")
endfunction()
write_windows_text(${SOURCE_DIR}/README.md ${stage}/README.txt)
write_windows_text(${SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt)

set(archive ${OUT_DIR}/${NAME}.zip)
file(REMOVE ${archive})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${archive} --format=zip tamarin.exe README.txt LICENSE.txt
                WORKING_DIRECTORY ${stage} RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
  message(FATAL_ERROR "dist.cmake: could not write ${archive}")
endif()
message(STATUS "dist: ${archive}")
