# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
# What differs between the engines lives in the engine classes (ConnessioneFile,
# ConnessioneServer) and their dialects: a test of the engine anywhere else in the program
# fails the build, with the lines that hold it.
#   cmake -DRADICE=<source folder> -P tests/motori_separati.cmake
set(_ramo "(==|!=)[ \t]*MotoreSql::|MotoreSql::[A-Za-z]+[ \t]*(==|!=|\\?)|case[ \t]+MotoreSql::|motore\\(\\)[ \t]*(==|!=)|m_motore[ \t]*(==|!=)|driverName\\(\\)[ \t]*(==|!=)|driverName\\(\\)\\.(startsWith|compare)|dbmsType\\(\\)")
file(GLOB_RECURSE _sorgenti ${RADICE}/src/*.cpp ${RADICE}/src/*.h ${RADICE}/platform/*.cpp
     ${RADICE}/platform/*.h ${RADICE}/app/*.cpp ${RADICE}/app/*.h)
list(FILTER _sorgenti EXCLUDE REGEX "/platform/database/(ConnessioneFile|ConnessioneServer|Dialetto[A-Za-z]*)\\.(h|cpp)$")
set(_trovati "")
foreach(_file IN LISTS _sorgenti)
    file(STRINGS ${_file} _righe REGEX "${_ramo}")
    foreach(_riga IN LISTS _righe)
        file(RELATIVE_PATH _nome ${RADICE} ${_file})
        string(STRIP "${_riga}" _riga)
        string(APPEND _trovati "\n  ${_nome}: ${_riga}")
    endforeach()
endforeach()
if(_trovati)
    message(FATAL_ERROR "Differenze tra i motori fuori dalle classi dei motori e dai dialetti:${_trovati}")
endif()
