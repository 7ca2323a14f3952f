// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QFile>
#include <QtGlobal>

namespace KaloRefill::FusoOrario {

// With TZ unset, glibc looks at /etc/localtime again at every local-time conversion, and a
// save converts several moments. Naming the same file once lets it read the zone once; a TZ
// the user set (even empty, which means UTC) is left alone. The program stands for the
// host, which owns the process's environment; the benchmarks call it as the program does.
inline void fissaSeAssente() {
    if (!qEnvironmentVariableIsSet("TZ") && QFile::exists(QStringLiteral("/etc/localtime")))
        qputenv("TZ", ":/etc/localtime");
}

} // namespace KaloRefill::FusoOrario
