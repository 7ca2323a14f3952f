#pragma once

#include "Riepilogo.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QWidget>

class QPainter;

namespace KaloRefill {

// The period drawn: a bar per machine with its total (flagged machines in red, with a
// "!" over the bar) and, below, a line of the daily totals. Painted by hand, so the same
// drawing goes to the screen and onto paper.
class GraficoRiepilogo final : public QWidget {
    Q_OBJECT

public:
    explicit GraficoRiepilogo(QWidget* genitore = nullptr);

    void setRiepilogo(const Riepilogo& riepilogo);

    // One bar per machine with a refill, in the summary's order, inside area.
    static QList<QRectF> barre(const QRectF& area, const Riepilogo& riepilogo);
    static void disegnaBarre(QPainter& pittore, const QRectF& area, const Riepilogo& riepilogo);
    static void disegnaLinea(QPainter& pittore, const QRectF& area, const Riepilogo& riepilogo);
    // Both charts, one above the other, on a white picture (for the report).
    static QImage immagine(const Riepilogo& riepilogo, const QSize& dimensione);

    // The upper part holds the bars, the lower the line.
    static QRectF areaBarre(const QRectF& tutto);
    static QRectF areaLinea(const QRectF& tutto);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* evento) override;
    bool event(QEvent* evento) override;

private:
    Riepilogo m_riepilogo;
};

} // namespace KaloRefill
