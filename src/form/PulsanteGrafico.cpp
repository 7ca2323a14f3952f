// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/PulsanteGrafico.h"

#include "form/Didascalia.h"

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

// The caption in the area, as Didascalia fits it: centred, or from the top when it had to
// be cut so the first line stays in view.
void disegnaCaption(QPainter& p, const QRect& area, const QString& testo) {
    const Didascalia::Composizione c = Didascalia::componi(testo, p.font(), area.size(), p.device());
    p.setFont(c.font);
    const qreal altezza = c.righe.size() * c.altezzaRiga;
    qreal alto = c.intera ? area.top() + (area.height() - altezza) / 2 : area.top();
    for (const QString& riga : c.righe) {
        p.drawText(QRectF(area.left(), alto, area.width(), c.altezzaRiga), Qt::AlignHCenter | Qt::AlignTop, riga);
        alto += c.altezzaRiga;
    }
}
} // namespace

PulsanteGrafico::PulsanteGrafico(QWidget* parent) : QAbstractButton(parent) {
    setBackColorSistema();
    setFocusPolicy(Qt::StrongFocus);
}

void PulsanteGrafico::setCaption(const QString& caption) {
    m_caption = caption;
    setText(testoVisibile(caption));
    aggiornaNomeAccessibile();
    update();
}

void PulsanteGrafico::setNomeAccessibile(const QString& nome) {
    m_nomeAccessibile = nome;
    aggiornaNomeAccessibile();
}

void PulsanteGrafico::setRuoloAccessibile(const QString& ruolo) {
    m_ruolo = ruolo;
    setAccessibleDescription(ruolo);
    aggiornaNomeAccessibile();
}

void PulsanteGrafico::aggiornaNomeAccessibile() {
    if (!m_nomeAccessibile.isEmpty())
        setAccessibleName(m_nomeAccessibile);
    else if (!text().trimmed().isEmpty())
        setAccessibleName(text().simplified());
    else
        setAccessibleName(m_ruolo);
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

QSize PulsanteGrafico::sizeHint() const {
    return {85, 85};
}

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

    QRect contenuto = rect().adjusted(Margine, Margine, -Margine, -Margine);
    p.setFont(font());
    if (!icon().isNull() && !m_dimensionePicture.isEmpty()) {
        // The picture gives way to one line of caption: on a small button (Chiudi) it
        // shrinks rather than pushing the caption out.
        const int altezzaTesto = text().isEmpty() ? 0 : p.fontMetrics().height() + 2;
        const QSize spazio(contenuto.width(), contenuto.height() - altezzaTesto);
        QSize lato = m_dimensionePicture;
        if (lato.width() > spazio.width() || lato.height() > spazio.height())
            lato = lato.scaled(spazio.expandedTo(QSize(0, 0)), Qt::KeepAspectRatio);
        if (!lato.isEmpty()) {
            const int alto =
                contenuto.top() + qMax(0, (contenuto.height() - lato.height() - altezzaTesto) / 2);
            const QRect zonaIcona(contenuto.left() + (contenuto.width() - lato.width()) / 2, alto,
                                  lato.width(), lato.height());
            icon().paint(&p, zonaIcona, Qt::AlignCenter,
                         isEnabled() ? QIcon::Normal : QIcon::Disabled);
            contenuto.setTop(zonaIcona.bottom() + 2);
        }
    }

    if (text().isEmpty())
        return;
    QColor inchiostro = testoSu(sfondo);
    if (!isEnabled())
        inchiostro.setAlphaF(0.45);
    p.setPen(inchiostro);
    p.setClipRect(contenuto);
    disegnaCaption(p, contenuto, text());
}

} // namespace KaloRefill
