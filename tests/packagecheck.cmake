# Checks of what Cellora installs. -DCHECK=install -DBUILD= -DSOURCE= -DWORK= -DBUILD_TYPE=
# -DNAME=<cellora|cellora-qt6> -DPACKAGE=<Cellora|CelloraQt6> -DQT_MAJOR=<5|6> [-DSANITIZE_FLAGS=]:
# the files installed into a fresh prefix, the library's exports, examples/minimal-host built
# against that prefix alone and run. -DCHECK=desktop -DDESKTOP= -DMETAINFO=: both validated.
cmake_minimum_required(VERSION 3.16)

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "${what} failed (${code}):\n${out}\n${err}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()

function(check_installed_files prefix)
    include(GNUInstallDirs)
    set(lib ${prefix}/${CMAKE_INSTALL_LIBDIR})
    set(share ${prefix}/${CMAKE_INSTALL_DATADIR})
    set(include ${prefix}/include/${NAME})
    set(cmake ${lib}/cmake/${PACKAGE})
    set(files ${lib}/lib${NAME}.so.1.0.0 ${lib}/lib${NAME}.so.1 ${lib}/lib${NAME}.so
        ${include}/celloragui.h ${include}/cellora_global.h ${include}/store/dataprocessor.h
        ${include}/store/storeproblem.h
        ${cmake}/${PACKAGE}Config.cmake ${cmake}/${PACKAGE}ConfigVersion.cmake
        ${cmake}/${PACKAGE}Targets.cmake ${lib}/pkgconfig/${NAME}.pc)
    set(program_files ${prefix}/bin/cellora ${share}/applications/io.cellora.Cellora.desktop
        ${share}/metainfo/io.cellora.Cellora.metainfo.xml
        ${share}/icons/hicolor/128x128/apps/io.cellora.Cellora.png
        ${share}/icons/hicolor/256x256/apps/io.cellora.Cellora.png ${share}/man/man1/cellora.1.gz)
    # A Qt 6 build stands side by side with the Qt 5 build: nothing of the same name.
    set(absent ${prefix}/bin/cellora-host)
    if(QT_MAJOR EQUAL 5)
        list(APPEND files ${program_files})
    else()
        list(APPEND absent ${program_files})
    endif()
    foreach(file IN LISTS files absent)
        if(file IN_LIST absent AND EXISTS ${file})
            message(FATAL_ERROR "installed, but must not be: ${file}")
        elseif(NOT file IN_LIST absent AND NOT EXISTS ${file})
            message(FATAL_ERROR "not installed: ${file}")
        endif()
    endforeach()
endfunction()

# Every symbol the library offers to a host belongs to the main window; what Cellora's own
# program uses besides sits under the version node CELLORA_PRIVATE.
function(check_exports library)
    run("nm" nm -D --defined-only -C ${library})
    string(REPLACE "\n" ";" symbols "${output}")
    set(strangers)
    foreach(symbol IN LISTS symbols)
        if(NOT symbol STREQUAL "" AND NOT symbol MATCHES "CelloraGui"
                AND NOT symbol MATCHES "(@@CELLORA_PRIVATE| A CELLORA_PRIVATE| A CELLORA_1)$")
            list(APPEND strangers "${symbol}")
        endif()
    endforeach()
    if(strangers OR NOT output MATCHES "CelloraGui::changeStoragePath")
        list(JOIN strangers "\n  " strangers)
        message(FATAL_ERROR "the library must export CelloraGui and no more:\n  ${strangers}")
    endif()
endfunction()

# Configured with the prefix as its only way to Cellora, from a copy outside the source tree.
function(build_and_run_example prefix)
    file(COPY ${SOURCE}/examples/minimal-host DESTINATION ${WORK})
    set(example ${WORK}/example-build)
    set(flags)
    if(SANITIZE_FLAGS)
        list(JOIN SANITIZE_FLAGS " " joined)
        set(flags "-DCMAKE_CXX_FLAGS=${joined}" "-DCMAKE_EXE_LINKER_FLAGS=${joined}")
    endif()
    run("configuring the example" ${CMAKE_COMMAND} -S ${WORK}/minimal-host -B ${example}
        -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
        -DCELLORA_PACKAGE=${PACKAGE} ${flags})
    file(STRINGS ${example}/CMakeCache.txt found REGEX "^${PACKAGE}_DIR:")
    if(NOT found MATCHES "=${prefix}/")
        message(FATAL_ERROR "the example found Cellora elsewhere: ${found}")
    endif()
    run("building the example" ${CMAKE_COMMAND} --build ${example})
    file(MAKE_DIRECTORY ${WORK}/storage)
    run("running the example" ${example}/minimal-host ${WORK}/storage --press-home)
    if(QT_MAJOR EQUAL 5)
        run("the installed cellora" ${prefix}/bin/cellora --version)
        if(NOT output MATCHES "Cellora 1\\.")
            message(FATAL_ERROR "the installed cellora answered: ${output}")
        endif()
    endif()
endfunction()

if(CHECK STREQUAL "install")
    file(REMOVE_RECURSE ${WORK})
    set(prefix ${WORK}/prefix)
    run("cmake --install" ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})
    check_installed_files(${prefix})
    check_exports(${prefix}/${CMAKE_INSTALL_LIBDIR}/lib${NAME}.so.1.0.0)
    build_and_run_example(${prefix})
elseif(CHECK STREQUAL "desktop")
    find_program(desktop_validate desktop-file-validate)
    find_program(appstreamcli appstreamcli)
    if(NOT desktop_validate OR NOT appstreamcli)
        message("Skipped: desktop-file-validate or appstreamcli is missing "
            "(packages desktop-file-utils and appstream)")
        return()
    endif()
    run("desktop-file-validate" ${desktop_validate} ${DESKTOP})
    if(NOT output STREQUAL "")
        message(FATAL_ERROR "desktop-file-validate: ${output}")
    endif()
    run("appstreamcli validate" ${appstreamcli} validate --no-net ${METAINFO})
else()
    message(FATAL_ERROR "unknown check '${CHECK}'")
endif()
