# Installation as a desktop program, and its Debian package (`make install`, `make package`): the two
# programs, the desktop entry, the icon, the AppStream metainfo with this build's release, the manual
# pages in English and Russian, the copyright file and the changelogs.
include(GNUInstallDirs)

set(HEATX_MAINTAINER "heatx developers <heatx-developers@example.org>" CACHE STRING
    "Maintainer of the Debian package (name <address>), also the signer of its changelog entries")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(heatx_gen ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${heatx_gen})
heatx_format_time(HEATX_DATE "${HEATX_VERSION_EPOCH}" "%Y-%m-%d")
heatx_format_time(HEATX_CHANGELOG_DATE "${HEATX_VERSION_EPOCH}" "%a, %d %b %Y %H:%M:%S +0000")

install(TARGETS heatx-calc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(HEATX_WITH_GUI)
    install(TARGETS heatx RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# A stripped installation (the package's, or `cmake --install --strip`) also drops the sections that
# only name the compiler, as Debian's own packages do.
install(CODE "set(heatx_strip \"${CMAKE_STRIP}\")")
install(CODE [[
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(program heatx heatx-calc)
            set(file "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/${program}")
            if(EXISTS "${file}")
                execute_process(COMMAND "${heatx_strip}" --remove-section=.comment --remove-section=.note
                                        "${file}" COMMAND_ERROR_IS_FATAL ANY)
            endif()
        endforeach()
    endif()
]])
install(FILES packaging/heatx.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The browser edition, /usr/share/heatx/web/heatx.html, for a department to publish on its own web
# server: the page `make web` builds (the project web/, configured with emcmake), built in its own tree
# (HEATX_WEB_BUILD_DIR; the Makefile names make web's, so that there is one page) whenever this build is.
find_program(HEATX_EMCMAKE emcmake)
if(HEATX_EMCMAKE)
    set(heatx_web_default ON)
else()
    set(heatx_web_default OFF)
endif()
option(HEATX_WITH_WEB "Build the browser edition and install it (needs Debian's emscripten)" ${heatx_web_default})
if(HEATX_WITH_WEB)
    if(NOT HEATX_EMCMAKE)
        message(FATAL_ERROR "heatx: the browser edition needs emscripten (scripts/install-deps --web)")
    endif()
    set(HEATX_WEB_BUILD_DIR ${PROJECT_BINARY_DIR}/web CACHE PATH "The browser edition's build tree")
    set(HEATX_WEB_OPTIONS "" CACHE STRING "More options of the browser edition's configuration (a list)")
    set(heatx_web_env ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
    set(heatx_web_launcher "")
    if(CMAKE_CXX_COMPILER_LAUNCHER)
        set(heatx_web_launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
    endif()
    add_custom_target(heatx_web_page ALL
        COMMAND ${heatx_web_env} ${HEATX_EMCMAKE} ${CMAKE_COMMAND} -S ${PROJECT_SOURCE_DIR}/web
                -B ${HEATX_WEB_BUILD_DIR} -DCMAKE_BUILD_TYPE=Release ${heatx_web_launcher} ${HEATX_WEB_OPTIONS}
        COMMAND ${heatx_web_env} ${CMAKE_COMMAND} --build ${HEATX_WEB_BUILD_DIR} --target heatx_page
        BYPRODUCTS ${HEATX_WEB_BUILD_DIR}/heatx.html
        COMMENT "The browser edition: ${HEATX_WEB_BUILD_DIR}/heatx.html"
        VERBATIM)
    install(FILES ${HEATX_WEB_BUILD_DIR}/heatx.html DESTINATION ${CMAKE_INSTALL_DATADIR}/heatx/web)
endif()

install(FILES packaging/heatx.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The metainfo's release list: the releases as written, and above them this build when it is a later
# snapshot.
file(READ packaging/io.github.heatx.metainfo.xml heatx_metainfo)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS packaging/io.github.heatx.metainfo.xml)
if(NOT HEATX_IS_RELEASE)
    string(FIND "${heatx_metainfo}" "    <release " first_release)
    if(first_release LESS 0)
        message(FATAL_ERROR "heatx: the metainfo has no release list")
    endif()
    string(SUBSTRING "${heatx_metainfo}" 0 ${first_release} head)
    string(SUBSTRING "${heatx_metainfo}" ${first_release} -1 tail)
    set(heatx_metainfo
        "${head}    <release version=\"${HEATX_VERSION}\" date=\"${HEATX_DATE}\" type=\"development\"/>\n${tail}")
endif()
file(CONFIGURE OUTPUT ${heatx_gen}/io.github.heatx.metainfo.xml CONTENT "${heatx_metainfo}" @ONLY)
install(FILES ${heatx_gen}/io.github.heatx.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Files compressed as Debian wants them: gzip -9, without a name or a time stamp inside.
set(heatx_compressed "")
function(heatx_gzip source target)
    add_custom_command(OUTPUT ${target}
                       COMMAND gzip -9 -n -c ${source} > ${target}
                       DEPENDS ${source} VERBATIM)
    set(heatx_compressed ${heatx_compressed} ${target} PARENT_SCOPE)
endfunction()

# Manual pages: English in man1, Russian in ru/man1.
foreach(page heatx heatx-calc)
    foreach(lang en ru)
        if(lang STREQUAL "en")
            set(dir man1)
        else()
            set(dir ${lang}/man1)
        endif()
        configure_file(doc/man/${lang}/${page}.1.in ${heatx_gen}/man/${dir}/${page}.1 @ONLY)
        heatx_gzip(${heatx_gen}/man/${dir}/${page}.1 ${heatx_gen}/man/${dir}/${page}.1.gz)
        install(FILES ${heatx_gen}/man/${dir}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${dir})
    endforeach()
endforeach()

# The doc folder: the copyright file, the upstream changelog and the Debian changelog, whose first entry
# is this build.
string(REGEX MATCH "^[^+]+" heatx_release "${HEATX_VERSION}")
if(HEATX_IS_RELEASE)
    set(HEATX_SNAPSHOT_ENTRY "")
else()
    set(what "the upstream sources after the release ${heatx_release}")
    if(HEATX_VERSION MATCHES "\\+git([0-9]+)\\.g([0-9a-f]+)$")
        set(what "the upstream sources at commit ${CMAKE_MATCH_2},\n    ${CMAKE_MATCH_1} commits after the release ${heatx_release}")
    endif()
    set(HEATX_SNAPSHOT_ENTRY
        "heatx (${HEATX_VERSION}-1) unstable; urgency=medium\n\n  * Snapshot of ${what}.\n\n -- ${HEATX_MAINTAINER}  ${HEATX_CHANGELOG_DATE}\n\n")
endif()
configure_file(packaging/changelog.Debian.in ${heatx_gen}/changelog.Debian @ONLY)
configure_file(CHANGELOG.md ${heatx_gen}/changelog COPYONLY)
heatx_gzip(${heatx_gen}/changelog.Debian ${heatx_gen}/changelog.Debian.gz)
heatx_gzip(${heatx_gen}/changelog ${heatx_gen}/changelog.gz)
install(FILES packaging/copyright ${heatx_gen}/changelog.gz ${heatx_gen}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

add_custom_target(heatx_docs ALL DEPENDS ${heatx_compressed})
file(WRITE ${heatx_gen}/version.txt "${HEATX_VERSION}\n${HEATX_VERSION_EPOCH}\n")

set(CPACK_PACKAGE_NAME heatx)
set(CPACK_PACKAGE_VERSION "${HEATX_VERSION}")
set(CPACK_PACKAGE_VENDOR "heatx developers")
set(CPACK_PACKAGE_CONTACT "${HEATX_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "thermal design of shell-and-tube heat exchangers for students")
# The extended description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "heatx is a teaching program for students of chemical engineering. The student
enters his name, chooses an evaporator, a heater or dephlegmator, or a cooler,
types the property data of the two streams, reviews and corrects them, gives
the construction of the apparatus and obtains the heat-transfer coefficients
on both sides of the tube wall, the overall coefficient and the required
heat-exchange surface, on screen and as a dated printed or PDF report.
Everything the program shows is in Russian.
.
The package also contains heatx-calc, the same calculations on the command
line for teachers and scripts: one variant per call, a whole class's variants
from a spreadsheet table, and the protocol of every intermediate value.")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found by the libraries' scan: the fonts, Qt's Russian texts and the plug-in that draws the icon.
# libcups2 is loaded at the first print to a printer (not linked, so not found by shlibdeps).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n, libqt6svg6, libcups2")
# A Wayland session runs the program through XWayland when it offers X11 (the X11 plugin is part of
# Qt's own libraries); a session without X11 needs Qt's Wayland plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
