// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "GraficoRiepilogo.h"

#include "FormatoItaliano.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace KaloRefill {

namespace {

const QColor coloreBarra(0, 128, 128);
const QColor coloreAllarme(200, 30, 30);
const QColor coloreLinea(0, 90, 160);
const QColor coloreGriglia(210, 210, 210);

// The round value at or above massimo that the scale ends on: 1, 2 or 5 times a power
// of ten, so the grid reads at a glance.
double fineScala(double massimo) {
    if (massimo <= 0)
        return 1.0;
    const double potenza = std::pow(10.0, std::floor(std::log10(massimo)));
    for (double passo : {1.0, 2.0, 5.0, 10.0})
        if (passo * potenza >= massimo)
            return passo * potenza;
    return 10.0 * potenza;
}

// Sizes follow the area, so the screen and the page look alike, within what stays
// readable on both.
int pixelTesto(const QRectF& area, double quota, qreal punti, qreal pixelPerPunto) {
    const int minimo = static_cast<int>(std::ceil(punti * pixelPerPunto));
    return std::max(minimo, std::min(static_cast<int>(area.height() * quota), 2 * minimo));
}

QFont carattereScala(const QRectF& area, qreal pixelPerPunto) {
    QFont carattere;
    carattere.setPixelSize(pixelTesto(area, 0.055, GraficoRiepilogo::PuntiMinimi, pixelPerPunto));
    return carattere;
}

// Whole euros on the axis from 10 up: the grid tells the size, the table the cents.
QString etichettaScala(double valore, double fine) {
    if (fine >= 10)
        return QString::number(qRound64(valore));
    return FormatoItaliano::importo(Valuta::daDouble(valore));
}

QRectF areaDisegno(const QRectF& area, double fine, qreal pixelPerPunto) {
    const QFontMetricsF metriche(carattereScala(area, pixelPerPunto));
    const qreal sinistra = metriche.horizontalAdvance(etichettaScala(fine, fine)) + 12;
    const qreal sopra = std::max<qreal>(area.height() * 0.16, metriche.height() * 2.2);
    const qreal sotto = std::max<qreal>(area.height() * 0.14, metriche.height() * 1.6);
    return area.adjusted(sinistra, sopra, -area.width() * 0.02, -sotto);
}

double massimoGiorni(const Riepilogo& r) {
    double massimo = 0;
    for (const auto& g : r.giorni)
        massimo = std::max(massimo, g.totale.toDouble());
    return fineScala(massimo);
}

void disegnaScala(QPainter& p, const QRectF& grafico, const QRectF& area, double fine,
                  qreal pixelPerPunto) {
    p.setFont(carattereScala(area, pixelPerPunto));
    constexpr int tacche = 4;
    for (int i = 0; i <= tacche; ++i) {
        const qreal y = grafico.bottom() - grafico.height() * i / tacche;
        p.setPen(QPen(coloreGriglia, 1));
        p.drawLine(QPointF(grafico.left(), y), QPointF(grafico.right(), y));
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left(), y - grafico.height() / 8, grafico.left() - area.left() - 6,
                          grafico.height() / 4),
                   Qt::AlignRight | Qt::AlignVCenter, etichettaScala(fine * i / tacche, fine));
    }
}

QFont carattereTitolo(const QRectF& area, qreal pixelPerPunto) {
    QFont carattere;
    carattere.setPixelSize(pixelTesto(area, 0.07, 11, pixelPerPunto));
    carattere.setBold(true);
    return carattere;
}

void disegnaTitolo(QPainter& p, const QRectF& area, const QString& titolo, qreal pixelPerPunto) {
    const QFont carattere = carattereTitolo(area, pixelPerPunto);
    p.setFont(carattere);
    p.setPen(Qt::black);
    p.drawText(
        QRectF(area.left(), area.top(), area.width(), QFontMetricsF(carattere).height() * 1.3),
        Qt::AlignLeft | Qt::AlignVCenter, titolo);
}

} // namespace

GraficoRiepilogo::GraficoRiepilogo(QWidget* genitore) : QWidget(genitore) {
    setObjectName(QStringLiteral("GraficoRiepilogo"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraficoRiepilogo::setRiepilogo(const Riepilogo& riepilogo) {
    m_riepilogo = riepilogo;
    update();
}

// A wide, low area puts the two charts side by side, any other one above each other.
static bool affiancati(const QRectF& tutto) {
    return tutto.width() > 1.3 * tutto.height();
}

QRectF GraficoRiepilogo::areaBarre(const QRectF& tutto) {
    if (affiancati(tutto))
        return QRectF(tutto.left(), tutto.top(), tutto.width() * 0.58, tutto.height());
    return QRectF(tutto.left(), tutto.top(), tutto.width(), tutto.height() * 0.56);
}

QRectF GraficoRiepilogo::areaLinea(const QRectF& tutto) {
    if (affiancati(tutto))
        return QRectF(tutto.left() + tutto.width() * 0.60, tutto.top(), tutto.width() * 0.40,
                      tutto.height());
    return QRectF(tutto.left(), tutto.top() + tutto.height() * 0.58, tutto.width(),
                  tutto.height() * 0.42);
}

QList<GraficoRiepilogo::Barra> GraficoRiepilogo::barre(const QRectF& area, const Riepilogo& r,
                                                       qreal pixelPerPunto) {
    QList<Barra> risultato;
    if (r.apparecchi.isEmpty())
        return risultato;
    QFont carattere;
    carattere.setPixelSize(static_cast<int>(std::ceil(PuntiMinimi * pixelPerPunto * 1.05)));
    const QFontMetricsF metriche(carattere);
    const qreal riga = metriche.height() * 1.45;
    const qreal sopra = QFontMetricsF(carattereTitolo(area, pixelPerPunto)).height() * 1.5;
    const QRectF grafico = area.adjusted(0, sopra, 0, 0);
    const auto posti = std::max<qsizetype>(1, static_cast<qsizetype>(grafico.height() / riga));

    QList<RiepilogoApparecchio> ordinati = r.apparecchi;
    std::stable_sort(ordinati.begin(), ordinati.end(),
                     [](const auto& a, const auto& b) { return b.totale < a.totale; });
    const qsizetype mostrati = ordinati.size() <= posti ? ordinati.size() : posti - 1;
    for (qsizetype i = 0; i < mostrati; ++i) {
        const RiepilogoApparecchio& a = ordinati.at(i);
        risultato.append({a.codice, a.totale, a.allarme, 1, {}, {}, carattere.pixelSize()});
    }
    if (mostrati < ordinati.size()) {
        Barra altri{QString(), Valuta(), false, 0, {}, {}, carattere.pixelSize()};
        for (qsizetype i = mostrati; i < ordinati.size(); ++i) {
            altri.totale = altri.totale + ordinati.at(i).totale;
            altri.allarme = altri.allarme || ordinati.at(i).allarme;
            ++altri.apparecchi;
        }
        altri.etichetta = QStringLiteral("altri (%1)").arg(altri.apparecchi);
        risultato.append(altri);
    }

    // Codes on the left, at most a third of the width; amounts after the bars.
    qreal etichette = 0;
    qreal importi = 0;
    double massimo = 0;
    for (const Barra& b : std::as_const(risultato)) {
        etichette = std::max(etichette, metriche.horizontalAdvance(b.etichetta));
        importi = std::max(importi, metriche.horizontalAdvance(FormatoItaliano::importo(b.totale)));
        massimo = std::max(massimo, b.totale.toDouble());
    }
    etichette = std::min(etichette + metriche.averageCharWidth(), grafico.width() / 3);
    const double fine = fineScala(massimo);
    const qreal inizio = grafico.left() + etichette + metriche.averageCharWidth();
    const qreal lunghezza =
        std::max<qreal>(0, grafico.right() - inizio - importi - 2 * metriche.averageCharWidth());
    for (qsizetype i = 0; i < risultato.size(); ++i) {
        Barra& b = risultato[i];
        const qreal y = grafico.top() + riga * i;
        b.riquadroEtichetta = QRectF(grafico.left(), y, etichette, riga);
        const qreal l = lunghezza * std::max(0.0, b.totale.toDouble()) / fine;
        b.rettangolo = QRectF(inizio, y + riga * 0.15, l, riga * 0.7);
    }
    return risultato;
}

void GraficoRiepilogo::disegnaBarre(QPainter& p, const QRectF& area, const Riepilogo& riepilogo,
                                    qreal pixelPerPunto) {
    p.save();
    disegnaTitolo(p, area, QStringLiteral("Totale refill per apparecchio"), pixelPerPunto);
    const QList<Barra> elenco = barre(area, riepilogo, pixelPerPunto);
    for (const Barra& b : elenco) {
        QFont carattere;
        carattere.setPixelSize(b.pixelTesto);
        carattere.setBold(b.allarme);
        p.setFont(carattere);
        const QFontMetricsF metriche(carattere);
        p.setPen(b.allarme ? coloreAllarme : Qt::black);
        // One line each: a long code is shortened, never broken.
        const QString etichetta = (b.allarme ? QStringLiteral("! ") : QString()) + b.etichetta;
        p.drawText(b.riquadroEtichetta, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                   metriche.elidedText(etichetta, Qt::ElideMiddle, b.riquadroEtichetta.width()));
        p.fillRect(b.rettangolo, b.allarme ? coloreAllarme : coloreBarra);
        p.setPen(Qt::black);
        p.drawText(QRectF(b.rettangolo.right() + metriche.averageCharWidth(),
                          b.riquadroEtichetta.top(), area.right() - b.rettangolo.right(),
                          b.riquadroEtichetta.height()),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   FormatoItaliano::importo(b.totale));
    }
    if (!elenco.isEmpty()) {
        const qreal x = elenco.first().rettangolo.left();
        p.setPen(Qt::black);
        p.drawLine(QPointF(x, elenco.first().riquadroEtichetta.top()),
                   QPointF(x, elenco.last().riquadroEtichetta.bottom()));
    }
    p.restore();
}

void GraficoRiepilogo::disegnaLinea(QPainter& p, const QRectF& area, const Riepilogo& riepilogo,
                                    qreal pixelPerPunto) {
    p.save();
    disegnaTitolo(p, area, QStringLiteral("Totale refill giornaliero"), pixelPerPunto);
    const double fine = massimoGiorni(riepilogo);
    const QRectF grafico = areaDisegno(area, fine, pixelPerPunto);
    disegnaScala(p, grafico, area, fine, pixelPerPunto);
    p.setPen(Qt::black);
    p.drawLine(grafico.bottomLeft(), grafico.bottomRight());

    const qint64 giorni = riepilogo.dal.isValid() ? riepilogo.dal.daysTo(riepilogo.al) + 1 : 0;
    if (giorni <= 0) {
        p.restore();
        return;
    }
    // Every day of the period is a point, days without refills at zero.
    QList<double> valori(giorni, 0.0);
    for (const auto& g : riepilogo.giorni) {
        const qint64 i = riepilogo.dal.daysTo(g.data);
        if (i >= 0 && i < giorni)
            valori[i] = g.totale.toDouble();
    }
    const auto punto = [&](qint64 i) {
        const qreal x = giorni == 1 ? grafico.center().x()
                                    : grafico.left() + grafico.width() * i / (giorni - 1);
        return QPointF(x, grafico.bottom() - grafico.height() * valori.at(i) / fine);
    };
    QPainterPath percorso(punto(0));
    for (qint64 i = 1; i < giorni; ++i)
        percorso.lineTo(punto(i));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(coloreLinea, std::max<qreal>(2.0, area.height() / 150)));
    p.drawPath(percorso);
    const qreal raggio = std::max<qreal>(2.5, area.height() / 100);
    p.setBrush(coloreLinea);
    if (giorni <= 62)
        for (qint64 i = 0; i < giorni; ++i)
            p.drawEllipse(punto(i), raggio, raggio);

    // The first and last day under the axis, and the middle one for longer periods.
    p.setFont(carattereScala(area, pixelPerPunto));
    p.setPen(Qt::black);
    const qreal alto = grafico.bottom() + 2;
    const qreal basso = area.bottom() - alto;
    const qreal largo = grafico.width() / 3;
    p.drawText(QRectF(grafico.left(), alto, largo, basso), Qt::AlignLeft | Qt::AlignTop,
               FormatoItaliano::data(riepilogo.dal));
    if (giorni > 2)
        p.drawText(QRectF(grafico.center().x() - largo / 2, alto, largo, basso),
                   Qt::AlignHCenter | Qt::AlignTop,
                   FormatoItaliano::data(riepilogo.dal.addDays(giorni / 2)));
    if (giorni > 1)
        p.drawText(QRectF(grafico.right() - largo, alto, largo, basso),
                   Qt::AlignRight | Qt::AlignTop, FormatoItaliano::data(riepilogo.al));
    p.restore();
}

QImage GraficoRiepilogo::immagine(const Riepilogo& riepilogo, const QSize& dimensione,
                                  qreal pixelPerPunto) {
    QImage figura(dimensione, QImage::Format_RGB32);
    figura.fill(Qt::white);
    QPainter p(&figura);
    const QRectF tutto(QPointF(0, 0), QSizeF(dimensione));
    disegnaBarre(p, areaBarre(tutto), riepilogo, pixelPerPunto);
    disegnaLinea(p, areaLinea(tutto), riepilogo, pixelPerPunto);
    return figura;
}

qreal GraficoRiepilogo::pixelPerPuntoSchermo() const {
    return logicalDpiY() / 72.0;
}

QSize GraficoRiepilogo::sizeHint() const {
    return {1200, 320};
}

QSize GraficoRiepilogo::minimumSizeHint() const {
    return {320, 160};
}

void GraficoRiepilogo::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRectF tutto = QRectF(rect()).adjusted(8, 8, -8, -8);
    if (m_riepilogo.vuoto()) {
        QFont carattere = p.font();
        carattere.setPointSize(14);
        p.setFont(carattere);
        p.drawText(tutto, Qt::AlignCenter, QStringLiteral("Nessun refill nel periodo"));
        return;
    }
    disegnaBarre(p, areaBarre(tutto), m_riepilogo, pixelPerPuntoSchermo());
    disegnaLinea(p, areaLinea(tutto), m_riepilogo, pixelPerPuntoSchermo());
}

bool GraficoRiepilogo::event(QEvent* evento) {
    if (evento->type() != QEvent::ToolTip)
        return QWidget::event(evento);
    auto* aiuto = static_cast<QHelpEvent*>(evento);
    const QRectF tutto = QRectF(rect()).adjusted(8, 8, -8, -8);
    // The whole row of a machine answers, not just its bar: short bars are hard to hit.
    for (const Barra& b : barre(areaBarre(tutto), m_riepilogo, pixelPerPuntoSchermo())) {
        if (aiuto->pos().y() < b.riquadroEtichetta.top() ||
            aiuto->pos().y() >= b.riquadroEtichetta.bottom())
            continue;
        QString testo = QStringLiteral("%1: € %2").arg(b.etichetta, FormatoItaliano::importo(b.totale));
        for (const auto& a : m_riepilogo.apparecchi)
            if (b.apparecchi == 1 && a.codice == b.etichetta) {
                testo = QStringLiteral("%1 - %2: € %3 in %4 refill")
                            .arg(a.codice, a.nome, FormatoItaliano::importo(a.totale))
                            .arg(a.numero);
                if (a.allarme)
                    testo += QStringLiteral("\nAttenzione: ") + a.motivo;
            }
        QToolTip::showText(aiuto->globalPos(), testo, this);
        return true;
    }
    QToolTip::hideText();
    evento->ignore();
    return true;
}

} // namespace KaloRefill
