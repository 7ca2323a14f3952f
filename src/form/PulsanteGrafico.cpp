#include "PulsanteGrafico.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyleOptionButton>

namespace KaloRefill {

namespace {
QString testoVisibile(QString caption) {
    caption.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    caption.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return caption;
}

QColor testoSu(const QColor& sfondo) {
    // Dark text on light backgrounds, white on dark ones, so every caption stays legible.
    return sfondo.lightnessF() > 0.55 ? QColor(Qt::black) : QColor(Qt::white);
}
} // namespace

PulsanteGrafico::PulsanteGrafico(QWidget* parent) : QAbstractButton(parent) {
    setBackColorSistema();
    setFocusPolicy(Qt::StrongFocus);
}

void PulsanteGrafico::setCaption(const QString& caption) {
    m_caption = caption;
    setText(testoVisibile(caption));
    setAccessibleName(text().simplified());
    update();
}

void PulsanteGrafico::setBackColor(const QColor& colore) {
    m_backColor = colore;
    update();
}

void PulsanteGrafico::setBackColorSistema() {
    setBackColor(QApplication::palette().color(QPalette::Button));
}

void PulsanteGrafico::setPicture(const QIcon& picture, const QSize& dimensione) {
    setIcon(picture);
    m_dimensionePicture = dimensione;
    setIconSize(dimensione);
    update();
}

QSize PulsanteGrafico::sizeHint() const { return {85, 85}; }

void PulsanteGrafico::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);

    QColor sfondo = m_backColor;
    if (isDown() || isChecked())
        sfondo = sfondo.darker(125);
    if (!isEnabled())
        sfondo = sfondo.lighter(115);
    p.setPen(QPen(sfondo.darker(160), isChecked() ? 3 : 1));
    p.setBrush(sfondo);
    p.drawRoundedRect(area, 6, 6);
    if (hasFocus()) {
        p.setPen(QPen(testoSu(sfondo), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(area.adjusted(3, 3, -3, -3), 4, 4);
    }

    QRect contenuto = rect().adjusted(4, 4, -4, -4);
    if (!icon().isNull() && !m_dimensionePicture.isEmpty()) {
        const QSize lato = m_dimensionePicture.boundedTo(contenuto.size());
        const int altezzaTesto = text().isEmpty() ? 0 : fontMetrics().height();
        const int alto = contenuto.top() + qMax(0, (contenuto.height() - lato.height() - altezzaTesto) / 2);
        const QRect zonaIcona(contenuto.left() + (contenuto.width() - lato.width()) / 2, alto,
                              lato.width(), lato.height());
        icon().paint(&p, zonaIcona, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
        contenuto.setTop(zonaIcona.bottom() + 2);
    }

    if (text().isEmpty())
        return;
    QColor inchiostro = testoSu(sfondo);
    if (!isEnabled())
        inchiostro.setAlphaF(0.45);
    p.setPen(inchiostro);
    p.setFont(font());
    // Wrap at word boundaries and clip to the button: long captions never spill out.
    p.setClipRect(contenuto);
    p.drawText(contenuto, Qt::AlignCenter | Qt::TextWordWrap, text());
}

} // namespace KaloRefill
