# Debian's hardening flags in the Release build: fortified C library calls, the stack protector, format
# strings checked, relocations read-only and bound at start (relro, bindnow). They are asked of
# dpkg-buildflags when it is installed (without its -g -O2: the build type sets those), and otherwise
# are the same flags written out.
if(CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT HEATX_SANITIZE)
    set(heatx_hardening_compile -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat -Werror=format-security)
    set(heatx_hardening_link -Wl,-z,relro -Wl,-z,now)
    find_program(HEATX_DPKG_BUILDFLAGS dpkg-buildflags)
    if(HEATX_DPKG_BUILDFLAGS)
        set(flags_env DEB_BUILD_MAINT_OPTIONS=hardening=+all "DEB_CXXFLAGS_MAINT_STRIP=-g -O2")
        foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
            execute_process(COMMAND ${CMAKE_COMMAND} -E env ${flags_env} ${HEATX_DPKG_BUILDFLAGS} --get ${kind}
                            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                            OUTPUT_VARIABLE heatx_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE
                            RESULT_VARIABLE failed)
            if(failed)
                set(heatx_${kind} "")
            endif()
            separate_arguments(heatx_${kind} UNIX_COMMAND "${heatx_${kind}}")
        endforeach()
        if(heatx_CXXFLAGS AND heatx_LDFLAGS)
            set(heatx_hardening_compile ${heatx_CPPFLAGS} ${heatx_CXXFLAGS})
            set(heatx_hardening_link ${heatx_LDFLAGS})
        endif()
    endif()
    message(STATUS "heatx: hardening: ${heatx_hardening_compile} ${heatx_hardening_link}")
    add_compile_options(${heatx_hardening_compile})
    add_link_options(${heatx_hardening_link})
endif()
