# Runs PROGRAM (under EMULATOR when cross-built) over the sample KB at SOURCE and checks that the
# report at REPORT holds the bytes of EXPECTED and that the two closing messages were printed,
# the score written as SCORE.
set(folder ${SOURCE})
set(report ${REPORT})
if(EMULATOR)
  # As a Windows user types them: Wine's drive Z: is the Linux root.
  string(REPLACE "/" "\\" folder "Z:${SOURCE}")
  string(REPLACE "/" "\\" report "Z:${REPORT}")
endif()
file(REMOVE ${REPORT})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${folder} ${report}
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r\n" "\n" out "${out}")
if(NOT code EQUAL 0 OR NOT out STREQUAL "Cantidad de archivos procesados: 20\nZentil de la KB: ${SCORE}\n")
  message(FATAL_ERROR "exit ${code}\nout: ${out}\nerr: ${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${REPORT} ${EXPECTED} RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "${REPORT} differs from ${EXPECTED}")
endif()
