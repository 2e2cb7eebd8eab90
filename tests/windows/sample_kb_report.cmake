# Runs PROGRAM under EMULATOR (Wine) over the sample KB at SOURCE, with both paths as a Windows
# user types them (Wine's drive Z: is the Linux root), and checks the two closing messages, the
# score written as SCORE, and that the report at REPORT holds the bytes of EXPECTED.
string(REPLACE "/" "\\" folder "Z:${SOURCE}")
string(REPLACE "/" "\\" report "Z:${REPORT}")
file(REMOVE ${REPORT})
# execute_process drops the CR of each CR LF.
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${folder} ${report}
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 0 OR NOT out STREQUAL "Cantidad de archivos procesados: 20\nZentil de la KB: ${SCORE}\n")
  message(FATAL_ERROR "exit ${code}\nout: ${out}\nerr: ${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${REPORT} ${EXPECTED} RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "${REPORT} differs from ${EXPECTED}")
endif()
