# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
# What `cmake --install` lays down, and the CMake package that lets another host program
# find_package(KaloRefill) and link KaloRefill::kalorefill (and KaloRefill::kalorefill_database).
#
# Headers keep the folders they have in the sources, under include/KaloRefill, because they
# include each other by paths rooted there ("host/HostApplication.h"):
#
#   include/KaloRefill/kalorefill_export.h, kalorefill_database_export.h, Versione.h
#   include/KaloRefill/entry/      Configura.h, Registrazione.h
#   include/KaloRefill/host/       the host contracts, and DatabaseHost.h with the
#                                  database address it takes (IndirizzoDatabase.h,
#                                  ParametriServer.h)
#   include/KaloRefill/search/     ComponenteRicerca.h
#   include/KaloRefill/components/ ComponentFactory.h
#
# include/KaloRefill is the targets' include folder, so a host writes
# #include <entry/Configura.h> and #include <host/DatabaseHost.h>.

include(CMakePackageConfigHelpers)

set(KALOREFILL_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/KaloRefill)
set(KALOREFILL_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/KaloRefill)
set(KALOREFILL_INSTALL_COMPONENTSDIR ${CMAKE_INSTALL_LIBDIR}/kalorefill/components)

# Installed binaries find the libraries through paths relative to themselves, so the
# installation can be moved as a whole.
#
# The program and its libraries lie in the build folder as they will be installed, so they
# are built with the installed search path. Otherwise CMake pads the built path with ':' to
# rewrite it in place at installation, and to the dynamic loader every empty entry means
# "the current folder": each library the program needs was first looked for there, a dozen
# failed opens per library at every start.
file(RELATIVE_PATH _kalorefill_bin_a_lib /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
file(RELATIVE_PATH _kalorefill_componenti_a_lib /${KALOREFILL_INSTALL_COMPONENTSDIR} /${CMAKE_INSTALL_LIBDIR})
set_target_properties(kalorefill-app PROPERTIES INSTALL_RPATH "$ORIGIN/${_kalorefill_bin_a_lib}")
set_target_properties(kalorefill kalorefill_database PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(kalorefill-app kalorefill kalorefill_database PROPERTIES BUILD_WITH_INSTALL_RPATH ON)

install(TARGETS kalorefill kalorefill_database
    EXPORT KaloRefillTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT sviluppo
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT sviluppo
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)

install(TARGETS kalorefill-app RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)

# Loaded into the program, which has the libraries already: no search path of its own.
set_target_properties(kalorefill_modulo_riepilogo PROPERTIES BUILD_WITH_INSTALL_RPATH ON)
install(TARGETS kalorefill_modulo_riepilogo
    LIBRARY DESTINATION ${KALOREFILL_INSTALL_MODULIDIR} COMPONENT runtime)

# The search-and-report component is a plugin loaded by name; the program tells the
# registry about this folder.
if(TARGET kaloviaricerca)
    set_target_properties(kaloviaricerca PROPERTIES INSTALL_RPATH "$ORIGIN/${_kalorefill_componenti_a_lib}")
    install(TARGETS kaloviaricerca
        LIBRARY DESTINATION ${KALOREFILL_INSTALL_COMPONENTSDIR} COMPONENT runtime
        RUNTIME DESTINATION ${KALOREFILL_INSTALL_COMPONENTSDIR} COMPONENT runtime)
endif()

file(GLOB _kalorefill_host_headers ${PROJECT_SOURCE_DIR}/src/host/*.h)
install(FILES ${_kalorefill_host_headers} ${PROJECT_SOURCE_DIR}/platform/database/DatabaseHost.h
    ${PROJECT_SOURCE_DIR}/platform/database/IndirizzoDatabase.h
    ${PROJECT_SOURCE_DIR}/platform/database/ParametriServer.h
    DESTINATION ${KALOREFILL_INSTALL_INCLUDEDIR}/host COMPONENT sviluppo)
install(FILES ${PROJECT_SOURCE_DIR}/src/entry/Configura.h ${PROJECT_SOURCE_DIR}/src/entry/Registrazione.h
    DESTINATION ${KALOREFILL_INSTALL_INCLUDEDIR}/entry COMPONENT sviluppo)
install(FILES ${PROJECT_SOURCE_DIR}/src/search/ComponenteRicerca.h
    DESTINATION ${KALOREFILL_INSTALL_INCLUDEDIR}/search COMPONENT sviluppo)
install(FILES ${PROJECT_SOURCE_DIR}/platform/components/ComponentFactory.h
    DESTINATION ${KALOREFILL_INSTALL_INCLUDEDIR}/components COMPONENT sviluppo)
install(FILES
    ${PROJECT_BINARY_DIR}/src/include/kalorefill_export.h
    ${PROJECT_BINARY_DIR}/src/include/Versione.h
    ${PROJECT_BINARY_DIR}/platform/database/include/kalorefill_database_export.h
    DESTINATION ${KALOREFILL_INSTALL_INCLUDEDIR} COMPONENT sviluppo)

# The package asks for the Qt modules that the exported targets hand on to their users.
set(KALOREFILL_QT_COMPONENTS)
foreach(_kalorefill_target kalorefill kalorefill_database)
    get_target_property(_kalorefill_link ${_kalorefill_target} INTERFACE_LINK_LIBRARIES)
    foreach(_kalorefill_lib IN LISTS _kalorefill_link)
        if(_kalorefill_lib MATCHES "Qt6::([A-Za-z]+)")
            list(APPEND KALOREFILL_QT_COMPONENTS ${CMAKE_MATCH_1})
        endif()
    endforeach()
endforeach()
list(REMOVE_DUPLICATES KALOREFILL_QT_COMPONENTS)

install(EXPORT KaloRefillTargets
    NAMESPACE KaloRefill::
    FILE KaloRefillTargets.cmake
    DESTINATION ${KALOREFILL_INSTALL_CMAKEDIR}
    COMPONENT sviluppo)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/KaloRefillConfig.cmake.in
    ${PROJECT_BINARY_DIR}/cmake/KaloRefillConfig.cmake
    INSTALL_DESTINATION ${KALOREFILL_INSTALL_CMAKEDIR}
    PATH_VARS KALOREFILL_INSTALL_INCLUDEDIR KALOREFILL_INSTALL_COMPONENTSDIR)
# A host built against 2.x works with any later 2.x: the major number is the soname's.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/cmake/KaloRefillConfigVersion.cmake
    VERSION ${PROJECT_VERSION}
    COMPATIBILITY SameMajorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/cmake/KaloRefillConfig.cmake
    ${PROJECT_BINARY_DIR}/cmake/KaloRefillConfigVersion.cmake
    DESTINATION ${KALOREFILL_INSTALL_CMAKEDIR}
    COMPONENT sviluppo)
