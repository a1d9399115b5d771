# The page the web edition is linked into (emcc --shell-file): shell.html with the page's runtime and the
# subset Liberation faces inlined by make_shell.py.
#
#   include(${PROJECT_SOURCE_DIR}/src/ui/web/WebShell.cmake)
#   add_dependencies(<web executable> heatx_web_shell)
#   target_link_options(<web executable> PRIVATE "SHELL:--shell-file ${HEATX_WEB_SHELL}")
#   set_property(TARGET <web executable> APPEND PROPERTY LINK_DEPENDS ${HEATX_WEB_SHELL})

set(_heatx_web_dir ${CMAKE_CURRENT_LIST_DIR})
get_filename_component(_heatx_src_dir ${_heatx_web_dir}/../.. ABSOLUTE)
set(HEATX_WEB_SHELL ${CMAKE_BINARY_DIR}/heatx_shell.html)
set(HEATX_WEB_FONTS /usr/share/fonts/truetype/liberation CACHE PATH "Folder of the Liberation faces")

# The characters are collected from the sources: any source change may bring a new one.
file(GLOB_RECURSE _heatx_text_sources CONFIGURE_DEPENDS ${_heatx_src_dir}/*.cpp ${_heatx_src_dir}/*.h)

add_custom_command(
    OUTPUT ${HEATX_WEB_SHELL}
    COMMAND /usr/bin/python3 ${_heatx_web_dir}/make_shell.py --sources ${_heatx_src_dir} --out ${HEATX_WEB_SHELL}
            --fonts ${HEATX_WEB_FONTS}
    DEPENDS ${_heatx_web_dir}/make_shell.py ${_heatx_web_dir}/shell.html ${_heatx_web_dir}/runtime.js
            ${_heatx_web_dir}/runtime.css ${_heatx_text_sources}
    COMMENT "Page of the web edition: runtime and fonts"
    VERBATIM)
add_custom_target(heatx_web_shell DEPENDS ${HEATX_WEB_SHELL})
