# Builds each probe that breaks a layer rule and passes only when every one
# fails to compile for the reason it was written for: its include is not found.
foreach(probe reaches_up:bindings/DataControl.h reaches_across:idcard/CardWidget.h)
    string(REPLACE ":" ";" parts ${probe})
    list(GET parts 0 target)
    list(GET parts 1 header)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target layer_probe_${target}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(result EQUAL 0)
        message(FATAL_ERROR "layer_probe_${target} compiled: the layers are not enforced")
    endif()
    string(FIND "${output}" "${header}" at)
    if(at EQUAL -1 OR NOT output MATCHES "No such file|cannot open|not found")
        message(FATAL_ERROR "layer_probe_${target} failed for another reason:\n${output}")
    endif()
    message(STATUS "layer_probe_${target}: ${header} is out of reach, as it must be")
endforeach()
