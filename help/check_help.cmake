# Builds both help files from the templates and the key map that tarvik_keymap
# writes now, and fails when either is broken (a missing topic, a dead link, a
# character the code page lacks), so the package cannot ship one.
#   cmake -DKEYMAP=<tarvik_keymap> -DSOURCE=<repo> -DOUT=<dir> -P check_help.cmake
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${KEYMAP} --hlf -o ${OUT}/keymap.hlf RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "tarvik_keymap --hlf failed: ${rc}")
endif()
foreach(pair "Eng;cp437" "Rus;cp866")
    list(GET pair 0 lang)
    list(GET pair 1 codepage)
    execute_process(
        COMMAND python3 ${SOURCE}/help/make_help.py ${OUT}/keymap.hlf
                ${SOURCE}/help/Tarvik${lang}.hlf.in ${codepage} ${OUT}/Tarvik${lang}.hlf
        RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "Tarvik${lang}.hlf could not be made")
    endif()
endforeach()
message(STATUS "TarvikEng.hlf and TarvikRus.hlf made in ${OUT}")
