# Runs cellora-host as a user does and checks its exit code, its messages and its files.
#   cmake -DHOST=<program> -DCHECK=<check> -DVERSION=<x.y.z> -DWORK=<scratch folder>
#         -DTESTS=<source folder tests/> -P hostcheck.cmake
# with <check> one of version, storage-file, screenshots, screenshots-long-names, language,
# scale, export-csv, report.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# launcher: what runs the host, such as "cmake -E env" with some variables; empty by default.
macro(run_host)
    execute_process(COMMAND ${launcher} "${HOST}" ${ARGN}
        RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE errors)
endmacro()

# Fails unless the last run exited with `expected_code` and `text` is in `stream`.
macro(expect expected_code stream text message)
    string(FIND "${${stream}}" "${text}" at)
    if(NOT code EQUAL ${expected_code} OR at EQUAL -1)
        message(FATAL_ERROR "${message}\nexit code: ${code}\nstdout: ${output}\nstderr: ${errors}")
    endif()
endmacro()

macro(expect_file path hex_start)
    file(READ "${path}" signature LIMIT 8 HEX)
    string(FIND "${signature}" "${hex_start}" at)
    if(NOT at EQUAL 0)
        message(FATAL_ERROR "${path} does not start with the bytes ${hex_start}")
    endif()
endmacro()

function(copy_store name folder)
    file(COPY "${TESTS}/data/${name}.xml" DESTINATION "${folder}")
    file(RENAME "${folder}/${name}.xml" "${folder}/cellora.xml")
endfunction()

if(CHECK STREQUAL "version")
    run_host(--version)
    expect(0 output "Cellora ${VERSION}" "--version must print Cellora ${VERSION}")

elseif(CHECK STREQUAL "storage-file")
    file(WRITE "${WORK}/cellora.xml" "a file, not a folder")
    run_host(--storage "${WORK}/cellora.xml")
    expect(2 errors "is not a folder" "a storage path that is a file must say so")

elseif(CHECK MATCHES "^screenshots(-(.+))?$")
    if(CMAKE_MATCH_2)
        run_host(--screenshots "${WORK}/shots" --sample "${CMAKE_MATCH_2}")
    else()
        run_host(--screenshots "${WORK}/shots")
    endif()
    expect(0 output "" "--screenshots must exit with 0")
    # The module's sixteen pages and the host window.
    file(GLOB pictures "${WORK}/shots/*.png")
    list(LENGTH pictures count)
    if(NOT count EQUAL 17)
        message(FATAL_ERROR "expected 17 pictures, found ${count}")
    endif()
    foreach(picture IN LISTS pictures)
        expect_file("${picture}" "89504e470d0a1a0a")
    endforeach()

elseif(CHECK STREQUAL "scale")
    # A screen of 1.5 times the usual density: the window scales by a whole number, as
    # under Qt 5, not by 1.5 (Qt 6's own choice), which would blur its pixel work.
    set(launcher ${CMAKE_COMMAND} -E env QT_FONT_DPI=144)
    run_host(--storage "${WORK}/storage" --startup-probe)
    expect(0 output "device pixel ratio 2\n" "on a screen of 144 dpi the window must scale by 2")

elseif(CHECK STREQUAL "language")
    # The options page, rendered with the system's language and with --language.
    function(options_page name)
        run_host(${ARGN} --screenshots "${WORK}/${name}")
        expect(0 output "" "--screenshots ${ARGN} must exit with 0")
        file(SHA256 "${WORK}/${name}/01-options.png" hash)
        set(${name} ${hash} PARENT_SCOPE)
    endfunction()
    options_page(english --language en)
    options_page(chosen --language de)
    set(launcher ${CMAKE_COMMAND} -E env LANG=de_DE.UTF-8
        --unset=LC_ALL --unset=LC_MESSAGES --unset=LANGUAGE)
    options_page(system)
    options_page(overruled --language en)
    if(english STREQUAL chosen OR NOT system STREQUAL chosen OR NOT overruled STREQUAL english)
        message(FATAL_ERROR "--language de and LANG=de_DE.UTF-8 must show German texts, "
            "--language en English texts whatever the system's language")
    endif()

elseif(CHECK STREQUAL "export-csv" OR CHECK STREQUAL "report")
    # A folder without a data file is said and nothing written; then an output that cannot
    # be written is named, then the files are written.
    if(CHECK STREQUAL "report")
        set(option --report)
        set(first "${WORK}/report.pdf")
        set(unwritable "${WORK}/missing-folder/report.pdf")
    else()
        set(option --export-csv)
        set(first "${WORK}/csv")
        file(WRITE "${WORK}/plain-file" "")
        set(unwritable "${WORK}/plain-file/csv")
    endif()
    run_host(--storage "${WORK}/none" ${option} "${first}")
    expect(2 errors "no data file" "a folder without a data file must say so")
    if(EXISTS "${first}")
        message(FATAL_ERROR "a folder without a data file must write nothing")
    endif()
    copy_store(store_full "${WORK}/storage")
    run_host(--storage "${WORK}/storage" ${option} "${unwritable}")
    get_filename_component(named "${unwritable}" DIRECTORY)
    get_filename_component(named "${named}" NAME)
    expect(1 errors "${named}" "an output that cannot be written must be named")
    if(CHECK STREQUAL "report") # with --export-csv, which then writes its files too
        run_host(--storage "${WORK}/storage" --report "${WORK}/report.pdf" --export-csv "${WORK}/csv")
        expect_file("${WORK}/report.pdf" "255044462d") # "%PDF-"
    else()
        run_host(--storage "${WORK}/storage" --export-csv "${WORK}/csv")
    endif()
    expect(0 output "" "${option} must write its files and exit with 0")
    expect_file("${WORK}/csv/flights.csv" "6d6f64656c") # "model"
    expect_file("${WORK}/csv/cycles.csv" "62617474") # "batt"

else()
    message(FATAL_ERROR "unknown check '${CHECK}'")
endif()
