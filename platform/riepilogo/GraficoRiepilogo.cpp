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
int pixelTesto(const QRectF& area, double quota, int minimo, int massimo) {
    return std::clamp(static_cast<int>(area.height() * quota), minimo, massimo);
}

QFont carattereScala(const QRectF& area) {
    QFont carattere;
    carattere.setPixelSize(pixelTesto(area, 0.055, 9, 15));
    return carattere;
}

// Whole euros on the axis from 10 up: the grid tells the size, the table the cents.
QString etichettaScala(double valore, double fine) {
    if (fine >= 10)
        return QString::number(qRound64(valore));
    return FormatoItaliano::importo(Valuta::daDouble(valore));
}

QRectF areaDisegno(const QRectF& area, double fine) {
    const QFontMetricsF metriche(carattereScala(area));
    const qreal sinistra = metriche.horizontalAdvance(etichettaScala(fine, fine)) + 12;
    const qreal sopra = std::max<qreal>(area.height() * 0.16, metriche.height() * 2.2);
    const qreal sotto = std::max<qreal>(area.height() * 0.14, metriche.height() * 1.6);
    return area.adjusted(sinistra, sopra, -area.width() * 0.02, -sotto);
}

double massimoApparecchi(const Riepilogo& r) {
    double massimo = 0;
    for (const auto& a : r.apparecchi)
        massimo = std::max(massimo, a.totale.toDouble());
    return fineScala(massimo);
}

double massimoGiorni(const Riepilogo& r) {
    double massimo = 0;
    for (const auto& g : r.giorni)
        massimo = std::max(massimo, g.totale.toDouble());
    return fineScala(massimo);
}

void disegnaScala(QPainter& p, const QRectF& grafico, const QRectF& area, double fine) {
    p.setFont(carattereScala(area));
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

void disegnaTitolo(QPainter& p, const QRectF& area, const QString& titolo) {
    QFont carattere;
    carattere.setPixelSize(pixelTesto(area, 0.07, 10, 20));
    carattere.setBold(true);
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
    return tutto.width() > 2.2 * tutto.height();
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

QList<QRectF> GraficoRiepilogo::barre(const QRectF& area, const Riepilogo& riepilogo) {
    QList<QRectF> risultato;
    const double fine = massimoApparecchi(riepilogo);
    const QRectF grafico = areaDisegno(area, fine);
    const qsizetype n = riepilogo.apparecchi.size();
    if (n == 0)
        return risultato;
    const qreal passo = grafico.width() / n;
    const qreal larghezza = passo * 0.7;
    for (qsizetype i = 0; i < n; ++i) {
        const qreal altezza =
            grafico.height() * riepilogo.apparecchi.at(i).totale.toDouble() / fine;
        risultato.append(QRectF(grafico.left() + passo * i + (passo - larghezza) / 2,
                                grafico.bottom() - altezza, larghezza, altezza));
    }
    return risultato;
}

void GraficoRiepilogo::disegnaBarre(QPainter& p, const QRectF& area, const Riepilogo& riepilogo) {
    p.save();
    disegnaTitolo(p, area, QStringLiteral("Totale refill per apparecchio"));
    const double fine = massimoApparecchi(riepilogo);
    const QRectF grafico = areaDisegno(area, fine);
    disegnaScala(p, grafico, area, fine);

    const QList<QRectF> rettangoli = barre(area, riepilogo);
    QFont carattere = carattereScala(area);
    // Codes stay readable with many machines: the font shrinks with the bar's room.
    const qreal passo = rettangoli.isEmpty() ? 0 : grafico.width() / rettangoli.size();
    carattere.setPixelSize(std::clamp(static_cast<int>(passo * 0.4), 7, carattere.pixelSize()));
    p.setFont(carattere);
    for (qsizetype i = 0; i < rettangoli.size(); ++i) {
        const RiepilogoApparecchio& a = riepilogo.apparecchi.at(i);
        const QRectF& barra = rettangoli.at(i);
        p.fillRect(barra, a.allarme ? coloreAllarme : coloreBarra);
        p.setPen(Qt::black);
        const QRectF etichetta(grafico.left() + passo * i, grafico.bottom() + 2, passo,
                               area.bottom() - grafico.bottom() - 2);
        p.drawText(etichetta, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWrapAnywhere, a.codice);
        if (a.allarme) {
            QFont grassetto = carattere;
            grassetto.setBold(true);
            p.setFont(grassetto);
            p.setPen(coloreAllarme);
            p.drawText(QRectF(barra.left() - passo, barra.top() - passo * 0.8 - 2,
                              barra.width() + 2 * passo, passo * 0.8),
                       Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("!"));
            p.setFont(carattere);
        }
    }
    p.setPen(Qt::black);
    p.drawLine(grafico.bottomLeft(), grafico.bottomRight());
    p.restore();
}

void GraficoRiepilogo::disegnaLinea(QPainter& p, const QRectF& area, const Riepilogo& riepilogo) {
    p.save();
    disegnaTitolo(p, area, QStringLiteral("Totale refill giornaliero"));
    const double fine = massimoGiorni(riepilogo);
    const QRectF grafico = areaDisegno(area, fine);
    disegnaScala(p, grafico, area, fine);
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
    p.setFont(carattereScala(area));
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

QImage GraficoRiepilogo::immagine(const Riepilogo& riepilogo, const QSize& dimensione) {
    QImage figura(dimensione, QImage::Format_RGB32);
    figura.fill(Qt::white);
    QPainter p(&figura);
    const QRectF tutto(QPointF(0, 0), QSizeF(dimensione));
    disegnaBarre(p, areaBarre(tutto), riepilogo);
    disegnaLinea(p, areaLinea(tutto), riepilogo);
    return figura;
}

QSize GraficoRiepilogo::sizeHint() const {
    return {1200, 320};
}

QSize GraficoRiepilogo::minimumSizeHint() const {
    return {480, 240};
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
    disegnaBarre(p, areaBarre(tutto), m_riepilogo);
    disegnaLinea(p, areaLinea(tutto), m_riepilogo);
}

bool GraficoRiepilogo::event(QEvent* evento) {
    if (evento->type() != QEvent::ToolTip)
        return QWidget::event(evento);
    auto* aiuto = static_cast<QHelpEvent*>(evento);
    const QRectF tutto = QRectF(rect()).adjusted(8, 8, -8, -8);
    const QRectF area = areaBarre(tutto);
    const QRectF grafico = areaDisegno(area, massimoApparecchi(m_riepilogo));
    const qsizetype n = m_riepilogo.apparecchi.size();
    // The whole column of a machine answers, not just its bar: short bars are hard to hit.
    if (n > 0 && area.contains(aiuto->pos())) {
        const auto i =
            static_cast<qsizetype>((aiuto->pos().x() - grafico.left()) / (grafico.width() / n));
        if (i >= 0 && i < n && aiuto->pos().x() >= grafico.left()) {
            const RiepilogoApparecchio& a = m_riepilogo.apparecchi.at(i);
            QString testo = QStringLiteral("%1 - %2: € %3 in %4 refill")
                                .arg(a.codice, a.nome, FormatoItaliano::importo(a.totale))
                                .arg(a.numero);
            if (a.allarme)
                testo += QStringLiteral("\nAttenzione: ") + a.motivo;
            QToolTip::showText(aiuto->globalPos(), testo, this);
            return true;
        }
    }
    QToolTip::hideText();
    evento->ignore();
    return true;
}

} // namespace KaloRefill
