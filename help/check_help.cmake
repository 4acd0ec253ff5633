# Builds the help files of both hosts from the templates and the key map that
# tarvik_keymap writes now in each file's language (the 1.70 ones in OUT, those of
# today's host in OUT/host3), and fails when any is broken (a missing topic, a dead
# link, a character the code page lacks, a key map incomplete or in the wrong
# language, an unpaired host marker), so the package cannot ship one.
#   cmake -DKEYMAP=<tarvik_keymap> -DSOURCE=<repo> -DOUT=<dir> -P check_help.cmake
file(MAKE_DIRECTORY ${OUT}/host3)
foreach(entry "Eng;cp437;eng" "Rus;cp866;rus")
    list(GET entry 0 name)
    list(GET entry 1 codepage)
    list(GET entry 2 lang)
    # The generator refuses a language whose words are incomplete or that would
    # show English words in its topic.
    execute_process(COMMAND ${KEYMAP} --hlf --lang ${lang} -o ${OUT}/keymap-${lang}.hlf
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "tarvik_keymap --hlf --lang ${lang} failed: ${rc}")
    endif()
    foreach(host "1.70;${OUT}" "3;${OUT}/host3")
        list(GET host 0 generation)
        list(GET host 1 dir)
        execute_process(
            COMMAND python3 ${SOURCE}/help/make_help.py --host ${generation}
                    ${OUT}/keymap-${lang}.hlf ${SOURCE}/help/Tarvik${name}.hlf.in ${codepage}
                    ${dir}/Tarvik${name}.hlf
            RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "Tarvik${name}.hlf for host ${generation} could not be made")
        endif()
    endforeach()
endforeach()
message(STATUS "TarvikEng.hlf and TarvikRus.hlf made in ${OUT} and ${OUT}/host3")
