# telvane_check_layer(FOLDER ALLOWED a b ...): fails the configuration when a source of FOLDER
# includes a project header outside FOLDER and the ALLOWED folders, so that a lower layer cannot
# quietly start to lean on an upper one (the compiler would not notice: every library has the
# source root on its include path).
function(telvane_check_layer folder)
    cmake_parse_arguments(L "" "" "ALLOWED" ${ARGN})
    set(allowed ${folder} ${L_ALLOWED})
    file(GLOB sources CONFIGURE_DEPENDS
         ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.h
         ${CMAKE_SOURCE_DIR}/${folder}/*.inc)
    foreach(source ${sources})
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/")
        foreach(line ${includes})
            string(REGEX REPLACE "^[^\"]*\"([^\"]+)/[^/\"]+\".*$" "\\1" included "${line}")
            if(NOT included IN_LIST allowed)
                message(FATAL_ERROR "${source}: ${folder}/ may include only ${allowed}, "
                                    "not ${included}/ (${line})")
            endif()
        endforeach()
    endforeach()
endfunction()
