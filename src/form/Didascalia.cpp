// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/Didascalia.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>

namespace KaloRefill {

namespace {
// The lines of one paragraph wrapped between words at `larghezza`; false when a word alone
// is wider than that.
bool avvolgi(const QString& paragrafo, const QFont& font, qreal larghezza,
             const QPaintDevice* dispositivo, QStringList& righe) {
    if (paragrafo.isEmpty()) {
        righe << QString();
        return true;
    }
    QTextLayout layout(paragrafo, font, const_cast<QPaintDevice*>(dispositivo));
    QTextOption opzioni;
    opzioni.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(opzioni);
    bool entra = true;
    layout.beginLayout();
    for (QTextLine riga = layout.createLine(); riga.isValid(); riga = layout.createLine()) {
        riga.setLineWidth(larghezza);
        entra = entra && riga.naturalTextWidth() <= larghezza;
        righe << paragrafo.mid(riga.textStart(), riga.textLength()).trimmed();
    }
    layout.endLayout();
    return entra;
}

Didascalia::Composizione prova(const QStringList& paragrafi, QFont font, qreal punti,
                               const QSize& area, const QPaintDevice* dispositivo) {
    font.setPointSizeF(punti);
    Didascalia::Composizione c;
    c.font = font;
    c.altezzaRiga =
        dispositivo ? QFontMetricsF(font, dispositivo).height() : QFontMetricsF(font).height();
    bool parole = true;
    for (const QString& paragrafo : paragrafi)
        parole = avvolgi(paragrafo, font, area.width(), dispositivo, c.righe) && parole;
    c.intera = parole && c.righe.size() * c.altezzaRiga <= area.height();
    return c;
}
} // namespace

Didascalia::Composizione Didascalia::componi(const QString& testo, const QFont& font,
                                             const QSize& area, const QPaintDevice* dispositivo) {
    const QStringList paragrafi = testo.split(QLatin1Char('\n'));
    const qreal piena = font.pointSizeF() > 0 ? font.pointSizeF() : PuntiMinimi;
    for (qreal punti = piena; punti > PuntiMinimi; punti -= 1) {
        Composizione c = prova(paragrafi, font, punti, area, dispositivo);
        if (c.intera)
            return c;
    }
    Composizione c = prova(paragrafi, font, std::min(piena, PuntiMinimi), area, dispositivo);
    if (c.intera)
        return c;

    // Still too big at the smallest size: words too wide are shortened, lines that do not
    // fit are dropped from the bottom (always keeping the first).
    const QFontMetricsF metriche =
        dispositivo ? QFontMetricsF(c.font, dispositivo) : QFontMetricsF(c.font);
    for (QString& riga : c.righe) {
        if (metriche.horizontalAdvance(riga) > area.width())
            riga = metriche.elidedText(riga, Qt::ElideRight, area.width());
    }
    const auto entrano = static_cast<qsizetype>(std::floor(area.height() / c.altezzaRiga));
    if (c.righe.size() > std::max<qsizetype>(entrano, 1))
        c.righe = c.righe.first(std::max<qsizetype>(entrano, 1));
    c.intera = false;
    return c;
}

} // namespace KaloRefill
