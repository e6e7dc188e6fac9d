# Runs cellora-host once and checks its exit code, its messages and its files.
#   cmake -DHOST=<program> -DCHECK=version|storage-file|screenshots|screenshots-long-names
#         -DVERSION=<x.y.z>
#         -DWORK=<scratch folder> -P hostcheck.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

macro(run_host)
    execute_process(COMMAND "${HOST}" ${ARGN}
        RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE errors)
endmacro()

function(fail message)
    message(FATAL_ERROR "${message}\nexit code: ${code}\nstdout: ${output}\nstderr: ${errors}")
endfunction()

if(CHECK STREQUAL "version")
    run_host(--version)
    string(FIND "${output}" "Cellora ${VERSION}" at)
    if(NOT code EQUAL 0 OR at EQUAL -1)
        fail("--version must print Cellora ${VERSION} and exit with 0")
    endif()

elseif(CHECK STREQUAL "storage-file")
    file(WRITE "${WORK}/cellora.xml" "a file, not a folder")
    run_host(--storage "${WORK}/cellora.xml")
    string(FIND "${errors}" "is not a folder" at)
    if(NOT code EQUAL 2 OR at EQUAL -1)
        fail("a storage path that is a file must say so on stderr and exit with 2")
    endif()

elseif(CHECK MATCHES "^screenshots(-(.+))?$")
    if(CMAKE_MATCH_2)
        run_host(--screenshots "${WORK}/shots" --sample "${CMAKE_MATCH_2}")
    else()
        run_host(--screenshots "${WORK}/shots")
    endif()
    if(NOT code EQUAL 0)
        fail("--screenshots must exit with 0")
    endif()
    file(GLOB pictures "${WORK}/shots/*.png")
    list(LENGTH pictures count)
    if(NOT count EQUAL 16)
        fail("expected 16 pictures, found ${count}")
    endif()
    foreach(picture IN LISTS pictures)
        file(READ "${picture}" signature LIMIT 8 HEX)
        if(NOT signature STREQUAL "89504e470d0a1a0a")
            fail("${picture} is not a PNG file")
        endif()
    endforeach()

else()
    message(FATAL_ERROR "unknown check '${CHECK}'")
endif()
