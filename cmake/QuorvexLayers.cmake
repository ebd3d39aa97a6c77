# Each folder of src/ is a static library of its own, and a folder may use only
# the folders below it. The build enforces that through the include paths: a
# folder's headers are reachable as "<folder>/Header.h" only from the include
# root of that folder's library, which holds that one folder and nothing else.
# A library sees the roots of the libraries it links, so an include of a folder
# it does not link (a layer above it, or a sibling feature) fails to compile.

# quorvex_layer(<folder> SOURCES <files...> USES <targets...>)
# makes the library quorvex_<folder> from the listed sources of src/<folder>,
# publishing its include root and linking the targets it uses (publicly, so the
# layers below stay reachable from above).
function(quorvex_layer folder)
    cmake_parse_arguments(LAYER "" "" "SOURCES;USES" ${ARGN})
    set(target quorvex_${folder})
    add_library(${target} STATIC ${LAYER_SOURCES})

    set(root ${CMAKE_BINARY_DIR}/layers/${folder})
    file(MAKE_DIRECTORY ${root})
    if(NOT IS_SYMLINK ${root}/${folder})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC RESULT linked)
        if(NOT linked EQUAL 0)
            # No symbolic links (Windows without developer mode): a forwarding
            # header for each listed header does the same.
            file(MAKE_DIRECTORY ${root}/${folder})
            foreach(source ${LAYER_SOURCES})
                if(source MATCHES "\\.h$")
                    file(WRITE ${root}/${folder}.tmp "#include \"${CMAKE_CURRENT_SOURCE_DIR}/${source}\"\n")
                    file(COPY_FILE ${root}/${folder}.tmp ${root}/${folder}/${source} ONLY_IF_DIFFERENT)
                endif()
            endforeach()
            file(REMOVE ${root}/${folder}.tmp)
        endif()
    endif()
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${LAYER_USES})
endfunction()
