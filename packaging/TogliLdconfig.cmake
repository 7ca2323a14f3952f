# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
# Run by CPack after it has built the packages. CPack still calls ldconfig from postinst
# and postrm of a package with libraries in /usr/lib; Debian refreshes the library cache
# through the ldconfig trigger instead (the "triggers" file the package carries), and a
# maintainer script would also keep dpkg from installing into another root. The two
# scripts are taken out of the kalorefill package and it is built again.
find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(pacchetto IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(nome ${pacchetto} NAME)
    if(NOT nome MATCHES "^kalorefill_.*\\.deb$")
        continue()
    endif()
    set(cartella ${CPACK_TOPLEVEL_DIRECTORY}/senza-ldconfig)
    file(REMOVE_RECURSE ${cartella})
    execute_process(COMMAND ${DPKG_DEB} -R ${pacchetto} ${cartella} COMMAND_ERROR_IS_FATAL ANY)
    foreach(script postinst postrm)
        file(STRINGS ${cartella}/DEBIAN/${script} righe)
        list(FILTER righe EXCLUDE REGEX "^#!|^$|set -e|ldconfig|^if |^fi$")
        if(righe)
            message(FATAL_ERROR "${script} di ${nome} fa altro oltre a ldconfig: ${righe}")
        endif()
        file(REMOVE ${cartella}/DEBIAN/${script})
    endforeach()
    execute_process(COMMAND ${DPKG_DEB} --root-owner-group -Zxz -b ${cartella} ${pacchetto}
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${cartella})
endforeach()
