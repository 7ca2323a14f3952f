// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "documento/ImportoInLettere.h"

namespace KaloRefill::ImportoInLettere {

namespace {
const char* const unita[] = {"",         "uno",         "due",         "tre",         "quattro",
                             "cinque",   "sei",         "sette",       "otto",        "nove",
                             "dieci",    "undici",      "dodici",      "tredici",     "quattordici",
                             "quindici", "sedici",      "diciassette", "diciotto",    "diciannove"};
const char* const decine[] = {"", "", "venti", "trenta", "quaranta", "cinquanta", "sessanta", "settanta", "ottanta",
                              "novanta"};

// 0..999.
QString finoAMille(int n) {
    const int c = n / 100;
    const int resto = n % 100;
    QString t = c == 0 ? QString() : (c > 1 ? QLatin1String(unita[c]) : QString()) + QStringLiteral("cento");
    QString r;
    if (resto >= 20) {
        r = QLatin1String(decine[resto / 10]);
        const int u = resto % 10;
        // The vowel drops before "uno" and "otto": ventuno, trentotto.
        if (u == 1 || u == 8)
            r.chop(1);
        r += QLatin1String(unita[u]);
    } else {
        r = QLatin1String(unita[resto]);
    }
    // centottanta, centotto.
    if (c > 0 && r.startsWith(QLatin1Char('o')))
        t.chop(1);
    return t + r;
}
} // namespace

QString numero(qint64 n) {
    if (n < 0)
        n = -n;
    if (n == 0)
        return QStringLiteral("zero");
    const qint64 miliardi = n / 1000000000;
    const int milioni = int((n / 1000000) % 1000);
    const int migliaia = int((n / 1000) % 1000);
    const int resto = int(n % 1000);
    QString t;
    if (miliardi > 0)
        t += miliardi == 1 ? QStringLiteral("unmiliardo") : numero(miliardi) + QStringLiteral("miliardi");
    if (milioni > 0)
        t += milioni == 1 ? QStringLiteral("unmilione") : finoAMille(milioni) + QStringLiteral("milioni");
    if (migliaia > 0)
        t += migliaia == 1 ? QStringLiteral("mille") : finoAMille(migliaia) + QStringLiteral("mila");
    t += finoAMille(resto);
    // "tre" at the end of a longer number takes its accent: ventitré, milletré.
    if (t.size() > 3 && t.endsWith(QLatin1String("tre")))
        t = t.left(t.size() - 1) + QStringLiteral("é");
    return t;
}

QString testo(const Valuta& importo) {
    qint64 decimi = importo.decimillesimi();
    if (decimi < 0)
        decimi = -decimi;
    const qint64 centesimiTotali = (decimi + 50) / 100;
    const qint64 euro = centesimiTotali / 100;
    const int centesimi = int(centesimiTotali % 100);
    const auto parola = [](qint64 n, const char* uno, const char* molti) {
        if (n == 1)
            return QStringLiteral("un ") + QLatin1String(uno);
        QString t = numero(n);
        // "ventuno euro", never "ventuno euri"; millions take "di": "un milione di euro".
        if (n % 1000000 == 0)
            t += QStringLiteral(" di");
        return t + QLatin1Char(' ') + QLatin1String(molti);
    };
    if (euro == 0 && centesimi > 0)
        return parola(centesimi, "centesimo", "centesimi");
    QString t = parola(euro, "euro", "euro");
    if (centesimi > 0)
        t += QStringLiteral(" e ") + parola(centesimi, "centesimo", "centesimi");
    return t;
}

} // namespace KaloRefill::ImportoInLettere
