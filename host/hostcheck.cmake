# Runs cellora-host once and checks its exit code, its messages and its files.
#   cmake -DHOST=<program> -DCHECK=<check> -DVERSION=<x.y.z> -DWORK=<scratch folder>
#         -DTESTS=<source folder tests/> -DPYTHON=<python3> -P hostcheck.cmake
#         -DNM=<nm>
# with <check> one of version, storage-file, screenshots, screenshots-long-names, language,
# scale, export-csv, report, csv-python, refusals, no-store-code, own-settings.
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
    # The module's sixteen pages and the host window.
    if(NOT count EQUAL 17)
        fail("expected 17 pictures, found ${count}")
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

elseif(CHECK STREQUAL "export-csv")
    run_host(--storage "${WORK}/none" --export-csv "${WORK}/csv")
    string(FIND "${errors}" "no data file" at)
    if(NOT code EQUAL 2 OR at EQUAL -1 OR EXISTS "${WORK}/csv/flights.csv")
        fail("a folder without a data file must say so and exit with 2, writing nothing")
    endif()
    file(COPY "${TESTS}/data/store_full.xml" DESTINATION "${WORK}/storage")
    file(RENAME "${WORK}/storage/store_full.xml" "${WORK}/storage/cellora.xml")
    file(WRITE "${WORK}/plain-file" "")
    run_host(--storage "${WORK}/storage" --export-csv "${WORK}/plain-file/csv")
    string(FIND "${errors}" "plain-file" at)
    if(NOT code EQUAL 1 OR at EQUAL -1)
        fail("an output folder that cannot be made must be named and exit with 1")
    endif()
    run_host(--storage "${WORK}/storage" --export-csv "${WORK}/csv")
    if(NOT code EQUAL 0 OR NOT EXISTS "${WORK}/csv/flights.csv" OR NOT EXISTS "${WORK}/csv/cycles.csv")
        fail("--export-csv must write flights.csv and cycles.csv and exit with 0")
    endif()

elseif(CHECK STREQUAL "report")
    run_host(--storage "${WORK}/none" --report "${WORK}/report.pdf")
    string(FIND "${errors}" "no data file" at)
    if(NOT code EQUAL 2 OR at EQUAL -1 OR EXISTS "${WORK}/report.pdf")
        fail("a folder without a data file must say so and exit with 2, writing nothing")
    endif()
    file(COPY "${TESTS}/data/store_full.xml" DESTINATION "${WORK}/storage")
    file(RENAME "${WORK}/storage/store_full.xml" "${WORK}/storage/cellora.xml")
    run_host(--storage "${WORK}/storage" --report "${WORK}/missing-folder/report.pdf")
    string(FIND "${errors}" "missing-folder" at)
    if(NOT code EQUAL 1 OR at EQUAL -1)
        fail("a report file that cannot be written must be named and exit with 1")
    endif()
    run_host(--storage "${WORK}/storage" --report "${WORK}/report.pdf" --export-csv "${WORK}/csv")
    if(NOT code EQUAL 0 OR NOT EXISTS "${WORK}/report.pdf" OR NOT EXISTS "${WORK}/csv/cycles.csv")
        fail("--report must write the PDF (and --export-csv with it the CSV files) and exit with 0")
    endif()
    file(READ "${WORK}/report.pdf" signature LIMIT 5 HEX)
    if(NOT signature STREQUAL "255044462d") # "%PDF-"
        fail("report.pdf is not a PDF file")
    endif()
    # --language sets the numbers' form as well, whatever the system's language; the CSV
    # files keep theirs.
    find_program(PDFTOTEXT pdftotext)
    if(PDFTOTEXT)
        foreach(language de en)
            set(launcher ${CMAKE_COMMAND} -E env LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8)
            if(language STREQUAL "de")
                set(launcher ${CMAKE_COMMAND} -E env LANG=C LC_ALL=C)
            endif()
            run_host(--storage "${WORK}/storage" --language ${language}
                --report "${WORK}/report-${language}.pdf" --export-csv "${WORK}/csv-${language}")
            execute_process(COMMAND ${PDFTOTEXT} "${WORK}/report-${language}.pdf" -
                OUTPUT_VARIABLE text)
            set(report_${language} "${text}")
        endforeach()
        set(launcher "")
        # The age in years: "(3,6 Jahre)" in German, "(3.6 years)" in English.
        if(NOT report_de MATCHES "\\([0-9]+,[0-9] " OR NOT report_en MATCHES "\\([0-9]+\\.[0-9] ")
            fail("--language must set the report's decimal mark: a comma in German, a point in English")
        endif()
        file(READ "${WORK}/csv-de/cycles.csv" csv_de)
        file(READ "${WORK}/csv-en/cycles.csv" csv_en)
        if(NOT csv_de STREQUAL csv_en)
            fail("the CSV files must not follow the language")
        endif()
    endif()

elseif(CHECK STREQUAL "csv-python")
    # Every row, read back by Python's csv module, against the data file itself.
    foreach(store store_full store_csv)
        file(COPY "${TESTS}/data/${store}.xml" DESTINATION "${WORK}/${store}")
        file(RENAME "${WORK}/${store}/${store}.xml" "${WORK}/${store}/cellora.xml")
        run_host(--storage "${WORK}/${store}" --export-csv "${WORK}/${store}/csv")
        if(NOT code EQUAL 0)
            fail("--export-csv failed on ${store}")
        endif()
        execute_process(COMMAND "${PYTHON}" "${TESTS}/csvcheck.py" "${WORK}/${store}/cellora.xml"
                "${WORK}/${store}/csv/flights.csv" "${WORK}/${store}/csv/cycles.csv"
            RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE errors)
        if(NOT code EQUAL 0)
            fail("the CSV files of ${store} do not read back as the data file holds them")
        endif()
        message(STATUS "${output}")
    endforeach()

elseif(CHECK STREQUAL "refusals")
    # Outputs never replace the store's own files, an empty output is an error, and a damaged
    # store exports nothing: each exits non-zero, names the problem and changes no file.
    set(storage "${WORK}/storage")
    file(COPY "${TESTS}/data/store_full.xml" DESTINATION "${storage}")
    file(RENAME "${storage}/store_full.xml" "${storage}/cellora.xml")
    file(MAKE_DIRECTORY "${storage}/rescue" "${WORK}/csv")
    file(WRITE "${WORK}/csv/flights.csv" "previous")
    file(CREATE_LINK "${storage}" "${WORK}/linked" SYMBOLIC)
    file(SHA256 "${storage}/cellora.xml" kept)
    foreach(case
            "--report;${storage}/cellora.xml;store itself"
            "--report;${WORK}/linked/cellora.xml;store itself"
            "--report;${storage}/cellora.lock;store itself"
            "--export-csv;${storage}/rescue;store itself"
            "--export-csv;;is empty"
            "--report;;is empty"
            "--export-csv;${WORK}/csv;damaged")
        list(GET case 0 option)
        list(GET case 1 target)
        list(GET case 2 reason)
        if(reason STREQUAL "damaged")
            file(READ "${storage}/cellora.xml" content)
            string(REPLACE "</Cellora>" "<Model><Name>cut off" content "${content}")
            file(WRITE "${storage}/cellora.xml" "${content}")
            file(SHA256 "${storage}/cellora.xml" kept)
        endif()
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
    string(APPEND class "|CelloraGui|CyclePairing|StoreSnapshot::[a-z]|TextForms)::")
    set(function "(parse(DateTime|Time|UInt)|(dateTime|time|xml)Text|containsWord")
    string(APPEND function "|checkTimeZone|forgetSavedDays)\\(")
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
