# Runs cellora-host once and checks its exit code, its messages and its files.
#   cmake -DHOST=<program> -DCHECK=version|storage-file|screenshots|screenshots-long-names|language|scale
#         -DVERSION=<x.y.z>
#         -DWORK=<scratch folder> -P hostcheck.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# launcher: what runs the host, such as "cmake -E env" with some variables; empty by default.
macro(run_host)
    execute_process(COMMAND ${launcher} "${HOST}" ${ARGN}
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

elseif(CHECK STREQUAL "scale")
    # A screen of 1.5 times the usual density: the window scales by a whole number, as
    # under Qt 5, not by 1.5 (Qt 6's own choice), which would blur its pixel work.
    set(launcher ${CMAKE_COMMAND} -E env QT_FONT_DPI=144)
    run_host(--storage "${WORK}/storage" --startup-probe)
    string(FIND "${output}" "device pixel ratio 2\n" at)
    if(NOT code EQUAL 0 OR at EQUAL -1)
        fail("on a screen of 144 dpi the window must scale by 2")
    endif()

elseif(CHECK STREQUAL "language")
    # The options page, rendered with the system's language and with --language.
    function(options_page name)
        run_host(${ARGN} --screenshots "${WORK}/${name}")
        if(NOT code EQUAL 0)
            fail("--screenshots ${ARGN} must exit with 0")
        endif()
        file(SHA256 "${WORK}/${name}/01-options.png" hash)
        set(${name} ${hash} PARENT_SCOPE)
    endfunction()
    options_page(english --language en)
    options_page(chosen --language de)
    set(launcher ${CMAKE_COMMAND} -E env LANG=de_DE.UTF-8
        --unset=LC_ALL --unset=LC_MESSAGES --unset=LANGUAGE)
    options_page(system)
    options_page(overruled --language en)
    if(english STREQUAL chosen)
        fail("--language de must show German texts")
    endif()
    if(NOT system STREQUAL chosen)
        fail("with LANG=de_DE.UTF-8 the texts must be German")
    endif()
    if(NOT overruled STREQUAL english)
        fail("--language en must show English texts whatever the system's language")
    endif()

else()
    message(FATAL_ERROR "unknown check '${CHECK}'")
endif()
