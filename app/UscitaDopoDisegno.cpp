// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "UscitaDopoDisegno.h"

#include "DopoPrimoDisegno.h"

#include <QApplication>

#include <cstdio>
#include <ctime>

namespace KaloRefill::UscitaDopoDisegno {

void installaSeRichiesto() {
    if (qEnvironmentVariableIsEmpty(variabile))
        return;
    DopoPrimoDisegno::esegui([] {
        timespec adesso{};
        clock_gettime(CLOCK_MONOTONIC, &adesso);
        std::printf("disegnato %lld\n",
                    static_cast<long long>(adesso.tv_sec) * 1000000000LL + adesso.tv_nsec);
        std::fflush(stdout);
        QApplication::closeAllWindows();
    });
}

} // namespace KaloRefill::UscitaDopoDisegno
