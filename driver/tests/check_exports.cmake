# Checks that a shared library exports exactly the functions a C header
# declares: every function of the header, and no other defined symbol.
#   cmake -DNM=nm -DLIBRARY=liblumex_32.so -DHEADER=lumex.h -DPREFIX=lumex_ -P check_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE table RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${NM} could not read ${LIBRARY}")
endif()

# Symbol names from lines "address type name"; version nodes (type A) and the
# linker's own markers are no functions of the library.
set(exported "")
string(REPLACE "\n" ";" lines "${table}")
foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) ([^ @]+)")
        set(type "${CMAKE_MATCH_1}")
        set(name "${CMAKE_MATCH_2}")
        if(NOT type STREQUAL "A" AND NOT name MATCHES "^(_init|_fini|_edata|_end|__bss_start)$")
            list(APPEND exported "${name}")
        endif()
    endif()
endforeach()

file(READ ${HEADER} header)
string(REGEX MATCHALL "_VI_FUNC ${PREFIX}[A-Za-z0-9_]+\\(" declarations "${header}")
set(declared "")
foreach(declaration IN LISTS declarations)
    string(REGEX REPLACE "^_VI_FUNC (.*)\\($" "\\1" name "${declaration}")
    list(APPEND declared "${name}")
endforeach()
list(REMOVE_DUPLICATES declared)
if(NOT declared)
    message(FATAL_ERROR "no ${PREFIX} functions found in ${HEADER}")
endif()

set(extra ${exported})
list(REMOVE_ITEM extra ${declared})
set(missing ${declared})
list(REMOVE_ITEM missing ${exported})
if(NOT "${extra}${missing}" STREQUAL "")
    message(FATAL_ERROR "exported but not in the header: ${extra}\nin the header but not exported: ${missing}")
endif()
list(LENGTH declared count)
message(STATUS "${LIBRARY}: exactly the ${count} ${PREFIX} functions of the header")
