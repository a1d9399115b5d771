# The one version of heatx: printed by both programs, given to the Debian package, the manual pages and
# the AppStream release list.
#
# A release is the project version in project(); it is made by the commit that sets that version (or,
# where one exists, by the tag v<version>). A build from a later commit gets
#     <version>+git<N>.g<hash>
# with N the number of commits since the release, so that `dpkg --compare-versions` sorts every later
# build above the release and above every earlier build. Without git (a source tarball) the version is
# read from the file .tarball-version written by `make dist`, or is the project version itself. A
# shallow clone that lacks the release commit gives <version>+git0.g<hash>: above the release, below
# every build whose history is known.
# -DHEATX_VERSION=... overrides everything.
#
# heatx_compute_version(SOURCE_DIR BASE) sets in the caller's scope:
#   HEATX_VERSION       the version
#   HEATX_VERSION_EPOCH seconds since 1970 of the commit built (or of now when unknown)
#   HEATX_IS_RELEASE    TRUE when HEATX_VERSION is BASE itself
#   HEATX_GIT_FILES     files whose change means another commit (for re-running the configuration)

set(HEATX_VERSION_OVERRIDE "" CACHE STRING "The version to build, instead of the one found from git")

function(heatx_compute_version source_dir base)
    set(version "")
    set(epoch "")
    set(watched "")

    if(DEFINED HEATX_VERSION_OVERRIDE AND NOT HEATX_VERSION_OVERRIDE STREQUAL "")
        set(version "${HEATX_VERSION_OVERRIDE}")
    endif()

    # A source tree that is the top of its own git repository (not a tarball unpacked inside another).
    find_program(HEATX_GIT git)
    if(version STREQUAL "" AND HEATX_GIT AND EXISTS "${source_dir}/.git")
        execute_process(COMMAND "${HEATX_GIT}" rev-parse --show-toplevel
                        WORKING_DIRECTORY "${source_dir}" OUTPUT_VARIABLE top RESULT_VARIABLE failed
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(NOT failed)
            file(REAL_PATH "${top}" top)
            file(REAL_PATH "${source_dir}" real_source)
        endif()
        if(NOT failed AND top STREQUAL real_source)
            set(git "${HEATX_GIT}" -C "${source_dir}")
            execute_process(COMMAND ${git} rev-parse --short=7 HEAD OUTPUT_VARIABLE hash
                            OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            execute_process(COMMAND ${git} log -1 --format=%ct HEAD OUTPUT_VARIABLE epoch
                            OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            # The release commit: the tag when there is one, else the commit that set the version.
            execute_process(COMMAND ${git} rev-parse -q --verify "refs/tags/v${base}^{commit}"
                            OUTPUT_VARIABLE release OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            if(release STREQUAL "")
                execute_process(COMMAND ${git} log -1 --format=%H "-Sproject(heatx VERSION ${base}"
                                        HEAD -- CMakeLists.txt
                                OUTPUT_VARIABLE release OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            endif()
            # In a shallow clone the oldest commit present seems to add every line: it is not known to
            # be the release, and the count since the release is not known either.
            execute_process(COMMAND ${git} rev-parse --git-path shallow OUTPUT_VARIABLE shallow_file
                            OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            if(NOT IS_ABSOLUTE "${shallow_file}")
                set(shallow_file "${source_dir}/${shallow_file}")
            endif()
            set(cut_short FALSE)
            if(NOT release STREQUAL "" AND EXISTS "${shallow_file}")
                file(STRINGS "${shallow_file}" boundaries)
                list(FIND boundaries "${release}" at)
                if(at GREATER -1)
                    set(cut_short TRUE)
                endif()
            endif()
            if(cut_short)
                # Above the release, below every build whose history is known.
                set(count 0)
                set(version "${base}+git0.g${hash}")
            elseif(NOT release STREQUAL "")
                execute_process(COMMAND ${git} rev-list --count "${release}..HEAD" OUTPUT_VARIABLE count
                                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            else()
                # No trace of the release (a history cut short): every commit counts, which still
                # sorts above the release itself.
                execute_process(COMMAND ${git} rev-list --count HEAD OUTPUT_VARIABLE count
                                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            endif()
            if(version STREQUAL "" AND hash MATCHES "^[0-9a-f]+$" AND count MATCHES "^[0-9]+$")
                if(count EQUAL 0)
                    set(version "${base}")
                else()
                    set(version "${base}+git${count}.g${hash}")
                endif()
            endif()
            foreach(what HEAD logs/HEAD packed-refs)
                execute_process(COMMAND ${git} rev-parse --git-path ${what} OUTPUT_VARIABLE path
                                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
                if(NOT IS_ABSOLUTE "${path}")
                    set(path "${source_dir}/${path}")
                endif()
                if(EXISTS "${path}")
                    list(APPEND watched "${path}")
                endif()
            endforeach()
        endif()
    endif()

    # A tarball: first line the version, second line the commit time in seconds since 1970.
    if(version STREQUAL "" AND EXISTS "${source_dir}/.tarball-version")
        file(STRINGS "${source_dir}/.tarball-version" lines LIMIT_COUNT 2)
        list(LENGTH lines n)
        if(n GREATER 0)
            list(GET lines 0 version)
        endif()
        if(n GREATER 1)
            list(GET lines 1 epoch)
        endif()
        list(APPEND watched "${source_dir}/.tarball-version")
    endif()

    if(version STREQUAL "")
        set(version "${base}")
    endif()
    if(NOT version MATCHES "^[0-9][0-9A-Za-z.+~]*$")
        message(FATAL_ERROR "heatx: \"${version}\" is not a version Debian can sort")
    endif()
    if(NOT epoch MATCHES "^[0-9]+$")
        string(TIMESTAMP epoch "%s" UTC)
    endif()

    set(HEATX_VERSION "${version}" PARENT_SCOPE)
    set(HEATX_VERSION_EPOCH "${epoch}" PARENT_SCOPE)
    if(version STREQUAL base)
        set(HEATX_IS_RELEASE TRUE PARENT_SCOPE)
    else()
        set(HEATX_IS_RELEASE FALSE PARENT_SCOPE)
    endif()
    set(HEATX_GIT_FILES "${watched}" PARENT_SCOPE)
endfunction()

# The version of the build for a project (the desktop's or the browser edition's): computes it as
# above, configures again when git moves, and gives the programs `heatx_version.h` through the
# interface library heatx_version. `label` opens the status line.
macro(heatx_version_library source_dir base label)
    heatx_compute_version(${source_dir} ${base})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${HEATX_GIT_FILES})
    message(STATUS "${label}: version ${HEATX_VERSION}")
    configure_file(${source_dir}/cmake/heatx_version.h.in ${PROJECT_BINARY_DIR}/generated/heatx_version.h @ONLY)
    add_library(heatx_version INTERFACE)
    target_include_directories(heatx_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
endmacro()

# Formats seconds since 1970 (UTC) with a string(TIMESTAMP) format.
function(heatx_format_time out epoch format)
    set(saved "$ENV{SOURCE_DATE_EPOCH}")
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
    string(TIMESTAMP text "${format}" UTC)
    if(saved STREQUAL "")
        unset(ENV{SOURCE_DATE_EPOCH})
    else()
        set(ENV{SOURCE_DATE_EPOCH} "${saved}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()
