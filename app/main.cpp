// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "Programma.h"

int main(int argc, char** argv) {
    return KaloRefill::Programma::esegui(argc, argv);
}
