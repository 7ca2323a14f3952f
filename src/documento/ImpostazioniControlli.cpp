// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "documento/ImpostazioniControlli.h"

#include <algorithm>

namespace KaloRefill {

ImpostazioniControlli ImpostazioniControlli::leggi(HostApplication& host) {
    const QString sezione = QStringLiteral("Refill");
    const auto valore = [&](const char* chiave, qint16 predefinito) {
        return host.leggisettaggio(sezione, QLatin1String(chiave), predefinito);
    };
    ImpostazioniControlli i;
    i.attivi = valore("Controlli", 0) == 1;
    if (!i.attivi)
        return i;
    const auto euro = [](qint16 n) { return Valuta::daDecimillesimi(qint64(std::max<qint16>(n, 0)) * 10000); };
    i.sogliaTestimone = euro(valore("SogliaTestimone", 500));
    i.sogliaResponsabile = euro(valore("SogliaResponsabile", 2000));
    const int minuti = std::clamp<int>(valore("InizioGiornata", 360), 0, 24 * 60 - 1);
    i.inizioGiornata = QTime(minuti / 60, minuti % 60);
    i.minutiInattivita = std::max<int>(valore("BloccoInattivita", 5), 0);
    i.copieBuono = std::clamp<int>(valore("CopieBuono", 2), 1, 9);
    i.rotolo80mm = valore("FormatoBuono", 0) == 1;
    return i;
}

QDate ImpostazioniControlli::giornata(const QDateTime& momento, const QTime& inizio) {
    return momento.time() < inizio ? momento.date().addDays(-1) : momento.date();
}

} // namespace KaloRefill
