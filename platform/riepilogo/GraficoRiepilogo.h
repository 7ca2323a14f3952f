// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "Riepilogo.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QWidget>

class QPainter;

namespace KaloRefill {

// The period drawn: a horizontal bar per machine with its total, largest first (flagged
// machines in red, with a "!"), and a line of the daily totals. Painted by hand, so the
// same drawing goes to the screen and onto paper. Text is never smaller than 9 points
// where it ends up: when the machines do not all fit at that size, the largest are drawn
// and one bar "altri" holds the rest. pixelPerPunto: pixels of the drawing per point of
// the final page or screen.
class GraficoRiepilogo final : public QWidget {
    Q_OBJECT

public:
    explicit GraficoRiepilogo(QWidget* genitore = nullptr);

    void setRiepilogo(const Riepilogo& riepilogo);

    static constexpr qreal PuntiMinimi = 9.0;

    struct Barra {
        QString etichetta; // the machine's code, or "altri (n)"
        Valuta totale;
        bool allarme = false;
        int apparecchi = 1; // how many machines the bar sums
        QRectF rettangolo;
        QRectF riquadroEtichetta;
        int pixelTesto = 0;
    };

    // The bars drawn inside area, largest total first.
    static QList<Barra> barre(const QRectF& area, const Riepilogo& riepilogo, qreal pixelPerPunto);
    static void disegnaBarre(QPainter& pittore, const QRectF& area, const Riepilogo& riepilogo,
                             qreal pixelPerPunto);
    static void disegnaLinea(QPainter& pittore, const QRectF& area, const Riepilogo& riepilogo,
                             qreal pixelPerPunto);
    // Both charts on a white picture (for the report).
    static QImage immagine(const Riepilogo& riepilogo, const QSize& dimensione, qreal pixelPerPunto);

    // The upper part holds the bars, the lower the line.
    static QRectF areaBarre(const QRectF& tutto);
    static QRectF areaLinea(const QRectF& tutto);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* evento) override;
    bool event(QEvent* evento) override;

private:
    qreal pixelPerPuntoSchermo() const;

    Riepilogo m_riepilogo;
};

} // namespace KaloRefill
