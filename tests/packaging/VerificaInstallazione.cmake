# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
# cmake -P script: install the build into a new prefix, check what landed there, then
# configure, build and run a host program that only knows the installed package.
foreach(variabile CARTELLA_BUILD CARTELLA_SORGENTI CARTELLA_CONSUMATORE CARTELLA_LAVORO VERSIONE_ATTESA)
    if(NOT DEFINED ${variabile})
        message(FATAL_ERROR "${variabile} non definita")
    endif()
endforeach()

function(esegui descrizione)
    execute_process(COMMAND ${ARGN}
        RESULT_VARIABLE esito OUTPUT_VARIABLE uscita ERROR_VARIABLE errori)
    if(NOT esito EQUAL 0)
        message(FATAL_ERROR "${descrizione} fallito (${esito}):\n${uscita}\n${errori}")
    endif()
    set(USCITA "${uscita}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${CARTELLA_LAVORO})
set(prefisso ${CARTELLA_LAVORO}/prefisso)

esegui("cmake --install" ${CMAKE_COMMAND} --install ${CARTELLA_BUILD} --prefix ${prefisso})

# The pieces a host needs, at the places the package promises.
foreach(file
        bin/kalorefill
        include/KaloRefill/entry/Configura.h
        include/KaloRefill/host/HostApplication.h
        include/KaloRefill/host/Recordset.h
        include/KaloRefill/host/DatabaseHost.h
        include/KaloRefill/search/ComponenteRicerca.h
        include/KaloRefill/components/ComponentFactory.h
        include/KaloRefill/kalorefill_export.h
        include/KaloRefill/kalorefill_database_export.h
        include/KaloRefill/Versione.h)
    if(NOT EXISTS ${prefisso}/${file})
        message(FATAL_ERROR "manca ${file} nell'installazione")
    endif()
endforeach()
file(GLOB_RECURSE configurazioni ${prefisso}/*/KaloRefillConfig.cmake)
file(GLOB_RECURSE librerie ${prefisso}/*/libkalorefill.so ${prefisso}/*/libkalorefill_database.so)
file(GLOB componenti ${prefisso}/lib*/kalorefill/components/* ${prefisso}/lib*/*/kalorefill/components/*)
if(NOT componenti)
    message(FATAL_ERROR "manca il componente di ricerca in lib/kalorefill/components")
endif()
file(GLOB moduli_riepilogo ${prefisso}/lib*/kalorefill/riepilogo.so ${prefisso}/lib*/*/kalorefill/riepilogo.so)
if(NOT moduli_riepilogo)
    message(FATAL_ERROR "manca il modulo del riepilogo in lib/kalorefill")
endif()
list(LENGTH configurazioni n_configurazioni)
list(LENGTH librerie n_librerie)
if(NOT n_configurazioni EQUAL 1 OR NOT n_librerie EQUAL 2)
    message(FATAL_ERROR "pacchetto incompleto: ${configurazioni} ${librerie}")
endif()

# Nothing installed may point back into the sources or the build.
file(GLOB_RECURSE file_cmake ${prefisso}/*.cmake)
foreach(file IN LISTS file_cmake)
    file(READ ${file} testo)
    foreach(vietato ${CARTELLA_BUILD} ${CARTELLA_SORGENTI})
        string(FIND "${testo}" "${vietato}" posizione)
        if(NOT posizione EQUAL -1)
            message(FATAL_ERROR "${file} punta a ${vietato}")
        endif()
    endforeach()
endforeach()
find_program(READELF readelf)
if(READELF)
    foreach(binario ${prefisso}/bin/kalorefill ${librerie})
        esegui("readelf ${binario}" ${READELF} -d ${binario})
        string(FIND "${USCITA}" "${CARTELLA_BUILD}" posizione)
        if(NOT posizione EQUAL -1)
            message(FATAL_ERROR "${binario} cerca le librerie nella cartella di build")
        endif()
    endforeach()
endif()

# The installed program runs on the installed libraries alone.
esegui("kalorefill --version installato"
    ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${prefisso}/bin/kalorefill --version)
if(NOT USCITA STREQUAL "${VERSIONE_ATTESA}\n")
    message(FATAL_ERROR "kalorefill --version installato ha scritto \"${USCITA}\", atteso ${VERSIONE_ATTESA}")
endif()

set(argomenti_generatore)
if(GENERATORE)
    set(argomenti_generatore -G ${GENERATORE})
endif()
if(COMPILATORE)
    list(APPEND argomenti_generatore -DCMAKE_CXX_COMPILER=${COMPILATORE})
endif()
esegui("configurazione del programma ospite"
    ${CMAKE_COMMAND} -S ${CARTELLA_CONSUMATORE} -B ${CARTELLA_LAVORO}/build ${argomenti_generatore}
        -DCMAKE_PREFIX_PATH=${prefisso}
        -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
        -DKALOREFILL_PREFISSO_ATTESO=${prefisso})
esegui("compilazione del programma ospite" ${CMAKE_COMMAND} --build ${CARTELLA_LAVORO}/build --parallel 2)
esegui("programma ospite"
    ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${CARTELLA_LAVORO}/build/ospite)
if(NOT USCITA STREQUAL "${VERSIONE_ATTESA}\n")
    message(FATAL_ERROR "il programma ospite ha scritto \"${USCITA}\", atteso ${VERSIONE_ATTESA}")
endif()
message(STATUS "installazione verificata: ${USCITA}")
