// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "FabbricaRicerca.h"

#include "KaloviaRicerca.h"

namespace KaloRefill {

namespace {
const QString nome = QStringLiteral("KaloviaRicerca.Ricerca");
}

QStringList FabbricaRicerca::componentNames() const {
    return {nome};
}

QObject* FabbricaRicerca::createComponent(const QString& name) {
    if (name.compare(nome, Qt::CaseInsensitive) != 0)
        return nullptr;
    return new KaloviaRicerca();
}

} // namespace KaloRefill
