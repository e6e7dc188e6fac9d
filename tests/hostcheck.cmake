# Runs cellora-host as a user does and checks its exit code, its messages and its files:
#   cmake -DHOST=<program> -DCHECK=<check> -DVERSION=<x.y.z> -DWORK=<scratch folder>
#         -DTESTS=<source folder tests/> -DNM=<nm> -P hostcheck.cmake
cmake_policy(VERSION 3.16)
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

# Fails unless the last run exited with `expected_code` and `text` is in `stream`.
macro(expect expected_code stream text message)
    string(FIND "${${stream}}" "${text}" at)
    if(NOT code EQUAL ${expected_code} OR at EQUAL -1)
        fail("${message}")
    endif()
endmacro()

macro(expect_file path hex_start)
    file(READ "${path}" signature LIMIT 8 HEX)
    string(FIND "${signature}" "${hex_start}" at)
    if(NOT at EQUAL 0)
        fail("${path} does not start with the bytes ${hex_start}")
    endif()
endmacro()

set(storage "${WORK}/storage")
if(CHECK MATCHES "^(exports|refusals)$")
    file(COPY "${TESTS}/data/store_full.xml" DESTINATION "${storage}")
    file(RENAME "${storage}/store_full.xml" "${storage}/cellora.xml")
endif()

if(CHECK STREQUAL "version")
    run_host(--version)
    expect(0 output "Cellora ${VERSION}" "--version must print Cellora ${VERSION}")

elseif(CHECK STREQUAL "storage-file")
    file(WRITE "${WORK}/cellora.xml" "a file, not a folder")
    run_host(--storage "${WORK}/cellora.xml")
    expect(2 errors "is not a folder" "a storage path that is a file must say so")

elseif(CHECK MATCHES "^screenshots(-(.+))?$")
    set(sample)
    if(CMAKE_MATCH_2)
        set(sample --sample "${CMAKE_MATCH_2}")
    endif()
    run_host(--screenshots "${WORK}/shots" ${sample})
    # The module's sixteen pages, the host window, its start page, two dialogs and the telemetry
    # import's preview.
    file(GLOB pictures "${WORK}/shots/*.png")
    list(LENGTH pictures count)
    expect(0 count 21 "--screenshots must exit with 0 and draw 21 pictures, not ${count}")
    foreach(picture IN LISTS pictures)
        expect_file("${picture}" "89504e470d0a1a0a")
    endforeach()

elseif(CHECK STREQUAL "scale")
    # A screen of 1.5 times the usual density: the window scales by a whole number, as
    # under Qt 5, not by 1.5 (Qt 6's own choice), which would blur its pixel work.
    set(launcher ${CMAKE_COMMAND} -E env QT_FONT_DPI=144)
    run_host(--storage "${storage}" --startup-probe)
    expect(0 output "device pixel ratio 2\n" "on a screen of 144 dpi the window must scale by 2")

elseif(CHECK STREQUAL "language")
    # The options page in the language --language names, else in the system's.
    function(options_page name)
        run_host(${ARGN} --screenshots "${WORK}/${name}")
        file(SHA256 "${WORK}/${name}/01-options.png" hash)
        set(${name} ${hash} PARENT_SCOPE)
    endfunction()
    options_page(chosen --language de)
    set(launcher ${CMAKE_COMMAND} -E env LANG=de_DE.UTF-8
        --unset=LC_ALL --unset=LC_MESSAGES --unset=LANGUAGE)
    options_page(system)
    options_page(overruled --language en)
    if(NOT system STREQUAL chosen OR overruled STREQUAL chosen)
        fail("--language de and LANG=de_DE.UTF-8 must show German texts, "
            "--language en English texts whatever the system's language")
    endif()

elseif(CHECK STREQUAL "exports")
    # A folder without a data file is said and nothing written; an output that cannot be
    # written is named; then the files are written.
    run_host(--storage "${WORK}/none" --report "${WORK}/report.pdf" --export-csv "${WORK}/csv")
    expect(2 errors "no data file" "a folder without a data file must say so")
    if(EXISTS "${WORK}/csv" OR EXISTS "${WORK}/report.pdf")
        fail("a folder without a data file must write nothing")
    endif()
    file(WRITE "${WORK}/plain-file" "")
    run_host(--storage "${storage}" --export-csv "${WORK}/plain-file/csv")
    expect(1 errors "plain-file" "a CSV folder that cannot be made must be named")
    run_host(--storage "${storage}" --report "${WORK}/missing-folder/report.pdf")
    expect(1 errors "missing-folder" "a report that cannot be written must be named")
    run_host(--storage "${storage}" --report "${storage}/report.pdf" --export-csv "${WORK}/csv")
    expect(0 output "" "--report and --export-csv must write their files and exit with 0")
    expect_file("${WORK}/csv/flights.csv" "6d6f64656c") # "model"
    expect_file("${WORK}/csv/cycles.csv" "62617474") # "batt"
    expect_file("${storage}/report.pdf" "255044462d") # "%PDF-", beside the data file
    find_program(PDFTOTEXT pdftotext) # poppler-utils
    # --language sets the form of numbers and dates whatever the system's language; the
    # CSV files keep theirs. The age in years: "(3,6 Jahre)" in German, "(3.6 years)" in
    # English; the date of today as dd.MM.yy in German.
    foreach(language de en)
        set(launcher ${CMAKE_COMMAND} -E env LANG=C LC_ALL=C)
        if(language STREQUAL "en")
            set(launcher ${CMAKE_COMMAND} -E env LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8)
        endif()
        run_host(--storage "${storage}" --language ${language}
            --report "${WORK}/report-${language}.pdf" --export-csv "${WORK}/csv-${language}")
        execute_process(COMMAND ${PDFTOTEXT} "${WORK}/report-${language}.pdf" -
            OUTPUT_VARIABLE report_${language})
        file(READ "${WORK}/csv-${language}/cycles.csv" csv_${language})
    endforeach()
    string(TIMESTAMP today "%d.%m.%y")
    string(FIND "${report_de}" "${today}" dated)
    if(NOT report_de MATCHES "\\([0-9]+,[0-9] " OR NOT report_en MATCHES "\\([0-9]+\\.[0-9] "
            OR dated EQUAL -1)
        fail("--language must set the report's decimal mark and date: German or English")
    elseif(NOT csv_de STREQUAL csv_en)
        fail("the CSV files must not follow the language")
    endif()
    # The CSV export and the telemetry import only read and write files: no display needed.
    set(launcher ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
    run_host(--storage "${storage}" --export-csv "${WORK}/csv-no-display")
    if(NOT code EQUAL 0 OR NOT EXISTS "${WORK}/csv-no-display/cycles.csv")
        fail("--export-csv must work without a display")
    endif()
    run_host(--storage "${storage}" --import-telemetry "${WORK}/no-logs")
    expect(1 errors "no-logs" "--import-telemetry must work without a display")

elseif(CHECK STREQUAL "refusals")
    # Outputs never replace the store's own files, however the path reaches them, an empty
    # output is an error, and a damaged store exports nothing: each exits non-zero, names the
    # problem and changes no file.
    file(MAKE_DIRECTORY "${storage}/rescue" "${WORK}/csv")
    file(WRITE "${WORK}/csv/flights.csv" "previous")
    file(CREATE_LINK "${storage}/cellora.xml" "${WORK}/link.xml" SYMBOLIC)
    file(CREATE_LINK "${storage}" "${WORK}/linked" SYMBOLIC)
    file(CREATE_LINK "${storage}/cellora.lock" "${WORK}/lock-link" SYMBOLIC)
    set(own "store itself")
    foreach(case "--report;${storage}/cellora.xml;${own}" "--report;${storage}/cellora.lock;${own}"
            "--export-csv;${storage}/rescue;${own}" "--report;${storage}/rescue/a.pdf;${own}"
            "--report;${storage}/rescue/cellora_2024-01-01_00-00-00.xml;${own}"
            "--report;${storage}/./rescue/../cellora.xml;${own}" "--report;${WORK}/link.xml;${own}"
            "--report;${WORK}/linked/cellora.xml;${own}" "--report;${WORK}/lock-link;${own}"
            "--export-csv;;is empty" "--report;;is empty" "--export-csv;${WORK}/csv;damaged")
        list(POP_FRONT case option target reason)
        if(reason STREQUAL "damaged")
            file(READ "${storage}/cellora.xml" content)
            string(REPLACE "</Cellora>" "<Model><Name>cut off" content "${content}")
            file(WRITE "${storage}/cellora.xml" "${content}")
        endif()
        file(SHA256 "${storage}/cellora.xml" kept)
        run_host(--storage "${storage}" "${option}=${target}") # an empty value stays one
        string(FIND "${errors}" "${reason}" at)
        file(SHA256 "${storage}/cellora.xml" now)
        file(READ "${WORK}/csv/flights.csv" previous)
        file(GLOB made "${storage}/rescue/*" "${storage}/cellora.lock")
        if(code EQUAL 0 OR at EQUAL -1 OR NOT now STREQUAL kept OR NOT previous STREQUAL "previous"
                OR made)
            fail("${option} '${target}' must be refused (${reason}) and change nothing")
        endif()
    endforeach()

elseif(CHECK STREQUAL "no-store-code")
    # The program takes the module from the library: none of its code is linked in twice.
    execute_process(COMMAND "${NM}" -C --defined-only "${HOST}"
        RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    set(class "(DataProcessor|OverwriteGuard|FileBytes|RescueCopies|BatteryWidget|ModelWidget")
    string(APPEND class "|CelloraGui|CyclePairing|StoreSnapshot::[a-z]|TextForms|RecordWriter)::")
    set(function "(parse(DateTime|Time|UInt)|(dateTime|time|xml)Text|containsWord")
    string(APPEND function "|checkTimeZone|forgetSavedDays|RecordRules::[A-Za-z]+)\\(")
    set(resources "qInitResources_cellora_(images|translations)")
    string(REGEX MATCHALL "[^\n]* [A-Za-z] (${class}|${function}|${resources})[^\n]*"
        found "${output}")
    if(NOT code EQUAL 0 OR found)
        string(REPLACE ";" "\n  " found "${found}")
        fail("the program defines module code of its own:\n  ${found}")
    endif()

elseif(CHECK STREQUAL "own-settings")
    # A demo and a screenshot run leave the user's settings untouched: not even written
    # again with the same content (the file's inode and time stay), no new file beside it.
    set(config "${WORK}/config")
    set(settings "${config}/Dornhaven/Dedivoze.conf")
    file(WRITE "${settings}" "[SETTINGS]\ncellora=Expert\nlogmodel=Mine\n")
    file(GLOB_RECURSE before RELATIVE "${config}" "${config}/*")
    execute_process(COMMAND stat -c "%i %y" "${settings}" OUTPUT_VARIABLE stamp)
    set(launcher ${CMAKE_COMMAND} -E env XDG_CONFIG_HOME=${config})
    foreach(run "--screenshots;${WORK}/shots" "--demo;--startup-probe")
        run_host(${run})
        execute_process(COMMAND stat -c "%i %y" "${settings}" OUTPUT_VARIABLE now)
        file(GLOB_RECURSE after RELATIVE "${config}" "${config}/*")
        if(NOT code EQUAL 0 OR NOT now STREQUAL stamp OR NOT before STREQUAL after)
            fail("${run} touched the user's settings: ${stamp} -> ${now}, ${after}")
        endif()
    endforeach()

else()
    message(FATAL_ERROR "unknown check '${CHECK}'")
endif()
