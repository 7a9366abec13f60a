# Builds the Debian package of a build folder and checks it: its name, its control fields (Depends
# computed from the linked libraries, the description in Chinese and English) and its files, all
# below /usr. Run as root where apt-get is, it then installs the package, runs the installed
# program (version, demo workbooks, imports, an arrangement and its tickets, the data in the
# user's folder and nothing written below /usr) and removes it, leaving nothing behind.
#   cmake -DBUILD_DIR=... -DWORK=... -DVERSION=... -DCPACK=... -P checkpackage.cmake
cmake_policy(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/out" "${WORK}/home")

set(installed FALSE)
# Fails the test; a package this run installed is removed first.
macro(fail text)
    if(installed)
        execute_process(COMMAND apt-get remove --purge -y fenpai OUTPUT_QUIET ERROR_QUIET)
    endif()
    message(FATAL_ERROR "${text}")
endmacro()

# Runs a command; its output goes to `output`, and a failure ends the test.
function(run output)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        list(JOIN ARGN " " command)
        fail("${command}: ${status}\n${out}\n${errors}")
    endif()
    set(${output} "${out}" PARENT_SCOPE)
endfunction()

function(expect text pattern what)
    if(NOT text MATCHES "${pattern}")
        fail("${what}: no match for ${pattern} in\n${text}")
    endif()
endfunction()

# The package.
run(log ${CPACK} -G DEB -B "${WORK}/out" --config "${BUILD_DIR}/CPackConfig.cmake")
run(arch dpkg --print-architecture)
string(STRIP "${arch}" arch)
set(deb "${WORK}/out/fenpai_${VERSION}_${arch}.deb")
if(NOT EXISTS "${deb}")
    file(GLOB made "${WORK}/out/*.deb")
    fail("no ${deb}; cpack made: ${made}")
endif()

# Its control fields.
run(info dpkg-deb --field "${deb}")
string(PREPEND info "\n") # every field then starts a line
expect("${info}" "\nPackage: fenpai\n" "package name")
expect("${info}" "\nVersion: ${VERSION}\n" "version")
expect("${info}" "\nArchitecture: ${arch}\n" "architecture")
expect("${info}" "\nSection: education\n" "section")
string(REGEX MATCH "\nDepends: [^\n]*" depends "${info}")
foreach(library libc6 libstdc\\+\\+6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6
        libsqlite3-0 libsodium[0-9]+ libzip[0-9]+ libxlsxwriter[0-9]* libuchardet[0-9]+
        libqpdf[0-9]+ fonts-noto-cjk)
    expect("${depends}" "[ ,]${library}( |,|$)" "Depends")
endforeach()
expect("${info}" "\nDescription: [^\n]*分班排考" "summary")
expect("${info}" "\n 分班排考：[^\n]*\n" "Chinese description")
expect("${info}" "\n A desktop program for schools" "English description")
run(fullinfo dpkg-deb --info "${deb}")
expect("${fullinfo}" "md5sums" "control archive")

# Its files: the program, what it reads, the manual page, the desktop entry and icons, all below
# /usr, and no data.
run(listing dpkg-deb --contents "${deb}")
string(REGEX MATCHALL "\\./[^\n]*" paths "${listing}")
foreach(path
        usr/bin/fenpai usr/share/man/man1/fenpai.1.gz
        usr/share/fenpai/help/index.html usr/share/fenpai/help/style.css
        usr/share/fenpai/zkzmb/copzkz2.cel usr/share/fenpai/zkzmb/copzkz3.cel
        usr/share/fenpai/demo/分班数据.xlsx usr/share/fenpai/demo/考场编排数据.xlsx
        usr/share/fenpai/demo/成绩数据.xlsx usr/share/applications/fenpai.desktop
        usr/share/icons/hicolor/16x16/apps/fenpai.png
        usr/share/icons/hicolor/32x32/apps/fenpai.png
        usr/share/icons/hicolor/scalable/apps/fenpai.svg)
    if(NOT "./${path}" IN_LIST paths)
        fail("the package lacks /${path}:\n${listing}")
    endif()
endforeach()
foreach(path ${paths})
    if(NOT path MATCHES "^\\./(usr/.*)?$" OR path MATCHES "^\\./usr/local/|suju|\\.mdb$|/bin/.+/")
        fail("the package should not hold ${path}")
    endif()
endforeach()

# The manual page as man reads it.
run(extracted dpkg-deb -x "${deb}" "${WORK}/root")
find_program(LEXGROG lexgrog)
if(LEXGROG)
    run(whatis ${LEXGROG} "${WORK}/root/usr/share/man/man1/fenpai.1.gz")
    expect("${whatis}" "\"fenpai - 分班排考" "the manual page's name line")
endif()

# Installing needs root and apt; elsewhere the package has been checked as a file.
run(uid id -u)
string(STRIP "${uid}" uid)
find_program(APT_GET apt-get)
if(NOT uid STREQUAL "0" OR NOT APT_GET)
    message(STATUS "not root or no apt-get: ${deb} checked, not installed")
    return()
endif()
execute_process(COMMAND dpkg-query -W -f=\${Status} fenpai OUTPUT_VARIABLE before ERROR_QUIET)
# Any state but absent or not-installed means a package of someone's: leave it alone.
set(present " installed|unpacked|half-|config-files|triggers-")
if(before MATCHES "${present}" OR EXISTS /usr/bin/fenpai)
    message("SKIPPED: fenpai is already installed here; remove it before this test installs and"
            " removes its own package")
    return()
endif()

run(log ${CMAKE_COMMAND} -E env DEBIAN_FRONTEND=noninteractive
    ${APT_GET} install -y --no-install-recommends "${deb}")
set(installed TRUE)
run(state dpkg-query -W "-f=\${Status} \${Version}" fenpai)
expect("${state}" "^install ok installed ${VERSION}$" "dpkg-query after the install")

# The installed program, as a user without a data folder of their own runs it (HOME is a scratch
# folder; root could write below /usr, and must not).
set(user ${CMAKE_COMMAND} -E env --unset=FENPAI_DATA_DIR --unset=XDG_DATA_HOME
    --unset=XDG_CONFIG_HOME "HOME=${WORK}/home" QT_QPA_PLATFORM=offscreen
    ASAN_OPTIONS=detect_leaks=0 /usr/bin/fenpai)
run(version ${user} --version)
expect("${version}" "^分班排考 \\(fenpai\\) ${VERSION}\n" "fenpai --version")
run(log ${user} import division /usr/share/fenpai/demo/分班数据.xlsx)
run(log ${user} divide --classes 12)
set(userdb "${WORK}/home/.local/share/分班排考/suju/sujuf.mdb")
if(NOT EXISTS "${userdb}")
    fail("the installed program keeps no data in the user's folder ${userdb}")
endif()
# A data folder given on the command line; the demo workbooks written by the program itself;
# tickets made from the installed factory template.
run(log ${user} demo "${WORK}/demo")
run(log ${user} --data-dir "${WORK}/data" import arrangement "${WORK}/demo/考场编排数据.xlsx")
run(log ${user} --data-dir "${WORK}/data" arrange --mode 1)
run(log ${user} --data-dir "${WORK}/data" tickets --room 1 -o "${WORK}/tickets.pdf")
file(SHA256 /usr/share/fenpai/zkzmb/copzkz2.cel factory)
file(SHA256 "${WORK}/data/zkzmb/zkz2.cel" working)
if(NOT EXISTS "${WORK}/tickets.pdf" OR NOT factory STREQUAL working)
    fail("tickets from the installed template: ${log}")
endif()

# Nothing below /usr but what the package brought.
file(GLOB_RECURSE shared LIST_DIRECTORIES true /usr/share/fenpai/*)
foreach(path ${shared})
    if(NOT ".${path}" IN_LIST paths AND NOT ".${path}/" IN_LIST paths)
        fail("the program wrote ${path}")
    endif()
endforeach()
foreach(path /usr/bin/suju /usr/bin/zkzmb /usr/share/suju)
    if(EXISTS "${path}")
        fail("the program wrote ${path}")
    endif()
endforeach()

run(log ${CMAKE_COMMAND} -E env DEBIAN_FRONTEND=noninteractive
    ${APT_GET} remove --purge -y fenpai)
set(installed FALSE)
execute_process(COMMAND dpkg-query -W -f=\${Status} fenpai OUTPUT_VARIABLE after ERROR_QUIET)
if(after MATCHES "${present}")
    fail("dpkg still lists fenpai: ${after}")
endif()
# Every file the package brought has gone, and its own folders with them.
foreach(path ${paths})
    string(REGEX REPLACE "^\\.|/$" "" path "${path}")
    if(path MATCHES "^/usr/(bin/.+|share/(fenpai|man/man1/fenpai|applications/fenpai|icons/.*/fenpai).*)$"
       AND EXISTS "${path}")
        fail("${path} is left after the removal")
    endif()
endforeach()
message(STATUS "${deb} installed, ran and was removed")
file(REMOVE_RECURSE "${WORK}")
