# The page's faces (heatx-fonts.css, which shell.html links and the page's inlining writes into it):
# the Liberation faces cut to the program's characters by make_fonts.py.
#
#   include(${HEATX_SRC}/ui/web/WebFonts.cmake)   # after the page's target `heatx` is defined
#
# The style sheet is written next to the linked page, where the inlining looks first.

set(_heatx_web_dir ${CMAKE_CURRENT_LIST_DIR})
get_filename_component(_heatx_src_dir ${_heatx_web_dir}/../.. ABSOLUTE)
get_target_property(_heatx_page_dir heatx RUNTIME_OUTPUT_DIRECTORY)
set(HEATX_WEB_FONTS_CSS ${_heatx_page_dir}/heatx-fonts.css)
set(HEATX_WEB_FONTS /usr/share/fonts/truetype CACHE PATH "The system's font folder (liberation/, dejavu/)")

# The characters are collected from the sources: a source changed may bring a new one.
file(GLOB_RECURSE _heatx_text_sources CONFIGURE_DEPENDS ${_heatx_src_dir}/*.cpp ${_heatx_src_dir}/*.h
     ${_heatx_src_dir}/*.js ${_heatx_src_dir}/*.html)

add_custom_command(
    OUTPUT ${HEATX_WEB_FONTS_CSS}
    COMMAND /usr/bin/python3 ${_heatx_web_dir}/make_fonts.py --sources ${_heatx_src_dir} --out ${HEATX_WEB_FONTS_CSS}
            --fonts ${HEATX_WEB_FONTS}
    DEPENDS ${_heatx_web_dir}/make_fonts.py ${_heatx_text_sources}
    COMMENT "Faces of the web page"
    VERBATIM)
add_custom_target(heatx_web_fonts DEPENDS ${HEATX_WEB_FONTS_CSS})
add_dependencies(heatx heatx_web_fonts)
