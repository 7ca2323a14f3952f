// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "RegolaAllarme.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace KaloRefill {

namespace {

QString numero(double valore) {
    return QLocale(QLocale::Italian, QLocale::Italy).toString(valore, 'g', 15);
}

} // namespace

double RegolaAllarme::mediana(QList<int> conteggi) {
    if (conteggi.isEmpty())
        return 0.0;
    std::sort(conteggi.begin(), conteggi.end());
    const qsizetype n = conteggi.size();
    if (n % 2 == 1)
        return conteggi.at(n / 2);
    return (conteggi.at(n / 2 - 1) + conteggi.at(n / 2)) / 2.0;
}

RegolaAllarme::Esito RegolaAllarme::valuta(int ultimaSettimana,
                                           const QList<int>& settimanePrecedenti, int soglia) {
    const bool storico = std::any_of(settimanePrecedenti.cbegin(), settimanePrecedenti.cend(),
                                     [](int n) { return n > 0; });
    if (!storico || ultimaSettimana < minimo)
        return {};
    const double med = mediana(settimanePrecedenti);
    // Compared in whole numbers: the median is a whole number or a half, so "exactly
    // twice" is never lost to rounding.
    const long doppiaMediana = std::lround(2.0 * med);
    if (2L * ultimaSettimana <= doppiaMediana * soglia)
        return {};
    return {true,
            QStringLiteral("%1 refill negli ultimi 7 giorni contro una mediana di %2 a "
                           "settimana nelle %3 settimane precedenti (soglia: più di %4 volte)")
                .arg(ultimaSettimana)
                .arg(numero(med))
                .arg(settimanePrecedenti.size())
                .arg(soglia)};
}

} // namespace KaloRefill
