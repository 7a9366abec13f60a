# Installs the build into an empty prefix and checks the tree the program runs from: the binary,
# its manual (every page, picture and template it links to), the ticket templates, the demo
# workbooks, the manual page, the desktop entry and the icons; then runs the installed program
# once, which must keep its data below the prefix (a prefix outside /usr that it may write to).
#   cmake -DBUILD_DIR=... -DPREFIX=... -P checkinstall.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(missing "")
foreach(path
        bin/fenpai share/fenpai/help/index.html share/fenpai/help/style.css
        share/fenpai/zkzmb/copzkz2.cel share/fenpai/zkzmb/copzkz3.cel
        share/man/man1/fenpai.1.gz
        share/fenpai/demo/分班数据.xlsx share/fenpai/demo/考场编排数据.xlsx
        share/fenpai/demo/成绩数据.xlsx
        share/applications/fenpai.desktop
        share/icons/hicolor/16x16/apps/fenpai.png share/icons/hicolor/32x32/apps/fenpai.png
        share/icons/hicolor/scalable/apps/fenpai.svg)
    if(NOT EXISTS "${PREFIX}/${path}")
        list(APPEND missing "${path}")
    endif()
endforeach()

# bin/ holds the program alone; what it reads is in share/fenpai.
foreach(stale bin/help bin/zkzmb)
    if(EXISTS "${PREFIX}/${stale}")
        list(APPEND missing "nothing but the program in bin/ (found ${stale})")
    endif()
endforeach()

# Every local link and picture of the manual's pages must be installed with it.
file(GLOB pages "${PREFIX}/share/fenpai/help/*.html")
list(LENGTH pages page_count)
if(page_count LESS 5)
    list(APPEND missing "the manual's pages (${page_count} found)")
endif()
foreach(page ${pages})
    file(READ "${page}" html)
    string(REGEX MATCHALL "(href|src)=\"[^\"#:]+" links "${html}")
    foreach(link ${links})
        string(REGEX REPLACE "^(href|src)=\"" "" target "${link}")
        if(NOT EXISTS "${PREFIX}/share/fenpai/help/${target}")
            get_filename_component(name "${page}" NAME)
            list(APPEND missing "help/${target} (linked from ${name})")
        endif()
    endforeach()
endforeach()

file(READ "${PREFIX}/share/applications/fenpai.desktop" desktop)
foreach(line "Name=分班排考" "Exec=fenpai" "Icon=fenpai" "Categories=Office;Education;")
    string(FIND "${desktop}" "${line}" at)
    if(at EQUAL -1)
        list(APPEND missing "fenpai.desktop: ${line}")
    endif()
endforeach()

if(missing)
    list(JOIN missing "\n  " text)
    message(FATAL_ERROR "missing from the installed tree:\n  ${text}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=FENPAI_DATA_DIR
                        "${PREFIX}/bin/fenpai" --version
                RESULT_VARIABLE status OUTPUT_VARIABLE version)
if(NOT status EQUAL 0 OR NOT version MATCHES "分班排考")
    message(FATAL_ERROR "fenpai --version: ${status} ${version}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=FENPAI_DATA_DIR
                        "${PREFIX}/bin/fenpai" import division
                        "${PREFIX}/share/fenpai/demo/分班数据.xlsx"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT EXISTS "${PREFIX}/share/fenpai/suju/sujuf.mdb")
    message(FATAL_ERROR "the installed program keeps no data below its prefix: ${status} ${errors}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
