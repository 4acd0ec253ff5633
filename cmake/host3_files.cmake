# The language files, and in a native build the help files, of the generation-3
# plug-in, made from the same sources as the 1.70 ones: UTF-8 with a byte-order
# mark, beside Tarvik3 in its own folder (host3/). That host reads every *.lng and
# *.hlf of the module's folder and picks one by its .Language= line, so these files
# must never lie beside the 1.70 module, whose language files are 8-bit text of the
# same languages.
find_program(TARVIK_PYTHON3 python3 REQUIRED)
set(host3_made ${CMAKE_BINARY_DIR}/host3-files)
set(host3_files)
foreach(entry "Eng;cp437;eng" "Rus;cp866;rus")
    list(GET entry 0 name)
    list(GET entry 1 codepage)
    list(GET entry 2 lang)
    add_custom_command(OUTPUT ${host3_made}/Tarvik${name}.lng
        COMMAND ${TARVIK_PYTHON3} ${CMAKE_SOURCE_DIR}/tools/make_lng3.py
                ${CMAKE_SOURCE_DIR}/lng/Tarvik${name}.lng ${codepage}
                ${host3_made}/Tarvik${name}.lng
        DEPENDS ${CMAKE_SOURCE_DIR}/lng/Tarvik${name}.lng ${CMAKE_SOURCE_DIR}/tools/make_lng3.py
        COMMENT "Making host3/Tarvik${name}.lng"
        VERBATIM)
    list(APPEND host3_files ${host3_made}/Tarvik${name}.lng)
    # The help's key map comes from the native key map generator (tools/).
    if(TARGET tarvik_keymap)
        add_custom_command(OUTPUT ${host3_made}/Tarvik${name}.hlf
            COMMAND tarvik_keymap --hlf --lang ${lang} -o ${host3_made}/keymap-${lang}.hlf
            COMMAND ${TARVIK_PYTHON3} ${CMAKE_SOURCE_DIR}/help/make_help.py --host 3
                    ${host3_made}/keymap-${lang}.hlf ${CMAKE_SOURCE_DIR}/help/Tarvik${name}.hlf.in
                    ${codepage} ${host3_made}/Tarvik${name}.hlf
            DEPENDS tarvik_keymap ${CMAKE_SOURCE_DIR}/help/Tarvik${name}.hlf.in
                    ${CMAKE_SOURCE_DIR}/help/make_help.py ${CMAKE_SOURCE_DIR}/tools/host_text.py
            COMMENT "Making host3/Tarvik${name}.hlf"
            VERBATIM)
        list(APPEND host3_files ${host3_made}/Tarvik${name}.hlf)
    endif()
endforeach()
add_custom_target(tarvik_host3_files ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:Tarvik3>
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${host3_files} $<TARGET_FILE_DIR:Tarvik3>
    DEPENDS ${host3_files}
    VERBATIM)
