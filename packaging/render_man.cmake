# Turns one scdoc page into a gzip'd troff page:
#   cmake -DSCDOC=… -DINPUT=page.1.scd -DOUTPUT=page.1.gz -DVERSION=… -DAPP_ID=…
#         -DDATE=YYYY-MM-DD -P render_man.cmake
file(READ ${INPUT} source)
string(REPLACE "@PROJECT_VERSION@" "${VERSION}" source "${source}")
string(REPLACE "@ZENTIL_APP_ID@" "${APP_ID}" source "${source}")
string(REGEX REPLACE "\\.gz$" "" page ${OUTPUT})
file(WRITE ${page}.scd "${source}")
execute_process(COMMAND ${SCDOC} INPUT_FILE ${page}.scd OUTPUT_VARIABLE troff
                RESULT_VARIABLE failed ERROR_VARIABLE error)
if(failed)
  message(FATAL_ERROR "scdoc: ${INPUT}: ${error}")
endif()
# The page's date is the release's, not the build's. The man macros turn hyphenation back on
# at .TH, and English patterns break Spanish words and fact names: off again after it.
string(REGEX REPLACE "(\n\\.TH \"[^\"]*\" \"[0-9]\" )\"[^\"]*\"([^\n]*\n)" "\\1\"${DATE}\"\\2.nh\n"
                     troff "${troff}")
file(WRITE ${page} "${troff}")
# -n: no name or time stamp in the archive, so the same page gives the same bytes.
execute_process(COMMAND gzip -9nf ${page} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip: ${page}")
endif()
