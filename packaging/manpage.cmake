# Writes the man page cellora(1), gzipped, from the host's own --help text.
#   cmake -DHOST=<cellora-host> -DOUTPUT=<.../cellora.1> -DVERSION=<x.y.z> -P manpage.cmake
# Run with HOME=/nonexistent, which the page shows as "~".
cmake_minimum_required(VERSION 3.16)
execute_process(COMMAND "${HOST}" --help
    RESULT_VARIABLE code OUTPUT_VARIABLE help ERROR_VARIABLE errors)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "${HOST} --help failed (${code}): ${errors}")
endif()

function(roff_escape text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REPLACE "/nonexistent" "~" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REPLACE "\n" ";" lines "${help}")
set(description "")
set(options "")
set(section head)
foreach(line IN LISTS lines)
    if(line MATCHES "^Usage:")
        continue()
    elseif(line STREQUAL "Options:")
        set(section options)
    elseif(section STREQUAL "head" AND NOT line STREQUAL "")
        roff_escape("${line}" line)
        string(APPEND description "${line}\n")
    elseif(section STREQUAL "options" AND line MATCHES "^  (-[^ ].*[^ ])  +([^ ].*)$")
        # "  -v, --version          Displays version information."
        roff_escape("${CMAKE_MATCH_1}" names)
        roff_escape("${CMAKE_MATCH_2}" text)
        string(REGEX REPLACE "<([A-Z]+)>" "\\\\fI\\1\\\\fR" names "${names}")
        string(APPEND options ".TP\n\\fB${names}\\fR\n${text}\n")
    elseif(section STREQUAL "options" AND line MATCHES "^   +([^ ].*)$")
        roff_escape("${CMAKE_MATCH_1}" text)
        string(APPEND options "${text}\n")
    endif()
endforeach()

file(WRITE "${OUTPUT}" ".TH CELLORA 1 \"\" \"Cellora ${VERSION}\" \"User Commands\"
.SH NAME
cellora \\- battery logbook for electric radio-controlled models
.SH SYNOPSIS
.B cellora
[\\fIoptions\\fR]
.SH DESCRIPTION
${description}.PP
Cellora keeps a register of flight batteries, models and flying locations, marks a
battery charged with one click on its card, records discharges, shows a model's flight
log and a battery's discharge history, and exports and imports backups. All data lives
in the file cellora.xml in the storage folder.
.SH OPTIONS
${options}.SH ENVIRONMENT
.TP
.B LANG, LC_ALL, LC_MESSAGES, LANGUAGE
choose the language of the texts unless \\fB\\-\\-language\\fR is given.
.SH FILES
.TP
.I ~/.local/share/Cellora/cellora.xml
the data file of the default storage folder.
.TP
.I ~/.config/Dornhaven/Dedivoze.conf
the data\\-capture mode.
")
execute_process(COMMAND gzip -9 -n -f "${OUTPUT}" RESULT_VARIABLE code)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${OUTPUT}")
endif()
